// Random lines through the line-fed message parser and a recording subclass, then through the
// header model's editing operations, the decoders and the encoded-word decoder.

#include "../tests/RecordingParser.h"
#include "MIMEEntityHeader.h"
#include "NonAsciiHeaderCoders.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string input(reinterpret_cast<const char *>(data), size);

    mptest::RecordingParser parser;
    parser.feed(input);

    // The message header as the analysis would use it.
    MailParser::MessageHeader header = parser.header();
    (void)header.rewrite();
    for (MailParser::HeaderField *f : header.getFields()) {
        (void)f->unfoldedValue();
        (void)MailParser::NonAsciiHeaderCoders::decode(f->unfoldedValue(), "");
        f->removeComments();
    }
    if (header.isMIMEMessage()) {
        MailParser::MIMEEntityHeader mime(header);
        (void)mime.rewrite();
    }
    header.removeDuplicateFields("");
    (void)header.removeInvalidFields();
    (void)header.truncateLongLines(size % 80);
    (void)header.rewrite();

    namespace TE = MailParser::MIMETransferEncodings;
    (void)TE::decodeBase64(input);
    (void)TE::decodeQuotedPrintable(input);
    (void)TE::decodeUUEncoding(input);
    if (size < 4096) {
        (void)TE::decodeBase64(TE::encodeBase64(input));
        (void)TE::decodeQuotedPrintable(TE::encodeQuotedPrintable(input));
    }
    return 0;
}
