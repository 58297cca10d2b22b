#include "MessageTextParser.h"

#include "MessageTextMIMEEntities.h"
#include "charset/CharacterCoders.h"
#include "charset/UnicodeCoders.h"
#include "cpp/CUtils.h"
#include "mailparser/NonAsciiHeaderCoders.h"

using MailParser::MIMEEntityHeader;

MessageTextParser::MessageTextParser(IMessageTextProcessor &processor) : m_processor(processor) {}

MessageTextParser::~MessageTextParser() = default;

void MessageTextParser::inputFinished() {
    MessageParser::inputFinished();
    m_processor.textFinished();
}

void MessageTextParser::processHeader() {
    if (const MailParser::HeaderField *subject = m_header.findFirstField("subject")) {
        // Words outside encoded words are read in the charset the message's body declares.
        std::string charset;
        if (const MailParser::HeaderField *type = m_header.findFirstField("content-type")) {
            MailParser::HeaderField field(*type);
            field.removeComments();
            MailParser::ContentTypeField contentType;
            contentType.parse(field.unfoldedValue());
            charset = contentType.parameter("charset");
        }
        const std::wstring decoded =
            MailParser::NonAsciiHeaderCoders::decode(subject->unfoldedValue(), charset);
        m_processor.processSubjectField(subject->value(), decoded);
    }
    if (m_header.isMIMEMessage()) {
        MIMEEntityHeader rootHeader(m_header);
        m_topEntity.reset(createSubEntity(rootHeader, nullptr, m_processor));
    }
}

void MessageTextParser::processSimpleMessageLine(const std::string &line) {
    m_body += line;
    m_body += "\r\n";
}

void MessageTextParser::finishSimpleMessage() {
    const std::string charset = m_processor.getDefaultCharset();
    const std::wstring text = charset.empty() ? Charsets::UnicodeCoders::decodeLatin1(m_body)
                                              : Charsets::CharacterCoders::decode(m_body, charset, false);
    m_processor.processPlainTextPart(m_body, std::string(), text);
}

MailParser::MIMEEntity *MessageTextParser::createSubEntity(MIMEEntityHeader &header,
                                                           MailParser::MultipartMIMEEntity *parent,
                                                           IMessagePartProcessor &processor) {
    if (header.isMultipart()) {
        if (compareI(header.contentType().subtype(), "alternative") == 0)
            return new MessageTextMultipartAlternativeMIMEEntity(header, parent, processor, *this);
        return new MessageTextMultipartMIMEEntity(header, parent, processor, *this);
    }
    return new MessageTextSingleMIMEEntity(header, processor);
}
