#pragma once
// The MIME entities of the text walk: a leaf that decodes a plain-text or HTML part and
// hands it on, a multipart container that relays its children's parts upward, and the
// multipart/alternative container that keeps only the HTML choice when there is one.

#include "IMessagePartProcessor.h"
#include "IMessageTextMIMEEntityFactory.h"
#include "mailparser/MultipartMIMEEntity.h"

#include <string>
#include <vector>

class MessageTextSingleMIMEEntity : public MailParser::MIMEEntity {
public:
    enum Kind { Skip = 0, PlainText = 1, HTML = 2 };

    MessageTextSingleMIMEEntity(const MailParser::MIMEEntityHeader &header, IMessagePartProcessor &processor);
    ~MessageTextSingleMIMEEntity() override;

    void inputLine(const std::string &line) override;
    // Undoes the transfer encoding, decodes the charset and passes the part on.
    void inputFinished() override;

    [[nodiscard]] Kind kind() const { return m_kind; }
    // What a part with this header is: skipped for an unknown transfer encoding, an
    // attachment or a type other than text/plain and text/html.
    [[nodiscard]] static Kind kindOf(const MailParser::MIMEEntityHeader &header);

private:
    IMessagePartProcessor &m_processor;
    Kind m_kind;
    std::string m_body;
};

class MessageTextMultipartMIMEEntity : public MailParser::MultipartMIMEEntity, public IMessagePartProcessor {
public:
    MessageTextMultipartMIMEEntity(const MailParser::MIMEEntityHeader &header,
                                   MailParser::MultipartMIMEEntity *parent, IMessagePartProcessor &processor,
                                   IMessageTextMIMEEntityFactory &factory);
    ~MessageTextMultipartMIMEEntity() override;

    [[nodiscard]] std::string getDefaultCharset() const override;
    void processPlainTextPart(const std::string &rawText, const std::string &charset,
                              const std::wstring &text) override;
    void processHTMLPart(const std::string &rawText, const std::string &charset,
                         const std::wstring &text) override;

protected:
    MailParser::MIMEEntity *createSubEntity(MailParser::MIMEEntityHeader &header) override;
    void multipartFinished() override;

    IMessagePartProcessor &m_processor;
    IMessageTextMIMEEntityFactory &m_factory;
};

class MessageTextMultipartAlternativeMIMEEntity : public MessageTextMultipartMIMEEntity {
public:
    struct PlaintextPart {
        std::string rawText;
        std::string charset;
        std::wstring text;
    };

    using MessageTextMultipartMIMEEntity::MessageTextMultipartMIMEEntity;
    ~MessageTextMultipartAlternativeMIMEEntity() override;

    void processPlainTextPart(const std::string &rawText, const std::string &charset,
                              const std::wstring &text) override;
    void processHTMLPart(const std::string &rawText, const std::string &charset,
                         const std::wstring &text) override;

protected:
    void multipartFinished() override;

private:
    bool m_seenHTML = false;
    std::vector<PlaintextPart> m_buffered;
};
