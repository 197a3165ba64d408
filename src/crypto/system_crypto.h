// Base64 and RSA decryption over the operating system's own cryptography:
// OpenSSL's libcrypto on Linux, CNG and CryptoAPI on Windows. The library and
// the key utility use nothing else of either; the same tests cover both.
#pragma once

#include <cstddef>
#include <vector>

namespace system_crypto {

// Standard Base64 of `len` bytes with padding and no line breaks: writes
// 4 * ((len + 2) / 3) characters and a terminating NUL to `out`.
void base64_encode(const unsigned char *in, size_t len, char *out);

// Decodes standard Base64 with padding; blanks and line breaks are skipped.
// False for any other character, a misplaced "=" or a cut-off last group.
bool base64_decode(const char *text, size_t len, std::vector<unsigned char> &out);

// Decrypts `cipher` with the RSA private key `pem` (PKCS#1 or unencrypted
// PKCS#8 PEM text), trying OAEP with SHA-1, OAEP with SHA-256 (MGF1 SHA-256)
// and PKCS#1 v1.5 padding in that order. The clear text replaces `clear`'s
// contents. False when `pem` is no such key or no padding decrypts.
bool rsa_decrypt(const char *pem, const std::vector<unsigned char> &cipher, std::vector<unsigned char> &clear);

// Overwrites memory that held a secret, in a way the compiler keeps.
void wipe(void *buf, size_t len);

}  // namespace system_crypto
