#pragma once
// The exception family of the text-processing libraries and the standard error texts.

#include <exception>
#include <string>

// Base of every exception the text-processing libraries throw; what() is the message.
class StdException : public std::exception {
public:
    explicit StdException(const std::string &message);
    ~StdException() override;
    StdException(const StdException &) = default;
    StdException &operator=(const StdException &) = default;

    [[nodiscard]] const char *what() const noexcept override;

private:
    std::string m_message;
};

// A failed system or library call, with its error number or return code.
class StdSystemException : public StdException {
public:
    StdSystemException(int error, const std::string &message);

    [[nodiscard]] int getError() const { return m_error; }

private:
    int m_error;
};

namespace Errors {

// The system's text for an error number.
std::string rtlError(int error);
// "<function>() failed with code <error>: <text>", or the text alone for an empty function.
std::string rtlError(const std::string &function, int error);
// A StdSystemException for the current errno, for the caller to throw.
StdSystemException rtlException(const std::string &function);
// True when result == expected; otherwise throws StdSystemException
// "<function> returned <result>" (for calls that return an error number).
bool checkResult(int result, const char *function, int expected);

} // namespace Errors
