#include "HTMLCharacterEncoding.h"

#include "cpp/CUtils.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

const HTMLEntity _HTMLEntities[] = {
#include "HTMLEntityRows.inc"
};
const std::size_t HTMLEntityCount = sizeof(_HTMLEntities) / sizeof(_HTMLEntities[0]);

HTMLCharacterEntities::HTMLCharacterEntities() {
    for (std::size_t i = 0; i < HTMLEntityCount; ++i) {
        if (HTMLEntitiesByName.find(_HTMLEntities[i].name) != HTMLEntitiesByName.end()) {
            // A duplicate name is a broken table, not bad input: stop here.
            std::fprintf(stderr,
                         "HTMLCharacterEntities::HTMLCharacterEntities: assertion failed: "
                         "HTMLEntitiesByName.find(_HTMLEntities[i].name) == HTMLEntitiesByName.end() "
                         "(name %s)\n",
                         _HTMLEntities[i].name);
            std::abort();
        }
        HTMLEntitiesByName[_HTMLEntities[i].name] = _HTMLEntities[i].code;
        // Later rows win, so a code shared by two names encodes to the later one.
        HTMLEntitiesByCode[static_cast<wchar_t>(_HTMLEntities[i].code)] = _HTMLEntities[i].name;
    }
}

const HTMLCharacterEntities &getCharacterEntities() {
    static const HTMLCharacterEntities entities;
    return entities;
}

namespace {

// value * base + digit, held at INT_MAX once it would pass it: a long run of digits must not
// wrap around to a small code (such as "&" or "<") or to 0.
int accumulate(int value, int base, int digit) {
    if (value > (INT_MAX - digit) / base)
        return INT_MAX;
    return value * base + digit;
}

} // namespace

int CharacterData::decodeCharacterEntity(iterator &it, const iterator &end) {
    if (it == end || *it != L'&')
        return 0;
    iterator p = it + 1;
    if (p == end)
        return 0;

    int value = 0;
    if (*p == L'#') {
        ++p;
        if (p != end && (*p == L'x' || *p == L'X')) {
            ++p;
            for (int d; p != end && (d = hexDigitValue(*p)) >= 0; ++p)
                value = accumulate(value, 16, d);
        } else {
            for (; p != end && safe_isdigit(*p); ++p)
                value = accumulate(value, 10, *p - L'0');
        }
    } else {
        std::string name;
        for (; p != end && safe_isalnum(*p); ++p)
            name += static_cast<char>(*p);
        const auto &byName = getCharacterEntities().HTMLEntitiesByName;
        auto found = byName.find(name);
        if (found == byName.end())
            return 0;
        value = found->second;
    }
    if (value == 0)
        return 0;
    if (p != end && *p == L';')
        ++p;
    it = p;
    return value;
}

std::wstring CharacterData::decodeCDATA(const std::wstring &text, bool dropNul) {
    std::wstring out;
    out.reserve(text.size());
    iterator it = text.begin();
    const iterator end = text.end();
    while (it != end) {
        if (*it == L'&') {
            if (int code = decodeCharacterEntity(it, end)) {
                out += static_cast<wchar_t>(code);
                continue;
            }
        } else if (*it == L'\0' && dropNul) {
            ++it;
            continue;
        }
        out += *it++;
    }
    return out;
}

std::string CharacterData::encodeCharacterEntity(wchar_t c) {
    const auto &byCode = getCharacterEntities().HTMLEntitiesByCode;
    auto found = byCode.find(c);
    if (found != byCode.end())
        return "&" + found->second + ";";
    return "&#" + std::to_string(static_cast<long>(c)) + ";";
}

std::string CharacterData::encodeCDATA(const std::wstring &text, bool /*lineFeedFlag*/) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c < 32 || c >= 128 || c == L'&' || c == L'"' || c == L'<' || c == L'>')
            out += encodeCharacterEntity(c);
        else
            out += static_cast<char>(c);
    }
    return out;
}
