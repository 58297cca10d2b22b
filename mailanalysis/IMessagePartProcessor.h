#pragma once
// Receiver of the decoded text parts of a message.

#include <string>

class IMessagePartProcessor {
public:
    virtual ~IMessagePartProcessor() = default;

    // rawText: the part's bytes after transfer decoding; charset: the character set used
    // ("" when the part named none); text: the decoded text.
    virtual void processPlainTextPart(const std::string &rawText, const std::string &charset,
                                      const std::wstring &text) = 0;
    virtual void processHTMLPart(const std::string &rawText, const std::string &charset,
                                 const std::wstring &text) = 0;
    // The character set assumed for a part that names none; empty means ISO 8859-1.
    [[nodiscard]] virtual std::string getDefaultCharset() const { return {}; }
};
