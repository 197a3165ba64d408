#include "rsa_keys.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <stdexcept>
#include <vector>

namespace test {

struct KeyPair {
    explicit KeyPair(EVP_PKEY *key) : pkey(key) {}
    ~KeyPair() { EVP_PKEY_free(pkey); }
    KeyPair(const KeyPair &) = delete;
    KeyPair &operator=(const KeyPair &) = delete;
    EVP_PKEY *pkey;
};

namespace {

void require(bool ok, const char *what) {
    if (!ok)
        throw std::runtime_error(what);
}

std::string pem_of(EVP_PKEY *key, PemForm form) {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    unsigned char password[] = "secret";
    int ok = form == PemForm::Pkcs1
                 ? PEM_write_bio_PrivateKey_traditional(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr)
             : form == PemForm::Pkcs8
                 ? PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr)
                 : PEM_write_bio_PrivateKey(bio.get(), key, EVP_aes_128_cbc(), password, 6, nullptr, nullptr);
    require(ok == 1, "PEM_write_bio_PrivateKey");
    char *data = nullptr;
    long len = BIO_get_mem_data(bio.get(), &data);
    return {data, static_cast<size_t>(len)};
}

}  // namespace

bool padding_available(RsaPadding) { return true; }

RsaKey::RsaKey() : key_(std::make_shared<KeyPair>(EVP_RSA_gen(1024))) { require(key_->pkey != nullptr, "EVP_RSA_gen"); }

std::string RsaKey::private_pem(PemForm form) const { return pem_of(key_->pkey, form); }

std::string RsaKey::encrypt(const std::string &clear, RsaPadding padding) const {
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(
        EVP_PKEY_CTX_new_from_pkey(nullptr, key_->pkey, nullptr), EVP_PKEY_CTX_free);
    const EVP_MD *md = padding == RsaPadding::OaepSha1 ? EVP_sha1() : EVP_sha256();
    require(ctx != nullptr && EVP_PKEY_encrypt_init(ctx.get()) == 1, "EVP_PKEY_encrypt_init");
    require(padding == RsaPadding::Pkcs1 ? EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) == 1
                                         : EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_OAEP_PADDING) == 1 &&
                                               EVP_PKEY_CTX_set_rsa_oaep_md(ctx.get(), md) == 1 &&
                                               EVP_PKEY_CTX_set_rsa_mgf1_md(ctx.get(), md) == 1,
            "padding");
    const auto *in = reinterpret_cast<const unsigned char *>(clear.data());
    std::vector<unsigned char> cipher(static_cast<size_t>(EVP_PKEY_get_size(key_->pkey)));
    size_t len = cipher.size();
    require(EVP_PKEY_encrypt(ctx.get(), cipher.data(), &len, in, clear.size()) == 1, "EVP_PKEY_encrypt");
    std::string b64(4 * ((len + 2) / 3) + 1, '\0');
    b64.resize(static_cast<size_t>(
        EVP_EncodeBlock(reinterpret_cast<unsigned char *>(b64.data()), cipher.data(), static_cast<int>(len))));
    return b64;
}

}  // namespace test
