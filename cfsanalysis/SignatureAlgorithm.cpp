#include "SignatureAlgorithm.h"

#include "HTMLParserLib/HTMLParser.h"
#include "SignatureHTMLTextTokenizer.h"
#include "cpp/CUtils.h"

#include <cstring>

const std::string SignatureAlgorithm::SUBJECT_CONTEXT = "subject";
const std::string SignatureAlgorithm::HTML_BODY_CONTEXT;
const std::string SignatureAlgorithm::PLAINTEXT_BODY_CONTEXT;

namespace {

bool isSignatureWordCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'\'' || (c >= 0x80 && c <= 0x1FFF);
}

bool isIdeograph(wchar_t c) {
    return c >= 0x2E80 && c <= 0xD7FF;
}

} // namespace

void signatureTokenize(ITokenHandler &handler, const std::string &context, const std::wstring &text) {
    const std::size_t size = text.size();
    std::size_t i = 0;
    std::wstring word;
    while (i < size) {
        while (i < size && !isSignatureWordCharacter(text[i])) {
            if (isIdeograph(text[i])) {
                word.assign(1, text[i]);
                handler.handleToken(context, word);
            }
            ++i;
        }
        const std::size_t start = i;
        while (i < size && isSignatureWordCharacter(text[i])) {
            ++i;
        }
        if (i > start) {
            word.assign(text, start, i - start);
            handler.handleToken(context, word);
        }
    }
}

SignatureAlgorithm::SignatureAlgorithm(bool flag) : m_flag(flag) {}

void SignatureAlgorithm::processPlainTextPart(const std::string &, const std::string &,
                                              const std::wstring &text) {
    signatureTokenize(*this, PLAINTEXT_BODY_CONTEXT, text);
}

void SignatureAlgorithm::processHTMLPart(const std::string &, const std::string &, const std::wstring &text) {
    SignatureHTMLTextTokenizer tokenizer(*this, HTML_BODY_CONTEXT);
    HTMLParser::parseHTML(tokenizer, text, false);
}

void SignatureAlgorithm::processSubjectField(const std::string &, const std::wstring &decoded) {
    signatureTokenize(*this, SUBJECT_CONTEXT, decoded);
}

void SignatureAlgorithm::handleToken(const std::string &, const std::wstring &text) {
    Hash hash;
    const std::size_t length = text.size() < 8 ? text.size() : 8;
    for (std::size_t i = 0; i < length; ++i) {
        hash.hashByte(static_cast<std::uint8_t>(text[i] & 0xff));
    }
    m_ringPosition = (m_ringPosition + 1) % 5;
    m_ring[m_ringPosition] = static_cast<std::uint16_t>(hash.get() & 0xffff);

    // r[k] is the word k places back: r[0] this one, r[4] the oldest in the ring.
    std::uint16_t r[5];
    for (int k = 0; k < 5; ++k) {
        r[k] = m_ring[(m_ringPosition + 5 - k) % 5];
    }
    static constexpr int triples[6][3] = {{0, 1, 4}, {0, 2, 4}, {0, 3, 4}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}};
    for (const auto &triple : triples) {
        hash.reset();
        for (int k : triple) {
            hash.hashWord16(r[k]);
        }
        ++m_counters[hash.get() & 63];
    }
}

std::string SignatureAlgorithm::getSignatureHex() const {
    return encodeHexadecimal(m_counters, SIGNATURE_SIZE);
}

bool SignatureAlgorithm::getSignature(void *buffer, int size) const {
    if (size != SIGNATURE_SIZE || buffer == nullptr) {
        return false;
    }
    std::memcpy(buffer, m_counters, SIGNATURE_SIZE);
    return true;
}
