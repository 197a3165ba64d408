// RSA key pairs made at test time, and ciphertexts for them, as the platform
// side makes them: the private key as PEM text, the password encrypted with
// the public half and Base64-encoded.
#pragma once

#include <memory>
#include <string>

namespace test {

enum class PemForm { Pkcs1, Pkcs8 };
enum class RsaPadding { OaepSha1, OaepSha256, Pkcs1 };

class RsaKey {
  public:
    explicit RsaKey(int bits = 1024);
    ~RsaKey();
    RsaKey(const RsaKey &) = delete;
    RsaKey &operator=(const RsaKey &) = delete;

    // The private key as PEM text.
    std::string private_pem(PemForm form = PemForm::Pkcs8) const;
    // The private key as PEM text encrypted with a password.
    std::string encrypted_pem() const;
    // `clear` encrypted with the public half, in Base64.
    std::string encrypt(const std::string &clear, RsaPadding padding = RsaPadding::Pkcs1) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A PEM private key of another algorithm than RSA.
std::string ec_private_pem();

}  // namespace test
