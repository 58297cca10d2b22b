#pragma once
// Base64 for the authentication exchanges of the protocol clients. Kept in its own namespace:
// the message library has a decoder of the same name with other rules.

namespace SOBase64 {

// Standard alphabet with "=" padding and no line breaks; always adds a NUL after the text.
// out needs 4 characters per started group of 3 input bytes, plus 1. Returns the characters
// written without the NUL.
unsigned int kbB64Encode(const unsigned char *in, unsigned int length, unsigned char *out);

// Skips every byte outside the alphabet (spaces, line ends, ...); "=" counts as a character of
// value 0, and a group ending in "=" or "==" yields 2 or 1 bytes. A last group of fewer than 4
// characters is dropped. Returns the bytes written; adds no NUL.
unsigned int kbB64Decode(const unsigned char *in, unsigned int length, unsigned char *out);

} // namespace SOBase64
