#pragma once
// What several charset tests share: the list of multi-byte charset names and a readable form
// of decoded text for failure messages.

#include <cstdio>
#include <string>
#include <vector>

namespace charsettest {

// Every multi-byte name the decoding entry accepts, in the groups that share a decoder.
inline const std::vector<std::string> multiByteNames = {
    "gb2312",
    "csgb2312",
    "csgb231280",
    "gb_2312-80",
    "gb231280",
    "gb2312-80",
    "iso-ir-58",
    "chinese",
    "csiso58gb231280",
    "cn-gb",
    "euc-cn",
    "x-euc-cn",
    "gbk",
    "hz-gb-2312",
    "big5",
    "csbig5",
    "cn-big5",
    "x-x-big5",
    "big5-hkscs",
    "ks_c_5601",
    "ks_c_5601-1987",
    "ks_c_5601-1989",
    "ksc_5601",
    "ksc5601",
    "iso-ir-149",
    "csksc56011987",
    "korean",
    "_autodetect_kr",
    "iso-2022-kr",
    "csiso2022kr",
    "euc-kr",
    "cseuckr",
    "iso-2022-jp",
    "csiso2022jp",
    "euc-jp",
    "x-euc",
    "x-euc-jp",
    "extended_unix_code_packed_format_for_japanese",
    "cseucpkdfmtjapanese",
    "shift_jis",
    "shift-jis",
    "sjis",
    "csshiftjis",
    "ms-kanji",
    "cswindows31j",
    "x-ms-cp932",
    "x-sjis",
};

// Wide text as its code points ("U+0041 U+00E9 "), "(nothing)" when empty.
inline std::string codes(const std::wstring &text) {
    std::string out;
    for (wchar_t c : text) {
        char buf[12];
        std::snprintf(buf, sizeof buf, "U+%04X ", unsigned(c));
        out += buf;
    }
    return out.empty() ? "(nothing)" : out;
}

} // namespace charsettest
