// Received-from texts of any bytes: the relay search reads nothing outside the text, and
// it agrees with the three regular expressions it stands for.
#include "RelayAddress.h"
#include "RelayReference.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const RelayAddress relay = RelayAddress::fromReceivedText(text);
    if (!vltest::sameRelay(relay, vltest::referenceRelay(text)))
        std::abort();
    if (relay.kind == RelayAddress::Kind::Address && RelayAddress::reversedQuad(relay.quad).isEmpty())
        std::abort();
    return 0;
}
