#include "sasl_p.h"

#include "base64_p.h"
#include "hmac_md5.h"

namespace SOSasl {

QByteArray base64(const QByteArray &plain) {
    QByteArray encoded((plain.size() + 2) / 3 * 4 + 1, '\0');
    encoded.truncate(SOBase64::kbB64Encode(reinterpret_cast<const unsigned char *>(plain.constData()),
                                           static_cast<unsigned int>(plain.size()),
                                           reinterpret_cast<unsigned char *>(encoded.data())));
    return encoded;
}

QByteArray cramMD5Response(const QByteArray &challenge64, const QString &user, const QString &password) {
    QByteArray challenge(challenge64.size() / 4 * 3 + 3, '\0');
    challenge.truncate(SOBase64::kbB64Decode(reinterpret_cast<const unsigned char *>(challenge64.constData()),
                                             static_cast<unsigned int>(challenge64.size()),
                                             reinterpret_cast<unsigned char *>(challenge.data())));
    const QByteArray key = password.toLatin1();
    unsigned char digest[16];
    unsigned char hex[33];
    hmac_md5(reinterpret_cast<const unsigned char *>(challenge.constData()), int(challenge.size()),
             reinterpret_cast<const unsigned char *>(key.constData()), int(key.size()), digest);
    CvtHex(digest, hex);
    return base64(user.toLatin1() + ' ' + QByteArray(reinterpret_cast<const char *>(hex), 32));
}

} // namespace SOSasl
