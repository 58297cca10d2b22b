#pragma once
// Keyed MD5 digests for challenge-response logins (CRAM-MD5, APOP, HTTP Digest) and the
// hexadecimal form those protocols send.

// HMAC over MD5 with a 64-byte block; writes the 16-byte digest.
void hmac_md5(const unsigned char *text, int textLength, const unsigned char *key, int keyLength,
              unsigned char *digest);

// Plain MD5 of a byte run; writes the 16-byte digest.
void md5_digest(const unsigned char *data, int length, unsigned char *digest);

// Sixteen digest bytes as 32 lower-case hexadecimal digits and a NUL (33 bytes written).
void CvtHex(const unsigned char *digest, unsigned char *hex);
