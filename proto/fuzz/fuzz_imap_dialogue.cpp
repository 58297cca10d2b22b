// An IMAP server's whole side of a session, from the fuzzer, to the real client.
#include "IMAP4Socket.h"
#include "fuzz_dialogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzzdialogue::play(data, size, [](const QString &host, quint16 port, bool secure) {
        auto c = std::make_unique<IMAP4Socket>();
        c->setup(SOSSLSocket::NoSSL, host, port, QStringLiteral("user"), QStringLiteral("secret"), 200);
        c->setSecureLogin(secure);
        return std::unique_ptr<MailSocket>(std::move(c));
    });
}
