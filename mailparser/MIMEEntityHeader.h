#pragma once
// The header of one MIME part (or of a whole MIME message): a Header whose "Content-" fields
// have been taken out and parsed into typed members, with defaults for missing fields.

#include "Header.h"
#include "MIMETransferEncodings.h"

#include <map>
#include <string>

namespace MailParser {

// A main value followed by ";"-separated name=value parameters (names ignore letter case).
class ContentField {
public:
    using Parameters = std::map<std::string, std::string, caseinsensitive_string_less>;

    ContentField() = default;
    ContentField(const ContentField &) = default;
    ContentField &operator=(const ContentField &) = default;
    virtual ~ContentField();

    // Reads the main value and the parameters; stops quietly at the first thing that does
    // not fit, keeping the parameters read until then.
    virtual void parse(const std::string &text);
    // The main value, then ";\r\n\t" name=quoted value for every parameter.
    virtual std::string rewrite() const;
    virtual void setValue(const std::string &value) = 0;
    virtual std::string getValue() const = 0;

    [[nodiscard]] const Parameters &parameters() const { return m_parameters; }
    Parameters &parameters() { return m_parameters; }
    // The value of a parameter, empty when there is none.
    [[nodiscard]] std::string parameter(const std::string &name) const;

protected:
    Parameters m_parameters;
};

class ContentTypeField : public ContentField {
public:
    // "type/subtype", each side trimmed; a bare "text" means text/plain; anything else
    // without a "/" leaves both empty.
    void setValue(const std::string &value) override;
    std::string getValue() const override;

    [[nodiscard]] const std::string &type() const { return m_type; }
    [[nodiscard]] const std::string &subtype() const { return m_subtype; }
    [[nodiscard]] bool isMultipart() const;

private:
    std::string m_type;
    std::string m_subtype;
};

class ContentDispositionField : public ContentField {
public:
    enum Disposition : int { Inline = 0, Attachment = 1 };

    // "inline" (any case, blanks around it ignored) is inline; anything else an attachment.
    void setValue(const std::string &value) override;
    // Throws std::runtime_error for a value outside the enumeration.
    std::string getValue() const override;

    [[nodiscard]] Disposition disposition() const { return m_disposition; }
    void setDisposition(Disposition disposition) { m_disposition = disposition; }

private:
    Disposition m_disposition = Inline;
};

class MIMEEntityHeader : public Header {
public:
    static const std::string __text_plain;

    MIMEEntityHeader() = default;
    // Copies the fields and processes them with the default type text/plain.
    explicit MIMEEntityHeader(const Header &header);
    MIMEEntityHeader(const MIMEEntityHeader &other) = default;
    MIMEEntityHeader &operator=(const MIMEEntityHeader &other) = default;
    MIMEEntityHeader(MIMEEntityHeader &&other) noexcept = default;
    MIMEEntityHeader &operator=(MIMEEntityHeader &&other) noexcept = default;
    ~MIMEEntityHeader() override;

    // Fields of the remaining header, then the content fields written from the members.
    std::string rewrite() const override;
    // Keeps the last of each "Content-" field, parses them and takes them out of the header.
    virtual void processHeader(const std::string &defaultType);
    virtual void parseContentHeaderFields(std::string defaultType);
    virtual void removeContentHeaderFields();

    [[nodiscard]] bool isMultipart() const { return m_contentType.isMultipart(); }

    [[nodiscard]] const ContentTypeField &contentType() const { return m_contentType; }
    ContentTypeField &contentType() { return m_contentType; }
    [[nodiscard]] const ContentDispositionField &contentDisposition() const { return m_contentDisposition; }
    ContentDispositionField &contentDisposition() { return m_contentDisposition; }
    [[nodiscard]] const std::string &contentId() const { return m_contentId; }
    [[nodiscard]] const std::string &contentDescription() const { return m_contentDescription; }
    [[nodiscard]] MIMETransferEncodings::TransferEncoding transferEncoding() const {
        return m_transferEncoding;
    }

protected:
    ContentTypeField m_contentType;
    ContentDispositionField m_contentDisposition;
    std::string m_contentId;
    std::string m_contentDescription;
    MIMETransferEncodings::TransferEncoding m_transferEncoding = MIMETransferEncodings::EightBit;
};

} // namespace MailParser
