#include "Errors.h"

#include <cerrno>
#include <cstring>

StdException::StdException(const std::string &message) : m_message(message) {}

StdException::~StdException() = default;

const char *StdException::what() const noexcept {
    return m_message.c_str();
}

StdSystemException::StdSystemException(int error, const std::string &message)
    : StdException(message), m_error(error) {}

namespace {

// strerror_r in either of its two flavours; strerror itself is not thread-safe.
[[maybe_unused]] const char *strerrorResult(int result, const char *buffer) {
    return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char *strerrorResult(const char *result, const char *) {
    return result;
}

} // namespace

namespace Errors {

std::string rtlError(int error) {
    char buffer[256];
    buffer[0] = '\0';
    const char *text = strerrorResult(strerror_r(error, buffer, sizeof buffer), buffer);
    if (text == nullptr)
        return "Unknown error " + std::to_string(error);
    return text;
}

std::string rtlError(const std::string &function, int error) {
    if (function.empty())
        return rtlError(error);
    return function + "() failed with code " + std::to_string(error) + ": " + rtlError(error);
}

StdSystemException rtlException(const std::string &function) {
    const int error = errno;
    return StdSystemException(error, rtlError(function, error));
}

bool checkResult(int result, const char *function, int expected) {
    if (result == expected)
        return true;
    throw StdSystemException(result, std::string(function != nullptr ? function : "unknown function") +
                                         " returned " + std::to_string(result));
}

} // namespace Errors
