// Base64 and RSA decryption with OpenSSL 3's libcrypto (EVP interface),
// which parses the PEM keys and does the padding.
#include "system_crypto.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <memory>

namespace system_crypto {
namespace {

template <auto Free> struct Freer {
    template <typename T> void operator()(T *p) const { Free(p); }
};
using Bio = std::unique_ptr<BIO, Freer<BIO_free>>;
using PKey = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY_free>>;
using PKeyCtx = std::unique_ptr<EVP_PKEY_CTX, Freer<EVP_PKEY_CTX_free>>;
using DecodeCtx = std::unique_ptr<EVP_ENCODE_CTX, Freer<EVP_ENCODE_CTX_free>>;

// A PEM key is never read with a password: an encrypted key is refused
// instead of prompting on a terminal.
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

bool decrypt_with(EVP_PKEY *key, const std::vector<unsigned char> &cipher, std::vector<unsigned char> &clear) {
    clear.assign(static_cast<size_t>(EVP_PKEY_get_size(key)), 0);
    for (Padding padding : {Padding::OaepSha1, Padding::OaepSha256, Padding::Pkcs1}) {
        PKeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr));
        if (ctx == nullptr || EVP_PKEY_decrypt_init(ctx.get()) <= 0 || !set_padding(ctx.get(), padding))
            return false;
        size_t len = clear.size();
        if (EVP_PKEY_decrypt(ctx.get(), clear.data(), &len, cipher.data(), cipher.size()) > 0) {
            clear.resize(len);
            return true;
        }
    }
    return false;
}

}  // namespace

void base64_encode(const unsigned char *in, size_t len, char *out) {
    EVP_EncodeBlock(reinterpret_cast<unsigned char *>(out), in, static_cast<int>(len));
}

bool base64_decode(const char *text, size_t len, std::vector<unsigned char> &out) {
    DecodeCtx ctx(EVP_ENCODE_CTX_new());
    if (ctx == nullptr)
        return false;
    out.assign(len / 4 * 3 + 3, 0);
    int written = 0, last = 0;
    EVP_DecodeInit(ctx.get());
    if (EVP_DecodeUpdate(ctx.get(), out.data(), &written, reinterpret_cast<const unsigned char *>(text),
                         static_cast<int>(len)) < 0)
        return false;
    if (EVP_DecodeFinal(ctx.get(), out.data() + written, &last) < 0)
        return false;
    out.resize(static_cast<size_t>(written + last));
    return true;
}

bool rsa_decrypt(const char *pem, const std::vector<unsigned char> &cipher, std::vector<unsigned char> &clear) {
    PKey key = read_rsa_key(pem);
    const bool ok = key != nullptr && decrypt_with(key.get(), cipher, clear);
    // Failed attempts leave their reasons on the thread's OpenSSL error
    // queue; the caller learns only the result.
    ERR_clear_error();
    return ok;
}

void wipe(void *buf, size_t len) { OPENSSL_cleanse(buf, len); }

}  // namespace system_crypto
