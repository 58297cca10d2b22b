#pragma once
// Receiver of the words found in a message, each with the context it was found in.

#include <string>

class ITokenHandler {
public:
    virtual ~ITokenHandler() = default;
    virtual void handleToken(const std::string &context, const std::wstring &text) = 0;
};
