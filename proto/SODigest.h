#pragma once
// The request digest of HTTP Digest authentication (RFC 2617, section 3.2.2), with the
// signatures of that text's reference routines.

using HASHHEX = char[33]; // 32 lower-case hexadecimal digits and a NUL

// H(A1): MD5 of "user:realm:password"; for the algorithm "md5-sess" (any case) that value
// hashed again with ":nonce:cnonce".
void DigestCalcHA1(const char *algorithm, const char *userName, const char *realm, const char *password,
                   const char *nonce, const char *cNonce, HASHHEX sessionKey);

// The response: MD5 of "HA1:nonce[:nc:cnonce:qop]:H(A2)", where H(A2) is MD5 of "method:uri"
// (and ":H(entity)" for qop "auth-int", compared without case). nc, cnonce and qop are left
// out when qop is empty.
void DigestCalcResponse(const HASHHEX ha1, const char *nonce, const char *nonceCount, const char *cNonce,
                        const char *qop, const char *method, const char *digestUri, const HASHHEX hEntity,
                        HASHHEX response);
