#pragma once
// The line-driven push parser a message is fed through, and the abstract MIME body part that
// receives the body lines of one part. Derived classes decide in processHeader whether the
// body becomes a tree of MIME entities or a simple message.

#include "Header.h"
#include "MIMEEntityHeader.h"

#include <memory>
#include <string>

namespace MailParser {

// One MIME body part; receives the body lines of its part, then inputFinished once.
class MIMEEntity {
public:
    explicit MIMEEntity(const MIMEEntityHeader &header);
    // Takes the header over instead of copying it (a part header is not needed afterwards).
    explicit MIMEEntity(MIMEEntityHeader &&header);
    MIMEEntity(const MIMEEntity &) = delete;
    MIMEEntity &operator=(const MIMEEntity &) = delete;
    virtual ~MIMEEntity();

    virtual void inputLine(const std::string &line) = 0;
    virtual void inputFinished() = 0;

    [[nodiscard]] const MIMEEntityHeader &header() const { return m_header; }
    MIMEEntityHeader &header() { return m_header; }

protected:
    MIMEEntityHeader m_header;
};

class MessageParser {
public:
    MessageParser() = default;
    MessageParser(const MessageParser &) = delete;
    MessageParser &operator=(const MessageParser &) = delete;
    virtual ~MessageParser();

    // One line of the message, split at LF by the caller. CRs at either end are dropped; an
    // inner CR ends a line of its own (fed through this virtual slot).
    virtual void inputLine(const std::string &line);
    // Ends the message: the header if it is still open, then the body.
    virtual void inputFinished();

    [[nodiscard]] const MessageHeader &header() const { return m_header; }

protected:
    // Called once, when the header block has ended; may set m_topEntity.
    virtual void processHeader() = 0;
    // A body line of a message for which no MIME entity was made.
    virtual void processSimpleMessageLine(const std::string &line) = 0;
    virtual void finishSimpleMessage() = 0;

    MessageHeader m_header;
    std::unique_ptr<MIMEEntity> m_topEntity;
    bool m_headerDone = false;

private:
    void handleLine(const std::string &line);
};

} // namespace MailParser
