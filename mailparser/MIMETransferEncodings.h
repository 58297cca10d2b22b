#pragma once
// Content transfer encodings of MIME parts: names, recognition, decoding and encoding.
// Decoders never fail: what cannot be decoded is skipped (base64) or kept (quoted-printable),
// and an incomplete tail is dropped.

#include <string>

namespace MailParser::MIMETransferEncodings {

enum TransferEncoding : int {
    SevenBit = 0,
    EightBit = 1, // also "binary", and the default
    QuotedPrintable = 2,
    Base64 = 3,
    UUEncode = 4,
    Unknown = 5,
};

// "7bit", "8bit", "quoted-printable", "base64", "x-uuencode"; anything else "unknown".
std::string transferEncodingName(TransferEncoding encoding);
// Recognises a Content-Transfer-Encoding value (blanks around it and letter case ignored).
TransferEncoding findTransferEncoding(const std::string &text);

// 7bit, 8bit and unknown data pass unchanged.
std::string decode(TransferEncoding encoding, const std::string &data);
std::string decodeBase64(const std::string &data);
// Only CR LF counts as a line break; a lone LF is an ordinary byte.
std::string decodeQuotedPrintable(const std::string &data);
// Lines end at CR LF; a last line without one is ignored. The "begin" and "end" lines that
// frame the data are skipped.
std::string decodeUUEncoding(const std::string &data);

std::string encodeBase64(const std::string &data);
std::string encodeQuotedPrintable(const std::string &data);

} // namespace MailParser::MIMETransferEncodings
