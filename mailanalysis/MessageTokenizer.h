#pragma once
// Turns one raw message, fed line by line, into the input of the Bayesian core: the words
// of its subject (context "subject") and of its text parts (context ""), and numbered traits
// for suspicious header fields, MIME structure, marker lines and HTML constructions.

#include "ITokenHandler.h"
#include "ITraitHandler.h"
#include "MessageTextMIMEEntities.h"
#include "MessageTextParser.h"

class MessageTokenizer : public MessageTextParser, public IMessageTextProcessor {
public:
    MessageTokenizer(ITokenHandler &tokens, ITraitHandler &traits);
    ~MessageTokenizer() override;

    void inputLine(const std::string &line) override;
    MailParser::MIMEEntity *createSubEntity(MailParser::MIMEEntityHeader &header,
                                            MailParser::MultipartMIMEEntity *parent,
                                            IMessagePartProcessor &processor) override;

    void processSubjectField(const std::string &rawValue, const std::wstring &decoded) override;
    void processPlainTextPart(const std::string &rawText, const std::string &charset,
                              const std::wstring &text) override;
    void processHTMLPart(const std::string &rawText, const std::string &charset,
                         const std::wstring &text) override;
    void textFinished() override;

    // True when some byte lies outside "!".."}" and is not a tab (space and "~" count): only
    // such bytes give a reason to base64-encode a subject word.
    [[nodiscard]] static bool needsEncoding(const std::string &bytes);

protected:
    void processHeader() override;

private:
    ITokenHandler &m_tokens;
    ITraitHandler &m_traits;
    bool m_multipartSeen = false;
};

// In the tokenizer every part of an alternative is passed on (both choices are evidence);
// an alternative with a single part is itself a trait.
class MessageTokenizerMultipartAlternativeMIMEEntity : public MessageTextMultipartAlternativeMIMEEntity {
public:
    MessageTokenizerMultipartAlternativeMIMEEntity(const MailParser::MIMEEntityHeader &header,
                                                   MailParser::MultipartMIMEEntity *parent,
                                                   IMessagePartProcessor &processor,
                                                   IMessageTextMIMEEntityFactory &factory,
                                                   ITraitHandler &traits);
    ~MessageTokenizerMultipartAlternativeMIMEEntity() override;

    void processPlainTextPart(const std::string &rawText, const std::string &charset,
                              const std::wstring &text) override;
    void processHTMLPart(const std::string &rawText, const std::string &charset,
                         const std::wstring &text) override;

protected:
    void multipartFinished() override;

private:
    ITraitHandler &m_traits;
    unsigned int m_partCount = 0;
};
