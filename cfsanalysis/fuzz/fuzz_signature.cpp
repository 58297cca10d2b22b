// Whole messages through the text walk into the signature: lines split at LF with a CR
// before it dropped. Exceptions of the standard family are the parsers' way of refusing
// input; anything else (crash, hang, sanitizer report) is a finding.

#include "SignatureAlgorithm.h"
#include "cpp/CUtils.h"
#include "mailanalysis/MessageTextParser.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string message(reinterpret_cast<const char *>(data), size);
    SignatureAlgorithm signature(false);
    try {
        MessageTextParser parser(signature);
        for (const std::string &line : splitLines(message)) {
            parser.inputLine(line);
        }
        parser.inputFinished();
    } catch (const std::exception &) {
        return 0;
    }
    if (signature.getSignatureHex().size() != 128) {
        __builtin_trap();
    }
    return 0;
}
