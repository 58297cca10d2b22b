#include "hmac_md5.h"

#include <openssl/evp.h>

#include <cstring>

void md5_digest(const unsigned char *data, int length, unsigned char *digest) {
    unsigned int size = 16;
    EVP_Digest(data, size_t(length > 0 ? length : 0), digest, &size, EVP_md5(), nullptr);
}

void hmac_md5(const unsigned char *text, int textLength, const unsigned char *key, int keyLength,
              unsigned char *digest) {
    unsigned char keyDigest[16];
    if (keyLength > 64) {
        md5_digest(key, keyLength, keyDigest);
        key = keyDigest;
        keyLength = 16;
    }
    unsigned char ipad[64] = {};
    unsigned char opad[64] = {};
    if (keyLength > 0) {
        std::memcpy(ipad, key, size_t(keyLength));
        std::memcpy(opad, key, size_t(keyLength));
    }
    for (int i = 0; i < 64; ++i) {
        ipad[i] ^= 0x36;
        opad[i] ^= 0x5c;
    }
    unsigned char inner[16];
    unsigned int size = 16;
    EVP_MD_CTX *ctx = EVP_MD_CTX_new();
    EVP_DigestInit_ex(ctx, EVP_md5(), nullptr);
    EVP_DigestUpdate(ctx, ipad, 64);
    if (textLength > 0)
        EVP_DigestUpdate(ctx, text, size_t(textLength));
    EVP_DigestFinal_ex(ctx, inner, &size);
    EVP_DigestInit_ex(ctx, EVP_md5(), nullptr);
    EVP_DigestUpdate(ctx, opad, 64);
    EVP_DigestUpdate(ctx, inner, 16);
    EVP_DigestFinal_ex(ctx, digest, &size);
    EVP_MD_CTX_free(ctx);
}

void CvtHex(const unsigned char *digest, unsigned char *hex) {
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < 16; ++i) {
        hex[2 * i] = static_cast<unsigned char>(digits[digest[i] >> 4]);
        hex[2 * i + 1] = static_cast<unsigned char>(digits[digest[i] & 0x0f]);
    }
    hex[32] = 0;
}
