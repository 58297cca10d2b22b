#include "MessageTextMIMEEntities.h"

#include "charset/CharacterCoders.h"
#include "cpp/CUtils.h"
#include "mailparser/MIMETransferEncodings.h"

using MailParser::MIMEEntityHeader;
namespace TransferEncodings = MailParser::MIMETransferEncodings;

// ---------------------------------------------------------------------------------------
// MessageTextSingleMIMEEntity

MessageTextSingleMIMEEntity::MessageTextSingleMIMEEntity(const MIMEEntityHeader &header,
                                                         IMessagePartProcessor &processor)
    : MIMEEntity(header), m_processor(processor), m_kind(kindOf(m_header)) {}

MessageTextSingleMIMEEntity::~MessageTextSingleMIMEEntity() = default;

MessageTextSingleMIMEEntity::Kind MessageTextSingleMIMEEntity::kindOf(const MIMEEntityHeader &header) {
    if (header.transferEncoding() == TransferEncodings::Unknown)
        return Skip;
    if (header.contentDisposition().disposition() == MailParser::ContentDispositionField::Attachment)
        return Skip;
    const auto &type = header.contentType();
    if (compareI(type.type(), "text") != 0)
        return Skip;
    if (compareI(type.subtype(), "plain") == 0)
        return PlainText;
    if (compareI(type.subtype(), "html") == 0)
        return HTML;
    return Skip;
}

void MessageTextSingleMIMEEntity::inputLine(const std::string &line) {
    if (m_kind == Skip)
        return;
    m_body += line;
    m_body += "\r\n";
}

void MessageTextSingleMIMEEntity::inputFinished() {
    if (m_kind == Skip)
        return;
    const std::string raw = TransferEncodings::decode(m_header.transferEncoding(), m_body);
    // The charset is taken out of the header: what the part was decoded with is reported
    // with the text, not left behind as a parameter.
    auto &parameters = m_header.contentType().parameters();
    std::string charset;
    if (const auto it = parameters.find("charset"); it != parameters.end()) {
        charset = it->second;
        parameters.erase(it);
    }
    if (charset.empty())
        charset = m_processor.getDefaultCharset();
    const std::wstring text = Charsets::CharacterCoders::decode(raw, charset, true);
    if (m_kind == PlainText)
        m_processor.processPlainTextPart(raw, charset, text);
    else
        m_processor.processHTMLPart(raw, charset, text);
}

// ---------------------------------------------------------------------------------------
// MessageTextMultipartMIMEEntity

MessageTextMultipartMIMEEntity::MessageTextMultipartMIMEEntity(const MIMEEntityHeader &header,
                                                               MailParser::MultipartMIMEEntity *parent,
                                                               IMessagePartProcessor &processor,
                                                               IMessageTextMIMEEntityFactory &factory)
    : MultipartMIMEEntity(header, parent), m_processor(processor), m_factory(factory) {}

MessageTextMultipartMIMEEntity::~MessageTextMultipartMIMEEntity() = default;

std::string MessageTextMultipartMIMEEntity::getDefaultCharset() const {
    return m_processor.getDefaultCharset();
}

void MessageTextMultipartMIMEEntity::processPlainTextPart(const std::string &rawText,
                                                          const std::string &charset,
                                                          const std::wstring &text) {
    m_processor.processPlainTextPart(rawText, charset, text);
}

void MessageTextMultipartMIMEEntity::processHTMLPart(const std::string &rawText, const std::string &charset,
                                                     const std::wstring &text) {
    m_processor.processHTMLPart(rawText, charset, text);
}

MailParser::MIMEEntity *MessageTextMultipartMIMEEntity::createSubEntity(MIMEEntityHeader &header) {
    return m_factory.createSubEntity(header, this, *this);
}

void MessageTextMultipartMIMEEntity::multipartFinished() {}

// ---------------------------------------------------------------------------------------
// MessageTextMultipartAlternativeMIMEEntity

MessageTextMultipartAlternativeMIMEEntity::~MessageTextMultipartAlternativeMIMEEntity() = default;

void MessageTextMultipartAlternativeMIMEEntity::processPlainTextPart(const std::string &rawText,
                                                                     const std::string &charset,
                                                                     const std::wstring &text) {
    if (m_seenHTML)
        return;
    m_buffered.push_back({rawText, charset, text});
}

void MessageTextMultipartAlternativeMIMEEntity::processHTMLPart(const std::string &rawText,
                                                                const std::string &charset,
                                                                const std::wstring &text) {
    m_seenHTML = true;
    m_buffered.clear();
    m_processor.processHTMLPart(rawText, charset, text);
}

void MessageTextMultipartAlternativeMIMEEntity::multipartFinished() {
    if (m_seenHTML)
        return;
    // Moved out first: a processor that throws must not see the parts again.
    std::vector<PlaintextPart> parts = std::move(m_buffered);
    m_buffered.clear();
    for (const PlaintextPart &part : parts)
        m_processor.processPlainTextPart(part.rawText, part.charset, part.text);
}
