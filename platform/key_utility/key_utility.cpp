/* rsa_base64_decrypt over OpenSSL 3: Base64 decoding, PEM private keys
 * (PKCS#1 and PKCS#8), RSA decryption with OAEP or PKCS#1 v1.5 padding. */
#include "key_utility.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "../os_support/errno_guard.h"

namespace {

template <auto Free> struct Freer {
    template <typename T> void operator()(T *p) const { Free(p); }
};
using Bio = std::unique_ptr<BIO, Freer<BIO_free>>;
using PKey = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY_free>>;
using PKeyCtx = std::unique_ptr<EVP_PKEY_CTX, Freer<EVP_PKEY_CTX_free>>;
using DecodeCtx = std::unique_ptr<EVP_ENCODE_CTX, Freer<EVP_ENCODE_CTX_free>>;

/* Bytes that are wiped before they are released: the clear text. */
struct Secret {
    explicit Secret(size_t n) : bytes(n) {}
    ~Secret() { OPENSSL_cleanse(bytes.data(), bytes.size()); }
    std::vector<unsigned char> bytes;
};

/* Standard Base64 with padding; blanks and line breaks are skipped. False
 * for any other character, a misplaced "=" or a cut-off last group. */
bool base64_decode(const char *text, int32_t len, std::vector<unsigned char> &out) {
    DecodeCtx ctx(EVP_ENCODE_CTX_new());
    if (ctx == nullptr)
        return false;
    out.assign(static_cast<size_t>(len) / 4 * 3 + 3, 0);
    int written = 0, last = 0;
    EVP_DecodeInit(ctx.get());
    if (EVP_DecodeUpdate(ctx.get(), out.data(), &written, reinterpret_cast<const unsigned char *>(text), len) < 0)
        return false;
    if (EVP_DecodeFinal(ctx.get(), out.data() + written, &last) < 0)
        return false;
    out.resize(static_cast<size_t>(written + last));
    return true;
}

/* A PEM key is never read with a password: an encrypted key is refused
 * instead of prompting on a terminal. */
int no_password(char *, int, int, void *) { return -1; }

PKey read_rsa_key(const char *pem) {
    Bio bio(BIO_new_mem_buf(pem, -1));
    if (bio == nullptr)
        return nullptr;
    PKey key(PEM_read_bio_PrivateKey(bio.get(), nullptr, no_password, nullptr));
    if (key == nullptr || !EVP_PKEY_is_a(key.get(), "RSA"))
        return nullptr;
    return key;
}

enum class Padding { OaepSha1, OaepSha256, Pkcs1 };

bool set_padding(EVP_PKEY_CTX *ctx, Padding padding) {
    if (padding == Padding::Pkcs1) {
        if (EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) <= 0)
            return false;
#ifdef OSSL_ASYM_CIPHER_PARAM_IMPLICIT_REJECTION
        // A wrong key must fail, not yield random bytes.
        unsigned int implicit = 0;
        OSSL_PARAM params[] = {OSSL_PARAM_construct_uint(OSSL_ASYM_CIPHER_PARAM_IMPLICIT_REJECTION, &implicit),
                               OSSL_PARAM_construct_end()};
        if (EVP_PKEY_CTX_set_params(ctx, params) <= 0)
            return false;
#endif
        return true;
    }
    const EVP_MD *md = padding == Padding::OaepSha1 ? EVP_sha1() : EVP_sha256();
    return EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_OAEP_PADDING) > 0 && EVP_PKEY_CTX_set_rsa_oaep_md(ctx, md) > 0 &&
           EVP_PKEY_CTX_set_rsa_mgf1_md(ctx, md) > 0;
}

/* The clear text's length in `clear`, or -1 when no padding decrypts it. */
long decrypt(EVP_PKEY *key, const std::vector<unsigned char> &cipher, Secret &clear) {
    for (Padding padding : {Padding::OaepSha1, Padding::OaepSha256, Padding::Pkcs1}) {
        PKeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr));
        if (ctx == nullptr || EVP_PKEY_decrypt_init(ctx.get()) <= 0 || !set_padding(ctx.get(), padding))
            return -1;
        size_t len = clear.bytes.size();
        if (EVP_PKEY_decrypt(ctx.get(), clear.bytes.data(), &len, cipher.data(), cipher.size()) > 0)
            return static_cast<long>(len);
    }
    return -1;
}

int32_t decrypt_into(const char *key_pem, const char *enc_b64, int32_t enc_len, char *out, int32_t *out_len) {
    std::vector<unsigned char> cipher;
    if (!base64_decode(enc_b64, enc_len, cipher) || cipher.empty())
        return 0;
    PKey key = read_rsa_key(key_pem);
    if (key == nullptr)
        return 0;
    Secret clear(static_cast<size_t>(EVP_PKEY_get_size(key.get())));
    long len = decrypt(key.get(), cipher, clear);
    if (len < 0 || len > KEY_UTILITY_OUT_AREA)
        return 0;
    std::memcpy(out, clear.bytes.data(), static_cast<size_t>(len));
    *out_len = static_cast<int32_t>(len);
    return 1;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t
rsa_base64_decrypt(const char *key_pem, const char *enc_b64, int32_t enc_len, char *out, int32_t *out_len) {
    ErrnoGuard guard;
    if (key_pem == nullptr || enc_b64 == nullptr || enc_len < 0 || out == nullptr || out_len == nullptr)
        return 0;
    *out_len = 0;
    int32_t ok = 0;
    try {
        ok = decrypt_into(key_pem, enc_b64, enc_len, out, out_len);
    } catch (const std::bad_alloc &) {
        ok = 0;
    }
    // Failed attempts leave their reasons on the thread's OpenSSL error
    // queue; the caller learns only the result.
    ERR_clear_error();
    return ok;
}
