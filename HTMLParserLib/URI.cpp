#include "URI.h"

#include "URL.h"

#include "cpp/CUtils.h"

URISchemes::URISchemes() {
    struct Row {
        const wchar_t *name;
        int type;
        bool nonLink;
        bool url;
    };
    // clang-format off
    static const Row rows[] = {
        {L"cid",        1, false, false},
        {L"http",       2, false, true},
        {L"https",      2, false, true},
        {L"ftp",        2, false, true},
        {L"rtsp",       2, false, true},
        {L"javascript", 3, true,  false},
        {L"vbscript",   3, true,  false},
        {L"mailto",     2, true,  false},
        {L"news",       2, true,  false},
        {L"nntp",       2, true,  false},
        {L"telnet",     2, true,  false},
    };
    // clang-format on
    for (const Row &row : rows)
        (*this)[row.name] = URISchemeInformation{row.type, row.nonLink, row.url};
}

const URISchemes uriSchemes;

namespace {

std::wstring stripCRLF(const std::wstring &text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L'\r' && c != L'\n')
            out += c;
    }
    return out;
}

bool isSchemeCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'+' ||
           c == L'-' || c == L'.';
}

} // namespace

URI::URI(const std::wstring &text) {
    const std::wstring stripped = stripCRLF(text);
    std::wstring name;
    for (std::size_t i = 0; i < stripped.size(); ++i) {
        const wchar_t c = stripped[i];
        if (c == L':') {
            scheme = name;
            schemeSpecific = stripped.substr(i + 1);
            return;
        }
        if (!isSchemeCharacter(c))
            break;
        name += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    schemeSpecific = stripped;
}

std::wstring URI::rewrite() {
    if (scheme.empty())
        return schemeSpecific;
    return scheme + L":" + schemeSpecific;
}

void URI::expand(const URL &base) {
    if (scheme.empty())
        scheme = base.scheme;
}

void URI::clear() {
    scheme.clear();
    schemeSpecific.clear();
}

const URISchemeInformation *URI::schemeInformation() const {
    auto found = uriSchemes.find(scheme);
    return found == uriSchemes.end() ? nullptr : &found->second;
}

bool URI::isURLScheme() const {
    const URISchemeInformation *info = schemeInformation();
    return info && info->url;
}

bool URI::isAcceptableForNonHREF() const {
    const URISchemeInformation *info = schemeInformation();
    return info && !info->nonLink;
}

int URI::getSchemeType() const {
    const URISchemeInformation *info = schemeInformation();
    return info ? info->type : 0;
}

bool URI::isFragmentOnly() const {
    return scheme.empty() && !schemeSpecific.empty() && schemeSpecific[0] == L'#';
}

int URI::percentEscapeValue(const std::wstring &text, std::size_t pos) {
    if (pos >= text.size() || text.size() - pos < 3 || text[pos] != L'%')
        return -1;
    const int high = hexDigitValue(text[pos + 1]);
    const int low = hexDigitValue(text[pos + 2]);
    if (high < 0 || low < 0)
        return -1;
    return high * 16 + low;
}
