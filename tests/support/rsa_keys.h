// RSA key pairs made at test time, as the platform side uses them: the
// private key as PEM text, and passwords encrypted with the public half and
// Base64-encoded.
#pragma once

#include <memory>
#include <string>

namespace test {

// The key pair in the system's cryptography (rsa_keys_openssl.cpp,
// rsa_keys_windows.cpp).
struct KeyPair;

enum class PemForm { Pkcs1, Pkcs8, Pkcs8WithPassword };
enum class RsaPadding { OaepSha1, OaepSha256, Pkcs1 };

// Whether the system's RSA encrypts and decrypts with `padding`.
bool padding_available(RsaPadding padding);

class RsaKey {
  public:
    RsaKey();
    std::string private_pem(PemForm form = PemForm::Pkcs8) const;
    std::string encrypt(const std::string &clear, RsaPadding padding = RsaPadding::Pkcs1) const;

  private:
    std::shared_ptr<KeyPair> key_;
};

}  // namespace test
