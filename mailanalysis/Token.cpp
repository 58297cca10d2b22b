#include "Token.h"

#include "bdblib/BinaryStreams.h"
#include "charset/UnicodeCoders.h"

#include <stdexcept>

namespace {

constexpr std::size_t MAX_FIELD_BYTES = 255; // a length must fit its one byte

void writeField(BDBLib::BinaryOutputStream &stream, const char *data, std::size_t size) {
    const char length = static_cast<char>(static_cast<unsigned char>(size));
    stream.write_bytes(&length, 1);
    if (size > 0) {
        stream.write_bytes(data, static_cast<unsigned int>(size));
    }
}

std::string readField(BDBLib::BinaryInputStream &stream) {
    unsigned char length = 0;
    stream.read_bytes(&length, 1);
    std::string bytes(length, '\0');
    if (length > 0) {
        stream.read_bytes(bytes.data(), length);
    }
    return bytes;
}

} // namespace

Token::Token(const std::string &context_, const std::wstring &text_)
    : id(0), context(context_),
      text(text_.size() > MAX_TEXT_LENGTH ? text_.substr(0, MAX_TEXT_LENGTH) : text_) {}

BDBLib::BinaryOutputStream &operator<<(BDBLib::BinaryOutputStream &stream, const Token &token) {
    stream << token.id;
    if (token.isTrait()) {
        return stream;
    }
    // Contexts are short names chosen by the program; a longer one is a caller's mistake,
    // and cutting it would silently merge keys.
    if (token.context.size() > MAX_FIELD_BYTES) {
        throw std::length_error("token context longer than 255 bytes");
    }
    writeField(stream, token.context.data(), token.context.size());
    std::string utf8 = Charsets::UnicodeCoders::encodeUTF8(token.text);
    if (utf8.size() > MAX_FIELD_BYTES) {
        // Only a hand-made text can get here (63 characters take at most 252 bytes); keep
        // whole characters so the stored form still decodes.
        std::size_t cut = MAX_FIELD_BYTES;
        while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        utf8.resize(cut);
    }
    writeField(stream, utf8.data(), utf8.size());
    return stream;
}

BDBLib::BinaryInputStream &operator>>(BDBLib::BinaryInputStream &stream, Token &token) {
    stream >> token.id;
    if (token.isTrait()) {
        return stream;
    }
    token.context = readField(stream);
    token.text = Charsets::UnicodeCoders::decodeUTF8(readField(stream));
    return stream;
}
