#pragma once
// The pieces of a challenge-response login that the mail clients share.

#include <QByteArray>
#include <QString>

namespace SOSasl {

// Base64 of the bytes, in a buffer sized to fit.
QByteArray base64(const QByteArray &plain);

// The answer to a CRAM-MD5 challenge (base64 as the server sent it; stray characters are
// skipped) as it goes on the line: base64 of the user, a space and the keyed digest in hex.
// User and password count as Latin-1.
QByteArray cramMD5Response(const QByteArray &challenge64, const QString &user, const QString &password);

} // namespace SOSasl
