/* Key utility: RSA decryption of a Base64 text with a private key. */
#ifndef PLATFORM_KEY_UTILITY_H
#define PLATFORM_KEY_UTILITY_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int32_t rsa_base64_decrypt(const char *key_pem, const char *enc_b64, int32_t enc_len, char *out, int32_t *out_len);

#ifdef __cplusplus
}
#endif

#endif
