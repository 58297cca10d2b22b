// The community signature: word splitting, the counters, and whole messages against the
// independent reference in signature_reference.py (run with /usr/bin/python3 on messages
// it generates, each with LF and with CR LF line ends).

#include "SignatureAlgorithm.h"
#include "cpp/CUtils.h"
#include "mailanalysis/MessageTextParser.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>
#include <vector>

namespace {

class WordList : public ITokenHandler {
public:
    void handleToken(const std::string &, const std::wstring &text) override { words.push_back(text); }
    std::vector<std::wstring> words;
};

std::vector<std::wstring> words(const std::wstring &text) {
    WordList list;
    signatureTokenize(list, "", text);
    return list.words;
}

std::string signatureOf(const std::string &message) {
    SignatureAlgorithm signature(false);
    MessageTextParser parser(signature);
    for (const std::string &line : splitLines(message)) {
        parser.inputLine(line);
    }
    parser.inputFinished();
    return signature.getSignatureHex();
}

std::vector<std::uint8_t> counters(const SignatureAlgorithm &signature) {
    std::vector<std::uint8_t> out(64);
    EXPECT_TRUE(signature.getSignature(out.data(), 64));
    return out;
}

TEST(SignatureWords, Table) {
    const struct {
        const char *name;
        std::wstring text;
        std::vector<std::wstring> expected;
    } cases[] = {
        {"digits and punctuation separate", L"3 apples, 4 pears", {L"apples", L"pears"}},
        {"case kept, apostrophes kept", L"Don't STOP", {L"Don't", L"STOP"}},
        {"dollar and digits inside split", L"A$AP mp3x", {L"A", L"AP", L"mp", L"x"}},
        {"latin, greek and cyrillic letters belong",
         L"caf\u00e9 \u03b1\u03b2 \u0434\u0430",
         {L"caf\u00e9", L"\u03b1\u03b2", L"\u0434\u0430"}},
        {"ideographs one by one", L"\u4e2d\u6587\u5b57", {L"\u4e2d", L"\u6587", L"\u5b57"}},
        {"hangul between words", L"ab\uac00cd", {L"ab", L"\uac00", L"cd"}},
        {"outside both ranges separates", L"x\u2000y\ue000z", {L"x", L"y", L"z"}},
        {"nothing", L" 123 -- !", {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(words(c.text), c.expected) << c.name;
    }
}

TEST(Signature, EmptyMessageIsAllZeros) {
    EXPECT_EQ(signatureOf(""), std::string(128, '0'));
    EXPECT_EQ(SignatureAlgorithm().getSignatureHex(), std::string(128, '0'));
}

TEST(Signature, EveryWordAddsSixCounts) {
    SignatureAlgorithm signature;
    signature.handleToken("", L"hello");
    auto c = counters(signature);
    EXPECT_EQ(std::accumulate(c.begin(), c.end(), 0), 6);

    // Only the first 8 characters count; case does.
    SignatureAlgorithm a, b, upper;
    a.handleToken("", L"abcdefgh");
    b.handleToken("", L"abcdefghij");
    EXPECT_EQ(a.getSignatureHex(), b.getSignatureHex());
    SignatureAlgorithm lower;
    lower.handleToken("", L"hello");
    upper.handleToken("", L"Hello");
    EXPECT_NE(lower.getSignatureHex(), upper.getSignatureHex());
}

TEST(Signature, CountersWrapAt256) {
    // The same word over and over lands on the same few counters.
    SignatureAlgorithm signature;
    for (int i = 0; i < 100; ++i) {
        signature.handleToken("", L"x");
    }
    auto c = counters(signature);
    EXPECT_EQ(std::accumulate(c.begin(), c.end(), 0) % 256, 600 % 256);
    EXPECT_LT(std::accumulate(c.begin(), c.end(), 0), 600);
}

TEST(Signature, BufferOfTheWrongSizeIsUntouched) {
    SignatureAlgorithm signature;
    signature.handleToken("", L"hello");
    for (int size : {0, 63, 65}) {
        std::vector<std::uint8_t> buffer(65, 0xAA);
        EXPECT_FALSE(signature.getSignature(buffer.data(), size));
        EXPECT_EQ(buffer, std::vector<std::uint8_t>(65, 0xAA));
    }
    EXPECT_EQ(SignatureAlgorithm::getSignatureSize(), 64);
    EXPECT_EQ(SignatureAlgorithm::getSignatureAlgorithmVersion(), 1027);
}

TEST(Signature, LinksResolveAgainstTheBase) {
    const std::string head = "Subject: s\nMIME-Version: 1.0\nContent-Type: text/html\n\n";
    const std::string withBase =
        signatureOf(head + "<base href=\"http://host.example/dir/\"><a href=\"page\">x</a>");
    const std::string expanded = signatureOf(head + "<a href=\"http://host.example/dir/page\">x</a>");
    const std::string relative = signatureOf(head + "<a href=\"page\">x</a>");
    EXPECT_EQ(withBase, expanded);
    EXPECT_NE(relative, expanded);
    // Visible text split only by inline tags is one word.
    EXPECT_EQ(signatureOf(head + "spam<b>mer</b>"), signatureOf(head + "spammer"));
    EXPECT_NE(signatureOf(head + "spam<p>mer"), signatureOf(head + "spammer"));
}

TEST(Signature, MatchesTheReferenceOnGeneratedMessages) {
    vltest::TempDir dir("signature");
    const auto result = vltest::runCommand(
        {"/usr/bin/python3", std::string(VL_SOURCE_DIR) + "/cfsanalysis/tests/signature_reference.py",
         dir.path(), "150"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::istringstream lines(result.out);
    std::string name, expected;
    int compared = 0;
    while (lines >> name >> expected) {
        const std::string message = vltest::readFile(dir.file(name));
        EXPECT_EQ(signatureOf(message), expected) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 300);
}

} // namespace
