#include "MIMEEntityHeader.h"

#include "MIMEParsers.h"
#include "cpp/AsciiText.h"
#include "cpp/CUtils.h"

#include <stdexcept>

namespace MailParser {

// ---------------------------------------------------------------------------------------
// ContentField

ContentField::~ContentField() = default;

std::string ContentField::parameter(const std::string &name) const {
    const auto it = m_parameters.find(name);
    return it == m_parameters.end() ? std::string() : it->second;
}

void ContentField::parse(const std::string &text) {
    // A field parsed again describes the new text only.
    m_parameters.clear();
    const std::size_t semicolon = text.find(';');
    if (semicolon == std::string::npos) {
        setValue(text);
        return;
    }
    std::size_t mainEnd = semicolon;
    while (mainEnd > 0 && safe_iswhitespace(text[mainEnd - 1]))
        --mainEnd;
    setValue(text.substr(0, mainEnd));

    const auto end = text.cend();
    auto it = text.cbegin() + static_cast<std::ptrdiff_t>(semicolon);
    auto skipWsp = [&it, end] {
        while (it != end && safe_iswhitespace(*it))
            ++it;
    };
    for (;;) {
        skipWsp();
        if (it == end || *it != ';')
            return;
        ++it;
        skipWsp();
        std::string name = MIMEParsers::getMIMEToken(it, end);
        if (name.empty())
            return;
        skipWsp();
        if (it == end || *it != '=')
            return;
        ++it;
        skipWsp();
        if (it == end)
            return;
        std::string value;
        if (*it == '"') {
            ++it;
            value = MIMEParsers::getMIMEQuotedString(it, end);
            // Raw 8-bit text (a file name in the sender's character set) is common in quoted
            // values; the value runs on to its closing quote rather than ending there, or
            // every parameter after it (the charset among them) would be lost.
            while (it != end && static_cast<unsigned char>(*it) >= 0x80) {
                value += *it++;
                value += MIMEParsers::getMIMEQuotedString(it, end);
            }
            if (it != end && *it == '"')
                ++it;
        } else {
            value = MIMEParsers::getMIMEToken(it, end);
        }
        m_parameters.insert_or_assign(std::move(name), std::move(value));
    }
}

std::string ContentField::rewrite() const {
    std::string out = getValue();
    out.reserve(out.size() + 40 * m_parameters.size());
    for (const auto &[name, value] : m_parameters) {
        out += ";\r\n\t";
        out += name;
        out += '=';
        out += MIMEParsers::quoteString(value, '"');
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// ContentTypeField

void ContentTypeField::setValue(const std::string &value) {
    const std::size_t slash = value.find('/');
    if (slash != std::string::npos) {
        const std::string_view v(value);
        m_type = std::string(Ascii::trim(v.substr(0, slash)));
        m_subtype = std::string(Ascii::trim(v.substr(slash + 1)));
        return;
    }
    if (Ascii::equalsI(Ascii::trim(value), "text")) {
        m_type = "text";
        m_subtype = "plain";
        return;
    }
    m_type.clear();
    m_subtype.clear();
}

std::string ContentTypeField::getValue() const {
    return m_type + "/" + m_subtype;
}

bool ContentTypeField::isMultipart() const {
    return Ascii::equalsI(m_type, "multipart");
}

// ---------------------------------------------------------------------------------------
// ContentDispositionField

void ContentDispositionField::setValue(const std::string &value) {
    // The blank that a removed comment or a trailing space leaves behind must not turn an
    // inline part into an attachment.
    m_disposition = Ascii::equalsI(Ascii::trim(value), "inline") ? Inline : Attachment;
}

std::string ContentDispositionField::getValue() const {
    switch (m_disposition) {
    case Inline:
        return "inline";
    case Attachment:
        return "attachment";
    }
    throw std::runtime_error("invalid disposition enum value!");
}

// ---------------------------------------------------------------------------------------
// MIMEEntityHeader

const std::string MIMEEntityHeader::__text_plain = "text/plain";

MIMEEntityHeader::MIMEEntityHeader(const Header &header) : Header(header) {
    MIMEEntityHeader::processHeader(__text_plain);
}

MIMEEntityHeader::~MIMEEntityHeader() = default;

void MIMEEntityHeader::processHeader(const std::string &defaultType) {
    removeDuplicateFields("content-");
    parseContentHeaderFields(defaultType);
    removeContentHeaderFields();
}

namespace {

// Looked up for every part; made once rather than per call.
const std::string nameType = "content-type";
const std::string nameDisposition = "content-disposition";
const std::string nameEncoding = "content-transfer-encoding";
const std::string nameId = "content-id";
const std::string nameDescription = "content-description";

} // namespace

void MIMEEntityHeader::parseContentHeaderFields(std::string defaultType) {
    if (HeaderField *f = findFirstField(nameType)) {
        f->removeComments();
        m_contentType.parse(f->value());
    } else {
        m_contentType.parse(defaultType);
    }

    if (HeaderField *f = findFirstField(nameDisposition)) {
        f->removeComments();
        m_contentDisposition.parse(f->value());
    } else {
        m_contentDisposition.setDisposition(ContentDispositionField::Inline);
        m_contentDisposition.parameters().clear();
    }

    if (HeaderField *f = findFirstField(nameEncoding)) {
        f->removeComments();
        m_transferEncoding = MIMETransferEncodings::findTransferEncoding(f->value());
    } else {
        m_transferEncoding = MIMETransferEncodings::EightBit;
    }

    if (HeaderField *f = findFirstField(nameId)) {
        f->removeComments();
        m_contentId = f->value();
    } else {
        m_contentId.clear();
    }

    if (HeaderField *f = findFirstField(nameDescription)) {
        f->removeComments();
        m_contentDescription = f->value();
    } else {
        m_contentDescription.clear();
    }
}

void MIMEEntityHeader::removeContentHeaderFields() {
    removeFields("content-", false);
}

std::string MIMEEntityHeader::rewrite() const {
    std::string out = Header::rewrite();
    out += "Content-Type: ";
    out += m_contentType.rewrite();
    out += "\r\n";
    if (!isMultipart()) {
        out += "Content-Transfer-Encoding: ";
        out += MIMETransferEncodings::transferEncodingName(m_transferEncoding);
        out += "\r\nContent-Disposition: ";
        out += m_contentDisposition.rewrite();
        out += "\r\n";
    }
    if (!m_contentId.empty()) {
        out += "Content-ID: ";
        out += m_contentId;
        out += "\r\n";
    }
    if (!m_contentDescription.empty()) {
        out += "Content-Description: ";
        out += m_contentDescription;
        out += "\r\n";
    }
    return out;
}

} // namespace MailParser
