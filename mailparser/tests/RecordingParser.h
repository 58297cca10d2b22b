#pragma once
// A message parser that writes down everything the parser tells it, one event per line, so
// tests compare the structure of a message with a stored trace and the fuzz target drives
// every callback. Leaf parts collect their body and undo its transfer encoding at the end.
//
// Trace lines:
//   H <name>: <raw value>               message header field (when the header ends)
//   E<n> <type>/<subtype> parent=<p> enc=<name> disp=<disposition> [boundary=<b>]
//   L<n> <line>                          body line of leaf entity n
//   F<n> <decoded body>                  leaf n finished
//   M<n>                                 multipart n finished
//   S <line> / SF                        simple (non-MIME) message line / end
// Bytes outside printable ASCII are written as \xHH.

#include "MIMETransferEncodings.h"
#include "MessageParser.h"
#include "MultipartMIMEEntity.h"

#include <memory>
#include <string>

namespace mptest {

inline std::string escaped(const std::string &text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += ch;
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

class Recorder {
public:
    std::string trace;
    int entities = 0;
    bool recordLines = true;

    void add(const std::string &line) {
        trace += line;
        trace += '\n';
    }

    std::string describe(const MailParser::MIMEEntityHeader &h, int id, int parent) {
        std::string s = "E" + std::to_string(id) + " " + escaped(h.contentType().type()) + "/" +
                        escaped(h.contentType().subtype()) + " parent=" + std::to_string(parent) + " enc=" +
                        MailParser::MIMETransferEncodings::transferEncodingName(h.transferEncoding()) +
                        " disp=" + h.contentDisposition().getValue();
        if (h.isMultipart())
            s += " boundary=" + escaped(h.contentType().parameter("boundary"));
        return s;
    }

    MailParser::MIMEEntity *create(MailParser::MIMEEntityHeader &header,
                                   MailParser::MultipartMIMEEntity *parent, int parentId);
};

class RecordingLeaf : public MailParser::MIMEEntity {
public:
    RecordingLeaf(const MailParser::MIMEEntityHeader &header, Recorder &rec, int id)
        : MIMEEntity(header), m_rec(rec), m_id(id) {}
    void inputLine(const std::string &line) override {
        if (m_rec.recordLines)
            m_rec.add("L" + std::to_string(m_id) + " " + escaped(line));
        m_body += line;
        m_body += "\r\n";
    }
    void inputFinished() override {
        const std::string decoded =
            MailParser::MIMETransferEncodings::decode(m_header.transferEncoding(), m_body);
        m_rec.add("F" + std::to_string(m_id) + " " + escaped(decoded));
    }

private:
    Recorder &m_rec;
    int m_id;
    std::string m_body;
};

class RecordingMultipart : public MailParser::MultipartMIMEEntity {
public:
    RecordingMultipart(const MailParser::MIMEEntityHeader &header, MultipartMIMEEntity *parent, Recorder &rec,
                       int id)
        : MultipartMIMEEntity(header, parent), m_rec(rec), m_id(id) {}

protected:
    MailParser::MIMEEntity *createSubEntity(MailParser::MIMEEntityHeader &header) override {
        return m_rec.create(header, this, m_id);
    }
    void multipartFinished() override { m_rec.add("M" + std::to_string(m_id)); }

private:
    Recorder &m_rec;
    int m_id;
};

inline MailParser::MIMEEntity *Recorder::create(MailParser::MIMEEntityHeader &header,
                                                MailParser::MultipartMIMEEntity *parent, int parentId) {
    const int id = ++entities;
    add(describe(header, id, parentId));
    if (header.isMultipart())
        return new RecordingMultipart(header, parent, *this, id);
    return new RecordingLeaf(header, *this, id);
}

class RecordingParser : public MailParser::MessageParser {
public:
    Recorder rec;

    // Feeds text split at LF (CRs are left for the parser), then ends the message.
    void feed(const std::string &text) {
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t eol = text.find('\n', pos);
            if (eol == std::string::npos)
                eol = text.size();
            inputLine(text.substr(pos, eol - pos));
            pos = eol + 1;
        }
        inputFinished();
    }

protected:
    void processHeader() override {
        for (const MailParser::HeaderField *f : m_header.getFields())
            rec.add("H " + escaped(f->name()) + ": " + escaped(f->value()));
        if (m_header.isMIMEMessage()) {
            MailParser::MIMEEntityHeader top(m_header);
            m_topEntity.reset(rec.create(top, nullptr, 0));
        }
    }
    void processSimpleMessageLine(const std::string &line) override {
        if (rec.recordLines)
            rec.add("S " + escaped(line));
    }
    void finishSimpleMessage() override { rec.add("SF"); }
};

} // namespace mptest
