#pragma once
// A short preview of a message's text: the first words of its plain-text and HTML parts
// with white space collapsed, cut at a word boundary once it is long enough. Feed it
// through a MessageTextParser.

#include "IMessageTextProcessor.h"

#include <string>

class MessageTextSynopsisExtractor : public IMessageTextProcessor {
public:
    // Taking text stops at maxLength characters, or at the first word boundary once the
    // synopsis holds minLength characters and minWords words. defaultCharset decodes the
    // parts that name no character set.
    MessageTextSynopsisExtractor(unsigned int minLength, unsigned int maxLength, unsigned int minWords,
                                 const std::string &defaultCharset);

    void processSubjectField(const std::string &rawValue, const std::wstring &decoded) override;
    void processPlainTextPart(const std::string &rawText, const std::string &charset,
                              const std::wstring &text) override;
    // The visible text of the HTML, as the plain-text rewriter lays it out.
    void processHTMLPart(const std::string &rawText, const std::string &charset,
                         const std::wstring &text) override;
    [[nodiscard]] std::string getDefaultCharset() const override { return m_defaultCharset; }
    void textFinished() override {}

    // The synopsis without its trailing spaces.
    [[nodiscard]] std::wstring getSynopsis() const;
    // Whether some part's text was not taken to its end.
    [[nodiscard]] bool isTruncated() const { return m_truncated; }

private:
    void addText(const std::wstring &text);

    unsigned int m_minLength;
    unsigned int m_maxLength;
    unsigned int m_minWords;
    std::wstring m_subject;
    std::wstring m_synopsis;
    unsigned int m_wordCount = 0;
    bool m_truncated = false;
    std::string m_defaultCharset;
};
