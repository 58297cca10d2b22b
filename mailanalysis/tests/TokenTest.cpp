#include "Token.h"
#include "bdblib/BOBStreams.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string word32(unsigned int value) {
    std::string bytes(4, '\0');
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

TEST(Token, ConstructorsFillTheFields) {
    const Token unset;
    EXPECT_EQ(unset.id, 0xFFFFFFFFu);
    EXPECT_TRUE(unset.context.empty());
    EXPECT_TRUE(unset.text.empty());

    const Token trait(3600);
    EXPECT_EQ(trait.id, 3600u);
    EXPECT_TRUE(trait.isTrait());
    EXPECT_TRUE(trait.context.empty() && trait.text.empty());

    const Token word("subject", L"hello");
    EXPECT_EQ(word.id, 0u);
    EXPECT_FALSE(word.isTrait());
    EXPECT_EQ(word.context, "subject");
    EXPECT_EQ(word.text, L"hello");
}

TEST(Token, WordsAreCutTo63Characters) {
    const std::wstring w63(63, L'a');
    EXPECT_EQ(Token("", w63).text, w63);
    EXPECT_EQ(Token("", w63 + L"b").text, w63);
    EXPECT_EQ(Token("", std::wstring(500, L'c')).text, std::wstring(63, L'c'));
}

TEST(Token, Ordering) {
    auto less = [](const Token &a, const Token &b) { return a < b; };
    auto equivalent = [](const Token &a, const Token &b) { return !(a < b) && !(b < a); };

    Token traitWithStrings(2000);
    traitWithStrings.context = "x";
    traitWithStrings.text = L"y";
    EXPECT_TRUE(equivalent(Token(2000), traitWithStrings));
    EXPECT_TRUE(less(Token(1999), Token(2000)));

    // A trait sorts after every word, whatever the word's strings.
    EXPECT_TRUE(less(Token("zzzz", L"zzzz"), Token(1024)));
    Token lastWord("zzzz", L"zzzz");
    lastWord.id = 1023; // still a word: strings count
    Token lastWord2 = lastWord;
    lastWord2.text = L"zzzy";
    EXPECT_TRUE(less(lastWord2, lastWord));
    EXPECT_TRUE(less(lastWord, Token(1024)));

    // Equal strings, different ids: different keys, the smaller id first.
    Token five("", L"w");
    five.id = 5;
    EXPECT_TRUE(less(Token("", L"w"), five));
    EXPECT_FALSE(less(five, Token("", L"w")));

    // Context before text; byte and code-unit order.
    EXPECT_TRUE(less(Token("", L"zzz"), Token("subject", L"aaa")));
    EXPECT_TRUE(less(Token("subject", L"abc"), Token("subject", L"abd")));
    EXPECT_TRUE(less(Token("subject", L"ab"), Token("subject", L"abc")));
    EXPECT_TRUE(less(Token("a", L"x"), Token("\xC3", L"x"))); // bytes compare unsigned
    EXPECT_TRUE(less(Token("", L"z"), Token("", L"\u00e9")));
    EXPECT_TRUE(equivalent(Token("subject", L"same"), Token("subject", L"same")));
}

TEST(TokenStream, TraitIsExactlyFourBytes) {
    BDBLib::BOBOStream out;
    Token trait(3201);
    trait.text = L"ignored";
    out << trait << Token("", L"next");
    EXPECT_EQ(out.getBOB().toString().substr(0, 4), word32(3201));
    EXPECT_EQ(out.getBOB().toString().substr(4), word32(0) + std::string("\0\4next", 6));

    const BDBLib::BOB inBytes = out.getBOB();
    BDBLib::BOBIStream in(inBytes);
    Token first;
    first.context = "kept";
    in >> first;
    EXPECT_EQ(first.id, 3201u);
    EXPECT_EQ(first.context, "kept"); // reading a trait leaves the strings alone
    Token second;
    in >> second;
    EXPECT_EQ(second.id, 0u);
    EXPECT_EQ(second.text, L"next");
    EXPECT_EQ(in.position(), inBytes.size());
}

TEST(TokenStream, WordFormHoldsContextAndUtf8Text) {
    BDBLib::BOBOStream out;
    out << Token("subject", L"na\u00efve\u20ac\U0001F600");
    const std::string utf8 = "na\xC3\xAFve\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(out.getBOB().toString(), word32(0) + "\7subject" + char(utf8.size()) + utf8);

    const BDBLib::BOB inBytes = out.getBOB();
    BDBLib::BOBIStream in(inBytes);
    Token back;
    in >> back;
    EXPECT_EQ(back.id, 0u);
    EXPECT_EQ(back.context, "subject");
    EXPECT_EQ(back.text, L"na\u00efve\u20ac\U0001F600");
}

TEST(TokenStream, LongestWordsFitTheirLengthByte) {
    // 63 characters of four UTF-8 bytes each: 252 bytes, the most a cut word can take.
    const Token widest("", std::wstring(63, wchar_t(0x10FFFF)));
    BDBLib::BOBOStream out;
    out << widest;
    EXPECT_EQ(static_cast<unsigned char>(out.getBOB().toString()[5]), 252u);
    const BDBLib::BOB inBytes = out.getBOB();
    BDBLib::BOBIStream in(inBytes);
    Token back;
    in >> back;
    EXPECT_EQ(back.text, widest.text);

    // A hand-made text beyond 255 bytes is cut at a character boundary.
    Token handMade;
    handMade.id = 0;
    handMade.text = std::wstring(100, wchar_t(0x20AC)); // 300 bytes
    BDBLib::BOBOStream out2;
    out2 << handMade;
    EXPECT_EQ(static_cast<unsigned char>(out2.getBOB().toString()[5]), 255u);
    EXPECT_EQ(out2.getBOB().toString().size(), 4u + 1u + 1u + 255u);
    const BDBLib::BOB in2Bytes = out2.getBOB();
    BDBLib::BOBIStream in2(in2Bytes);
    Token back2;
    in2 >> back2;
    EXPECT_EQ(back2.text, std::wstring(85, wchar_t(0x20AC)));

    Token longContext("", L"x");
    longContext.context.assign(256, 'c');
    BDBLib::BOBOStream out3;
    EXPECT_THROW(out3 << longContext, std::length_error);
}

TEST(TokenStream, SwappedStreamsSwapOnlyTheId) {
    BDBLib::BOBOStream out(true);
    out << Token("", L"ab") << Token(0x01020304u);
    EXPECT_EQ(out.getBOB().toString(), std::string("\0\0\0\0\0\2ab\1\2\3\4", 12));
    const BDBLib::BOB inBytes = out.getBOB();
    BDBLib::BOBIStream in(inBytes, true);
    Token word, trait;
    in >> word >> trait;
    EXPECT_EQ(word.text, L"ab");
    EXPECT_EQ(trait.id, 0x01020304u);
}

TEST(TokenStream, TruncatedWordThrows) {
    BDBLib::BOBOStream out;
    out << Token("subject", L"truncated");
    for (std::size_t keep = 0; keep < out.getBOB().toString().size(); ++keep) {
        const BDBLib::BOB inBytes(out.getBOB().toString().substr(0, keep));
        BDBLib::BOBIStream in(inBytes);
        Token t;
        EXPECT_THROW(in >> t, std::length_error) << keep;
    }
}

TEST(TokenStream, TokenMapsRoundTrip) {
    TokenMap map;
    map[Token("", L"hello")] = 3;
    map[Token("subject", L"hello")] = 1;
    map[Token("", L"\u00fcber")] = 7;
    map[Token(1024)] = 2;
    map[Token(4000)] = 0xFFFFFFFFu;
    for (bool swap : {false, true}) {
        BDBLib::BOBOStream out(swap);
        out << map;
        const BDBLib::BOB inBytes = out.getBOB();
        BDBLib::BOBIStream in(inBytes, swap);
        TokenMap back;
        back[Token("", L"stale")] = 9; // reading replaces what the map held
        in >> back;
        EXPECT_EQ(in.position(), inBytes.size());
        ASSERT_EQ(back.size(), map.size());
        auto it = back.begin();
        for (const auto &[token, count] : map) {
            EXPECT_EQ(it->first.id, token.id);
            EXPECT_EQ(it->first.context, token.context);
            EXPECT_EQ(it->first.text, token.text);
            EXPECT_EQ(it->second, count);
            ++it;
        }
    }
}

TEST(TokenStream, FirstOfTwoEqualKeysIsKept) {
    BDBLib::BOBOStream out;
    out << 2u << Token("", L"dup") << 5u << Token("", L"dup") << 6u;
    const BDBLib::BOB inBytes = out.getBOB();
    BDBLib::BOBIStream in(inBytes);
    TokenMap back;
    in >> back;
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back.begin()->second, 5u);
}

} // namespace
