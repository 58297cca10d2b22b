#include "MessageTokenizer.h"

#include "HTMLParserLib/HTMLParser.h"
#include "HTMLTraitDetector.h"
#include "TextTokenizer.h"
#include "TraitIDs.h"
#include "cpp/CUtils.h"
#include "cpp/RFC822Timestamps.h"
#include "mailparser/NonAsciiHeaderCoders.h"

#include <cstring>
#include <stdexcept>

using MailParser::HeaderField;
using MailParser::MIMEEntityHeader;

namespace {

// A line that SpamCop's reporter is told to stop at; spam carries it to cut reports short.
constexpr char reporterBreaker[] = "--DeathToSpamDeathToSpamDeathToSpam--";
constexpr std::size_t reporterBreakerLength = sizeof(reporterBreaker) - 1;

bool contains(const std::string &text, const char *part) {
    return text.find(part) != std::string::npos;
}

} // namespace

MessageTokenizer::MessageTokenizer(ITokenHandler &tokens, ITraitHandler &traits)
    : MessageTextParser(static_cast<IMessageTextProcessor &>(*this)), m_tokens(tokens), m_traits(traits) {}

MessageTokenizer::~MessageTokenizer() = default;

void MessageTokenizer::inputLine(const std::string &line) {
    MessageTextParser::inputLine(line);
    if (line.size() >= reporterBreakerLength && line.compare(0, reporterBreakerLength, reporterBreaker) == 0)
        m_traits.handleTrait(TraitIDs::CONTAINS_SPAMCOP_REPORTER_BREAKER);
}

void MessageTokenizer::processHeader() {
    MessageTextParser::processHeader();

    if (m_header.anyFields("x-cs-ip", true))
        m_traits.handleTrait(TraitIDs::HAS_X_CS_IP_HEADER_FIELD);
    if (m_header.anyFields("x-bounce-to", true))
        m_traits.handleTrait(TraitIDs::HAS_X_BOUNCE_TO_HEADER_FIELD);
    if (const HeaderField *version = m_header.findFirstField("mime-version")) {
        if (!contains(version->value(), "1.0"))
            m_traits.handleTrait(TraitIDs::HAS_UNKNOWN_MIME_VERSION);
    }
    if (const HeaderField *date = m_header.findFirstField("date")) {
        HeaderField field(*date);
        field.removeComments();
        const std::string value = field.unfoldedValue();
        if (value.size() <= 7) {
            try {
                (void)RFC822Timestamps::getTimezoneOffsetByName(value);
                m_traits.handleTrait(TraitIDs::DATE_FIELD_WITH_NAMED_TIMEZONE_BUT_NO_DATE_TIME);
            } catch (const std::invalid_argument &) {
                // not a zone name: no trait
            }
        }
    }
    if (m_header.countFields("content-type") > 1)
        m_traits.handleTrait(TraitIDs::HAS_MULTIPLE_CONTENT_TYPE_FIELDS);
    const std::size_t messageInfoFields = m_header.countFields("x-message-info");
    if (messageInfoFields > 1)
        m_traits.handleTrait(TraitIDs::HAS_MULTIPLE_X_MESSAGE_INFO_HEADER_FIELDS);

    // Unexpanded placeholders of bulk-mailing programs.
    for (const HeaderField *field : m_header.getFields()) {
        const std::string &value = field->value();
        if (value.find('%') == std::string::npos)
            continue;
        if (contains(value, "%RND"))
            m_traits.handleTrait(TraitIDs::HAS_RND_HEADER_FIELD_VALUE);
        if (contains(value, "%CURRENT_DATE_TIME"))
            m_traits.handleTrait(TraitIDs::HAS_C_D_T_HEADER_FIELD_VALUE);
        if (contains(value, "%RECEIVED") || contains(value, "%MESSAGEID") || contains(value, "%FROM_USER") ||
            contains(value, "%CHARSET"))
            m_traits.handleTrait(TraitIDs::HAS_OTHER_RND_HEADER_FIELD_VALUE);
    }

    if (messageInfoFields > 0) {
        bool hotmailReceived = false;
        for (const HeaderField *received : m_header.findFields("received", true)) {
            if (contains(received->value(), "hotmail")) {
                hotmailReceived = true;
                break;
            }
        }
        if (!hotmailReceived)
            m_traits.handleTrait(TraitIDs::HAS_X_MESSAGE_INFO_HEADER_FIELD_BUT_NO_HOTMAIL_RECV);
    }
}

MailParser::MIMEEntity *MessageTokenizer::createSubEntity(MIMEEntityHeader &header,
                                                          MailParser::MultipartMIMEEntity *parent,
                                                          IMessagePartProcessor &processor) {
    const MailParser::ContentTypeField &type = header.contentType();
    if (type.parameters().count("class-id"))
        m_traits.handleTrait(TraitIDs::CONTENT_TYPE_FIELD_HAS_CLASS_ID_PARAMETER);
    if (type.parameters().count("type"))
        m_traits.handleTrait(TraitIDs::CONTENT_TYPE_FIELD_HAS_TYPE_PARAMETER);
    if (header.isMultipart()) {
        const std::string boundary = type.parameter("boundary");
        if (contains(boundary, "&UNIQUEID"))
            m_traits.handleTrait(TraitIDs::MULTIPART_BOUNDARY_CONTAINS_UNIQUEID);
        if (contains(boundary, "0000000000000000"))
            m_traits.handleTrait(TraitIDs::MULTIPART_BOUNDARY_IS_MANY_ZEROS);
    }
    const auto encoding = header.transferEncoding();
    if (compareI(type.type(), "text") == 0 && compareI(type.subtype(), "html") == 0 &&
        (encoding == MailParser::MIMETransferEncodings::Base64 ||
         encoding == MailParser::MIMETransferEncodings::UUEncode))
        m_traits.handleTrait(TraitIDs::BASE64_OR_UUENCODE_ENCODED_HTML_PART);

    if (header.isMultipart()) {
        m_multipartSeen = true;
        if (compareI(type.subtype(), "alternative") == 0)
            return new MessageTokenizerMultipartAlternativeMIMEEntity(header, parent, processor, *this,
                                                                      m_traits);
    }
    return MessageTextParser::createSubEntity(header, parent, processor);
}

bool MessageTokenizer::needsEncoding(const std::string &bytes) {
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x21 || b > 0x7D) && b != '\t')
            return true;
    }
    return false;
}

void MessageTokenizer::processSubjectField(const std::string &rawValue, const std::wstring &decoded) {
    TextTokenizer::tokenize(m_tokens, "subject", decoded);

    bool anyBase64 = false;
    for (const auto &word : MailParser::NonAsciiHeaderCoders::parse(rawValue)) {
        if (word.encoding != 2)
            continue;
        if (needsEncoding(word.text))
            return;
        anyBase64 = true;
    }
    if (anyBase64)
        m_traits.handleTrait(TraitIDs::UNNECESSARY_BASE64_SUBJECT_ENCODING);
}

void MessageTokenizer::processPlainTextPart(const std::string &, const std::string &,
                                            const std::wstring &text) {
    TextTokenizer::tokenize(m_tokens, std::string(), text);
    if (text.find(L"<!--") != std::wstring::npos && text.find(L"-->") != std::wstring::npos)
        m_traits.handleTrait(TraitIDs::HTML_STYLE_COMMENTS_IN_TEXT_PLAIN_PART);
}

void MessageTokenizer::processHTMLPart(const std::string &, const std::string &, const std::wstring &text) {
    HTMLTraitDetector detector(m_tokens, m_traits, std::string(), m_multipartSeen);
    HTMLParser::parseHTML(detector, text, false);
}

void MessageTokenizer::textFinished() {}

// ---------------------------------------------------------------------------------------
// MessageTokenizerMultipartAlternativeMIMEEntity

MessageTokenizerMultipartAlternativeMIMEEntity::MessageTokenizerMultipartAlternativeMIMEEntity(
    const MIMEEntityHeader &header, MailParser::MultipartMIMEEntity *parent, IMessagePartProcessor &processor,
    IMessageTextMIMEEntityFactory &factory, ITraitHandler &traits)
    : MessageTextMultipartAlternativeMIMEEntity(header, parent, processor, factory), m_traits(traits) {}

MessageTokenizerMultipartAlternativeMIMEEntity::~MessageTokenizerMultipartAlternativeMIMEEntity() = default;

void MessageTokenizerMultipartAlternativeMIMEEntity::processPlainTextPart(const std::string &rawText,
                                                                          const std::string &charset,
                                                                          const std::wstring &text) {
    ++m_partCount;
    m_processor.processPlainTextPart(rawText, charset, text);
}

void MessageTokenizerMultipartAlternativeMIMEEntity::processHTMLPart(const std::string &rawText,
                                                                     const std::string &charset,
                                                                     const std::wstring &text) {
    ++m_partCount;
    m_processor.processHTMLPart(rawText, charset, text);
}

void MessageTokenizerMultipartAlternativeMIMEEntity::multipartFinished() {
    if (m_partCount == 1)
        m_traits.handleTrait(TraitIDs::ONLY_ONE_PART_IN_MULTIPART_ALTERNATIVE);
}
