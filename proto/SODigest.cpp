#include "SODigest.h"

#include "hmac_md5.h"

#include <string>
#include <strings.h>

namespace {

void md5Hex(const std::string &text, HASHHEX out) {
    unsigned char digest[16];
    md5_digest(reinterpret_cast<const unsigned char *>(text.data()), int(text.size()), digest);
    CvtHex(digest, reinterpret_cast<unsigned char *>(out));
}

std::string str(const char *s) {
    return s ? std::string(s) : std::string();
}

} // namespace

void DigestCalcHA1(const char *algorithm, const char *userName, const char *realm, const char *password,
                   const char *nonce, const char *cNonce, HASHHEX sessionKey) {
    md5Hex(str(userName) + ':' + str(realm) + ':' + str(password), sessionKey);
    if (algorithm && ::strcasecmp(algorithm, "md5-sess") == 0) {
        const std::string again = std::string(sessionKey, 32) + ':' + str(nonce) + ':' + str(cNonce);
        md5Hex(again, sessionKey);
    }
}

void DigestCalcResponse(const HASHHEX ha1, const char *nonce, const char *nonceCount, const char *cNonce,
                        const char *qop, const char *method, const char *digestUri, const HASHHEX hEntity,
                        HASHHEX response) {
    std::string a2 = str(method) + ':' + str(digestUri);
    if (qop && ::strcasecmp(qop, "auth-int") == 0)
        a2 += ':' + str(hEntity);
    HASHHEX ha2;
    md5Hex(a2, ha2);
    std::string all = std::string(ha1, 32) + ':' + str(nonce) + ':';
    if (qop && *qop)
        all += str(nonceCount) + ':' + str(cNonce) + ':' + str(qop) + ':';
    all += std::string(ha2, 32);
    md5Hex(all, response);
}
