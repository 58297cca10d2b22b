#include "TraceHandler.h"

#include <cstdio>

namespace {

void appendEscaped(std::string &out, unsigned long c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    case 0:
        out += "\\0";
        return;
    default:
        break;
    }
    if (c >= 32 && c < 127) {
        out += static_cast<char>(c);
        return;
    }
    char buf[24];
    std::snprintf(buf, sizeof buf, "\\u{%lx}", c);
    out += buf;
}

// The decoded form only when it differs from the raw one.
std::string rawAndDecoded(const std::wstring &raw, const std::wstring &decoded) {
    std::string out = TraceHandler::quote(raw);
    if (decoded != raw)
        out += " => " + TraceHandler::quote(decoded);
    return out;
}

} // namespace

std::string TraceHandler::quote(const std::wstring &text) {
    std::string out = "\"";
    for (wchar_t c : text)
        appendEscaped(out, static_cast<unsigned long>(static_cast<std::make_unsigned_t<wchar_t>>(c)));
    return out + "\"";
}

std::string TraceHandler::quote(const std::string &text) {
    std::string out = "\"";
    for (char c : text)
        appendEscaped(out, static_cast<unsigned char>(c));
    return out + "\"";
}

void TraceHandler::cdata(const std::wstring &raw, const std::wstring &decoded) {
    lines.push_back("text " + rawAndDecoded(raw, decoded));
}

void TraceHandler::openTagStart(const std::wstring &name, const std::string &lowerName) {
    lines.push_back("open " + quote(name) + " " + lowerName);
}

void TraceHandler::openTagAttribute(const std::wstring &name, const std::string &lowerName,
                                    const std::wstring &rawValue, const std::wstring &decodedValue) {
    lines.push_back("attr " + quote(name) + " " + lowerName + " = " + rawAndDecoded(rawValue, decodedValue));
}

void TraceHandler::openTagAttribute(const std::wstring &name, const std::string &lowerName) {
    lines.push_back("attr " + quote(name) + " " + lowerName);
}

void TraceHandler::openTagEnd() {
    lines.push_back("end-open");
}

void TraceHandler::blockTagContents(std::wstring contents) {
    lines.push_back("body " + quote(contents));
}

void TraceHandler::closeTag(const std::wstring &name, const std::string &lowerName) {
    lines.push_back("close " + quote(name) + " " + lowerName);
}

void TraceHandler::comment(const std::wstring &text) {
    lines.push_back("comment " + quote(text));
}

void TraceHandler::doctype(const std::wstring &text) {
    lines.push_back("doctype " + quote(text));
}

void TraceHandler::processingInstruction(const std::wstring &text) {
    lines.push_back("pi " + quote(text));
}

void TraceHandler::htmlFinished() {
    lines.push_back("finished");
}

std::string TraceHandler::trace() const {
    std::string out;
    for (const std::string &line : lines)
        out += line + "\n";
    return out;
}
