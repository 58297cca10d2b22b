#pragma once
// The events of the HTML parser: implement this to receive a document's text runs, tags,
// attributes and other constructs in document order. Wide strings are the text as written;
// byte-string names are the sanitised lower-case forms (HTMLParser::sanitizeName).

#include <string>

class IHTMLHandler {
public:
    virtual ~IHTMLHandler() = default;

    // A text run as it stood (blanks collapsed outside pre) and with its references decoded.
    virtual void cdata(const std::wstring &raw, const std::wstring &decoded) = 0;
    virtual void openTagStart(const std::wstring &name, const std::string &lowerName) = 0;
    // An attribute with a value: as written and with its references decoded.
    virtual void openTagAttribute(const std::wstring &name, const std::string &lowerName,
                                  const std::wstring &rawValue, const std::wstring &decodedValue) = 0;
    // An attribute written without a value.
    virtual void openTagAttribute(const std::wstring &name, const std::string &lowerName) = 0;
    virtual void openTagEnd() = 0;
    // The raw body of a script, style or comment element.
    virtual void blockTagContents(std::wstring contents) = 0;
    virtual void closeTag(const std::wstring &name, const std::string &lowerName) = 0;
    virtual void comment(const std::wstring &text) = 0;
    virtual void doctype(const std::wstring &text) = 0;
    virtual void processingInstruction(const std::wstring &text) = 0;
    virtual void htmlFinished() = 0;
};

// Declares every event of IHTMLHandler as an override, for handlers that take them all.
#define VL_IHTMLHANDLER_OVERRIDES                                                                            \
    void cdata(const std::wstring &raw, const std::wstring &decoded) override;                               \
    void openTagStart(const std::wstring &name, const std::string &lowerName) override;                      \
    void openTagAttribute(const std::wstring &name, const std::string &lowerName,                            \
                          const std::wstring &rawValue, const std::wstring &decodedValue) override;          \
    void openTagAttribute(const std::wstring &name, const std::string &lowerName) override;                  \
    void openTagEnd() override;                                                                              \
    void blockTagContents(std::wstring contents) override;                                                   \
    void closeTag(const std::wstring &name, const std::string &lowerName) override;                          \
    void comment(const std::wstring &text) override;                                                         \
    void doctype(const std::wstring &text) override;                                                         \
    void processingInstruction(const std::wstring &text) override;                                           \
    void htmlFinished() override;
