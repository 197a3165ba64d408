#include "rsa_keys.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <stdexcept>
#include <vector>

namespace test {
namespace {

template <auto Free> struct Freer {
    template <typename T> void operator()(T *p) const { Free(p); }
};
using Bio = std::unique_ptr<BIO, Freer<BIO_free>>;
using PKey = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY_free>>;
using PKeyCtx = std::unique_ptr<EVP_PKEY_CTX, Freer<EVP_PKEY_CTX_free>>;

void require(bool ok, const char *what) {
    if (!ok)
        throw std::runtime_error(what);
}

std::string bio_text(BIO *bio) {
    char *data = nullptr;
    long len = BIO_get_mem_data(bio, &data);
    return {data, static_cast<size_t>(len)};
}

std::string pem_of(EVP_PKEY *key, PemForm form, const EVP_CIPHER *cipher = nullptr, const char *password = nullptr) {
    Bio bio(BIO_new(BIO_s_mem()));
    auto *pass = reinterpret_cast<unsigned char *>(const_cast<char *>(password));
    int len = password != nullptr ? static_cast<int>(std::char_traits<char>::length(password)) : 0;
    int ok = form == PemForm::Pkcs1
                 ? PEM_write_bio_PrivateKey_traditional(bio.get(), key, cipher, pass, len, nullptr, nullptr)
                 : PEM_write_bio_PrivateKey(bio.get(), key, cipher, pass, len, nullptr, nullptr);
    require(ok == 1, "PEM_write_bio_PrivateKey");
    return bio_text(bio.get());
}

}  // namespace

struct RsaKey::Impl {
    PKey key;
};

RsaKey::RsaKey(int bits) : impl_(std::make_unique<Impl>()) {
    impl_->key.reset(EVP_RSA_gen(static_cast<unsigned int>(bits)));
    require(impl_->key != nullptr, "EVP_RSA_gen");
}

RsaKey::~RsaKey() = default;

std::string RsaKey::private_pem(PemForm form) const { return pem_of(impl_->key.get(), form); }

std::string RsaKey::encrypted_pem() const {
    return pem_of(impl_->key.get(), PemForm::Pkcs8, EVP_aes_128_cbc(), "secret");
}

std::string RsaKey::encrypt(const std::string &clear, RsaPadding padding) const {
    PKeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, impl_->key.get(), nullptr));
    require(ctx != nullptr && EVP_PKEY_encrypt_init(ctx.get()) == 1, "EVP_PKEY_encrypt_init");
    if (padding == RsaPadding::Pkcs1) {
        require(EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) == 1, "padding");
    } else {
        const EVP_MD *md = padding == RsaPadding::OaepSha1 ? EVP_sha1() : EVP_sha256();
        require(EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_OAEP_PADDING) == 1 &&
                    EVP_PKEY_CTX_set_rsa_oaep_md(ctx.get(), md) == 1 &&
                    EVP_PKEY_CTX_set_rsa_mgf1_md(ctx.get(), md) == 1,
                "padding");
    }
    const auto *in = reinterpret_cast<const unsigned char *>(clear.data());
    size_t len = 0;
    require(EVP_PKEY_encrypt(ctx.get(), nullptr, &len, in, clear.size()) == 1, "EVP_PKEY_encrypt");
    std::vector<unsigned char> cipher(len);
    require(EVP_PKEY_encrypt(ctx.get(), cipher.data(), &len, in, clear.size()) == 1, "EVP_PKEY_encrypt");
    std::string b64(4 * ((len + 2) / 3) + 1, '\0');
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char *>(b64.data()), cipher.data(), static_cast<int>(len));
    b64.resize(static_cast<size_t>(n));
    return b64;
}

std::string ec_private_pem() {
    PKey key(EVP_EC_gen("P-256"));
    require(key != nullptr, "EVP_EC_gen");
    return pem_of(key.get(), PemForm::Pkcs8);
}

}  // namespace test
