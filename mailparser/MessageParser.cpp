#include "MessageParser.h"

#include <cstring>

namespace MailParser {

MIMEEntity::MIMEEntity(const MIMEEntityHeader &header) : m_header(header) {}

MIMEEntity::MIMEEntity(MIMEEntityHeader &&header) : m_header(std::move(header)) {}

MIMEEntity::~MIMEEntity() = default;

MessageParser::~MessageParser() = default;

void MessageParser::inputLine(const std::string &line) {
    std::size_t begin = 0, end = line.size();
    while (begin < end && line[begin] == '\r')
        ++begin;
    while (end > begin && line[end - 1] == '\r')
        --end;
    if (begin == 0 && end == line.size() && !std::memchr(line.data(), '\r', line.size())) {
        handleLine(line); // the usual case: no CR anywhere, no copy
        return;
    }
    // Walk the inner CRs by position; cutting the front off the text each time would make
    // a line of many CRs quadratic.
    for (;;) {
        const void *cr = std::memchr(line.data() + begin, '\r', end - begin);
        if (!cr)
            break;
        const auto pos = static_cast<std::size_t>(static_cast<const char *>(cr) - line.data());
        inputLine(line.substr(begin, pos - begin));
        begin = pos + 1;
    }
    handleLine(line.substr(begin, end - begin));
}

void MessageParser::handleLine(const std::string &line) {
    if (m_headerDone) {
        if (m_topEntity)
            m_topEntity->inputLine(line);
        else
            processSimpleMessageLine(line);
        return;
    }
    if (line.empty()) {
        m_headerDone = true;
        processHeader();
        return;
    }
    (void)m_header.inputLine(line);
}

void MessageParser::inputFinished() {
    if (!m_headerDone) {
        m_headerDone = true;
        processHeader();
    }
    if (m_topEntity)
        m_topEntity->inputFinished();
    else
        finishSimpleMessage();
}

} // namespace MailParser
