/* rsa_base64_decrypt: Base64 decoding, PEM private keys (PKCS#1 and PKCS#8),
 * RSA decryption with OAEP or PKCS#1 v1.5 padding, over the system's own
 * cryptography (system_crypto.h). */
#include "key_utility.h"

#include <cstring>
#include <new>
#include <vector>

#include "../os_support/errno_guard.h"
#include "platform_export.h"
#include "system_crypto.h"

namespace {

/* Bytes that are wiped before they are released: the clear text. */
struct Secret {
    ~Secret() { system_crypto::wipe(bytes.data(), bytes.size()); }
    std::vector<unsigned char> bytes;
};

int32_t decrypt_into(const char *key_pem, const char *enc_b64, int32_t enc_len, char *out, int32_t *out_len) {
    std::vector<unsigned char> cipher;
    if (!system_crypto::base64_decode(enc_b64, static_cast<size_t>(enc_len), cipher) || cipher.empty())
        return 0;
    Secret clear;
    if (!system_crypto::rsa_decrypt(key_pem, cipher, clear.bytes) || clear.bytes.size() > KEY_UTILITY_OUT_AREA)
        return 0;
    std::memcpy(out, clear.bytes.data(), clear.bytes.size());
    *out_len = static_cast<int32_t>(clear.bytes.size());
    return 1;
}

}  // namespace

extern "C" PLATFORM_EXPORT int32_t rsa_base64_decrypt(const char *key_pem, const char *enc_b64, int32_t enc_len,
                                                      char *out, int32_t *out_len) {
    ErrnoGuard guard;
    if (key_pem == nullptr || enc_b64 == nullptr || enc_len < 0 || out == nullptr || out_len == nullptr)
        return 0;
    *out_len = 0;
    try {
        return decrypt_into(key_pem, enc_b64, enc_len, out, out_len);
    } catch (const std::bad_alloc &) {
        return 0;
    }
}
