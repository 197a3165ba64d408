/* Key utility: RSA decryption of a Base64 text with a private key.
 *
 * rsa_base64_decrypt(key_pem, enc_b64, enc_len, out, out_len)
 *   key_pem  the private key as PEM text, NUL-terminated: an RSA key in
 *            PKCS#1 ("BEGIN RSA PRIVATE KEY") or unencrypted PKCS#8
 *            ("BEGIN PRIVATE KEY") form;
 *   enc_b64  the ciphertext in standard Base64 (RFC 4648, "+" and "/",
 *            padded with "="; line breaks and blanks are skipped), enc_len
 *            bytes of it are read;
 *   out      the area that receives the clear bytes, not terminated;
 *   out_len  receives their count (0 after a failure).
 * The ciphertext may be padded with OAEP (SHA-1, or SHA-256 with MGF1
 * SHA-256) or with PKCS#1 v1.5; the paddings are tried in that order.
 *
 * The caller passes no size for `out`: the area is taken to hold
 * KEY_UTILITY_OUT_AREA bytes, and a clear text longer than that is refused
 * (nothing is written). Non-zero on success; 0 for a null argument, a
 * negative length, malformed Base64, a key text that is not such a PEM key,
 * or a ciphertext this key cannot decrypt. errno is left unchanged. */
#ifndef PLATFORM_KEY_UTILITY_H
#define PLATFORM_KEY_UTILITY_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KEY_UTILITY_OUT_AREA 60

int32_t rsa_base64_decrypt(const char *key_pem, const char *enc_b64, int32_t enc_len, char *out, int32_t *out_len);

#ifdef __cplusplus
}
#endif

#endif
