// Base64, HMAC-MD5 and hexadecimal routines: the published vectors and the decoder's
// tolerance of stray bytes.

#include "base64_p.h"
#include "hmac_md5.h"

#include "TestNames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string hex(const unsigned char *digest) {
    unsigned char out[33];
    CvtHex(digest, out);
    return reinterpret_cast<const char *>(out);
}

std::string encode(const std::string &in) {
    std::string out(4 * ((in.size() + 2) / 3) + 1, '?');
    const unsigned n =
        SOBase64::kbB64Encode(reinterpret_cast<const unsigned char *>(in.data()), unsigned(in.size()),
                              reinterpret_cast<unsigned char *>(out.data()));
    EXPECT_EQ(out[n], '\0');
    out.resize(n);
    return out;
}

std::string decode(const std::string &in) {
    std::string out(in.size() + 3, '?');
    const unsigned n =
        SOBase64::kbB64Decode(reinterpret_cast<const unsigned char *>(in.data()), unsigned(in.size()),
                              reinterpret_cast<unsigned char *>(out.data()));
    out.resize(n);
    return out;
}

struct B64Case {
    std::string name;
    std::string plain;
    std::string encoded;
};

class Base64 : public ::testing::TestWithParam<B64Case> {};

TEST_P(Base64, EncodesAndDecodes) {
    EXPECT_EQ(encode(GetParam().plain), GetParam().encoded);
    EXPECT_EQ(decode(GetParam().encoded), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(Vectors, Base64,
                         ::testing::ValuesIn(std::vector<B64Case>{
                             {"empty", "", ""},
                             {"one byte", "a", "YQ=="},
                             {"two bytes", "ab", "YWI="},
                             {"three bytes", "abc", "YWJj"},
                             {"rfc4648 foobar", "foobar", "Zm9vYmFy"},
                             {"high bytes", std::string("\xff\xfe\x00\x80", 4), "//4AgA=="},
                             {"all of the alphabet's ends", std::string("\xfb\xff\xbf", 3), "+/+/"},
                         }),
                         vltest::RowName());

TEST(Base64Decode, SkipsBytesOutsideTheAlphabetAndDropsAnIncompleteGroup) {
    EXPECT_EQ(decode("YW Jj\r\n"), "abc");
    EXPECT_EQ(decode("Y*W\tJj"), "abc");
    EXPECT_EQ(decode("YWJjYW"), "abc"); // two characters left over: nothing for them
    EXPECT_EQ(decode("YWJjY"), "abc");
    EXPECT_EQ(decode("Y"), "");
    EXPECT_EQ(decode("YQ==YWJj"), std::string("a") + "abc");
}

struct HmacCase {
    std::string name;
    std::string key;
    std::string text;
    std::string digest;
};

class HmacMd5 : public ::testing::TestWithParam<HmacCase> {};

TEST_P(HmacMd5, MatchesThePublishedDigest) {
    const HmacCase &c = GetParam();
    unsigned char digest[16];
    hmac_md5(reinterpret_cast<const unsigned char *>(c.text.data()), int(c.text.size()),
             reinterpret_cast<const unsigned char *>(c.key.data()), int(c.key.size()), digest);
    EXPECT_EQ(hex(digest), c.digest);
}

// RFC 2104 appendix, RFC 2202 section 2 and the RFC 2195 CRAM-MD5 example.
INSTANTIATE_TEST_SUITE_P(
    Vectors, HmacMd5,
    ::testing::ValuesIn(std::vector<HmacCase>{
        {"rfc2202 1", std::string(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
        {"rfc2202 2", "Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
        {"rfc2202 3", std::string(16, '\xaa'), std::string(50, '\xdd'), "56be34521d144c88dbb8c733f0e8b3f6"},
        {"rfc2202 4",
         "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17"
         "\x18\x19",
         std::string(50, '\xcd'), "697eaf0aca3a3aea3a75164746ffaa79"},
        {"rfc2202 5", std::string(16, '\x0c'), "Test With Truncation", "56461ef2342edc00f9bab995690efd4c"},
        {"rfc2202 6 key of 80 bytes", std::string(80, '\xaa'),
         "Test Using Larger Than Block-Size Key - Hash Key First", "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
        {"rfc2202 7 key of 80 bytes", std::string(80, '\xaa'),
         "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
         "6f630fad67cda0ee1fb1f562db3aa53e"},
        {"rfc2195 cram-md5", "tanstaaftanstaaf", "<1896.697170952@postoffice.reston.mci.net>",
         "b913a602c7eda7a495b4e6e7334d3890"},
        {"empty key and text", "", "", "74e6f7298a9c2d168935f58c001bad88"},
    }),
    vltest::RowName());

TEST(CvtHex, WritesLowerCaseDigitsHighNibbleFirstAndANul) {
    unsigned char ff[16];
    std::fill(std::begin(ff), std::end(ff), 0xff);
    EXPECT_EQ(hex(ff), std::string(32, 'f'));
    const unsigned char bytes[16] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef,
                                     0x00, 0x10, 0xa0, 0x0a, 0xf0, 0x0f, 0x99, 0x5c};
    EXPECT_EQ(hex(bytes), "0123456789abcdef0010a00af00f995c");
}

TEST(Md5, AgreesWithTheApopExample) {
    // RFC 1939: the time stamp followed by the shared secret.
    const std::string text = "<1896.697170952@dbc.mtview.ca.us>tanstaaf";
    unsigned char digest[16];
    md5_digest(reinterpret_cast<const unsigned char *>(text.data()), int(text.size()), digest);
    EXPECT_EQ(hex(digest), "c4c9334bac560ecc979e58001b3e22fb");
}

} // namespace
