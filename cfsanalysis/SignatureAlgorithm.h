#pragma once
// The community signature of a message: 64 one-byte counters filled by hashing overlapping
// groups of neighbouring words, so that two copies of one bulk mailing with small changes
// give similar signatures. Feed the message through a MessageTextParser, then read the
// counters.

#include "mailanalysis/IMessageTextProcessor.h"
#include "mailanalysis/ITokenHandler.h"

#include <cstdint>
#include <string>

// Sends the words of text to handler: runs of ASCII letters, apostrophes and characters
// U+0080 to U+1FFF, case kept; each CJK or Hangul character (U+2E80 to U+D7FF) is a word
// of its own. Digits and punctuation separate words.
void signatureTokenize(ITokenHandler &handler, const std::string &context, const std::wstring &text);

class SignatureAlgorithm : public IMessageTextProcessor, public ITokenHandler {
public:
    // Two-word running hash of bytes.
    class Hash {
    public:
        Hash() { reset(); }
        void reset() {
            m_word0 = 0x12a3fe2du;
            m_word1 = 0x37abe8f9u;
        }
        void hashByte(std::uint8_t b) {
            const std::uint32_t previous = m_word0;
            m_word0 = m_word1 + (m_word0 ^ (b * 71523u));
            m_word1 = previous;
        }
        // Low byte first.
        void hashWord16(std::uint16_t w) {
            hashByte(static_cast<std::uint8_t>(w & 0xff));
            hashByte(static_cast<std::uint8_t>(w >> 8));
        }
        [[nodiscard]] std::uint32_t get() const { return m_word0; }

    private:
        std::uint32_t m_word0;
        std::uint32_t m_word1;
    };

    static constexpr int SIGNATURE_SIZE = 64;
    static constexpr int ALGORITHM_VERSION = 1027;
    static const std::string SUBJECT_CONTEXT;
    static const std::string HTML_BODY_CONTEXT;
    static const std::string PLAINTEXT_BODY_CONTEXT;

    // The flag is kept for the callers' sake and changes nothing.
    explicit SignatureAlgorithm(bool flag = false);

    void processPlainTextPart(const std::string &rawText, const std::string &charset,
                              const std::wstring &text) override;
    // The visible text (split like analysed text) and the words of link, image and form
    // addresses, resolved against the document's base address.
    void processHTMLPart(const std::string &rawText, const std::string &charset,
                         const std::wstring &text) override;
    void processSubjectField(const std::string &rawValue, const std::wstring &decoded) override;
    void textFinished() override {}

    // Adds one word: six counts from the triples of it and the four words before it.
    void handleToken(const std::string &context, const std::wstring &text) override;

    // The counters as 128 lower-case hexadecimal digits.
    [[nodiscard]] std::string getSignatureHex() const;
    // Copies the counters when size is exactly 64; otherwise copies nothing and returns false.
    bool getSignature(void *buffer, int size) const;
    [[nodiscard]] static int getSignatureSize() { return SIGNATURE_SIZE; }
    // Sent with the signature so that the service knows how it was made.
    [[nodiscard]] static int getSignatureAlgorithmVersion() { return ALGORITHM_VERSION; }

private:
    std::uint8_t m_counters[SIGNATURE_SIZE] = {};
    std::uint16_t m_ring[5] = {};
    int m_ringPosition = 0;
    [[maybe_unused]] bool m_flag;
};
