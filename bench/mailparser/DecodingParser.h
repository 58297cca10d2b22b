#pragma once
// What the scan path asks of the mail parser, without the analysis on top: the header, the
// subject's encoded words, the MIME structure, and every part's body collected and
// transfer-decoded. Shared by the benchmark and the corpus runner.

#include "mailparser/MIMETransferEncodings.h"
#include "mailparser/MessageParser.h"
#include "mailparser/MultipartMIMEEntity.h"
#include "mailparser/NonAsciiHeaderCoders.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace mpbench {

struct Totals {
    std::size_t parts = 0;
    std::size_t decodedBytes = 0;
    std::size_t subjectChars = 0;
};

class Leaf : public MailParser::MIMEEntity {
public:
    Leaf(MailParser::MIMEEntityHeader &&header, Totals &totals)
        : MIMEEntity(std::move(header)), m_totals(totals) {}
    void inputLine(const std::string &line) override {
        m_body += line;
        m_body += "\r\n";
    }
    void inputFinished() override {
        ++m_totals.parts;
        m_totals.decodedBytes +=
            MailParser::MIMETransferEncodings::decode(m_header.transferEncoding(), m_body).size();
    }

private:
    Totals &m_totals;
    std::string m_body;
};

inline MailParser::MIMEEntity *makeEntity(MailParser::MIMEEntityHeader &header,
                                          MailParser::MultipartMIMEEntity *parent, Totals &totals);

class Multipart : public MailParser::MultipartMIMEEntity {
public:
    Multipart(MailParser::MIMEEntityHeader &&header, MultipartMIMEEntity *parent, Totals &totals)
        : MultipartMIMEEntity(std::move(header), parent), m_totals(totals) {}

protected:
    MailParser::MIMEEntity *createSubEntity(MailParser::MIMEEntityHeader &header) override {
        return makeEntity(header, this, m_totals);
    }
    void multipartFinished() override {}

private:
    Totals &m_totals;
};

inline MailParser::MIMEEntity *makeEntity(MailParser::MIMEEntityHeader &header,
                                          MailParser::MultipartMIMEEntity *parent, Totals &totals) {
    // The part header is dropped after the part anyway, so the entity takes it over.
    if (header.isMultipart())
        return new Multipart(std::move(header), parent, totals);
    return new Leaf(std::move(header), totals);
}

class DecodingParser : public MailParser::MessageParser {
public:
    explicit DecodingParser(Totals &totals) : m_totals(totals) {}

    // Splits a raw message at LF as the scan path does and feeds it whole.
    void parse(std::string_view message) {
        std::string line;
        std::size_t pos = 0;
        while (pos < message.size()) {
            std::size_t eol = message.find('\n', pos);
            if (eol == std::string_view::npos)
                eol = message.size();
            line.assign(message.data() + pos, eol - pos);
            inputLine(line);
            pos = eol + 1;
        }
        inputFinished();
    }

protected:
    void processHeader() override {
        if (const MailParser::HeaderField *subject = m_header.findFirstField("subject"))
            m_totals.subjectChars +=
                MailParser::NonAsciiHeaderCoders::decode(subject->unfoldedValue(), "").size();
        if (m_header.isMIMEMessage()) {
            MailParser::MIMEEntityHeader top(m_header);
            m_topEntity.reset(makeEntity(top, nullptr, m_totals));
        }
    }
    void processSimpleMessageLine(const std::string &line) override {
        m_body += line;
        m_body += "\r\n";
    }
    void finishSimpleMessage() override {
        ++m_totals.parts;
        m_totals.decodedBytes += m_body.size();
    }

private:
    Totals &m_totals;
    std::string m_body;
};

} // namespace mpbench
