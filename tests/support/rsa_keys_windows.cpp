// Test key pairs with Windows' CNG: generated and used for encryption there,
// written out as PEM from the key's numbers (CNG exports numbers, not PEM).
#include <windows.h>
// windows.h first: bcrypt.h relies on its types.
#include <bcrypt.h>

#include <cstring>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "rsa_keys.h"
#include "system_crypto.h"

namespace test {

struct KeyPair {
    KeyPair() {
        if (BCryptOpenAlgorithmProvider(&rsa, BCRYPT_RSA_ALGORITHM, nullptr, 0) < 0 ||
            BCryptGenerateKeyPair(rsa, &key, 1024, 0) < 0 || BCryptFinalizeKeyPair(key, 0) < 0)
            throw std::runtime_error("BCryptGenerateKeyPair");
    }
    ~KeyPair() {
        if (key != nullptr)
            BCryptDestroyKey(key);
        if (rsa != nullptr)
            BCryptCloseAlgorithmProvider(rsa, 0);
    }
    KeyPair(const KeyPair &) = delete;
    KeyPair &operator=(const KeyPair &) = delete;
    BCRYPT_ALG_HANDLE rsa = nullptr;
    BCRYPT_KEY_HANDLE key = nullptr;
};

namespace {

using Bytes = std::vector<unsigned char>;

// One DER element: tag, length, contents.
Bytes der(unsigned char tag, const Bytes &contents) {
    Bytes out{tag};
    const size_t len = contents.size();
    if (len < 0x80) {
        out.push_back(static_cast<unsigned char>(len));
    } else {
        const int bytes = len > 0xff ? 2 : 1;
        out.push_back(static_cast<unsigned char>(0x80 | bytes));
        for (int i = bytes - 1; i >= 0; --i)
            out.push_back(static_cast<unsigned char>(len >> (8 * i)));
    }
    out.insert(out.end(), contents.begin(), contents.end());
    return out;
}

// A non-negative INTEGER from big-endian bytes.
Bytes der_integer(const unsigned char *begin, size_t len) {
    while (len > 1 && *begin == 0) {
        ++begin;
        --len;
    }
    Bytes value(begin, begin + len);
    if (value.empty() || (value[0] & 0x80) != 0)
        value.insert(value.begin(), 0);
    return der(0x02, value);
}

Bytes operator+(Bytes a, const Bytes &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// PKCS#1 RSAPrivateKey from CNG's full private blob: big-endian numbers,
// the public exponent, modulus, prime1, prime2, exponent1, exponent2,
// coefficient and private exponent, each `sizes` long.
Bytes pkcs1_of(const Bytes &blob) {
    BCRYPT_RSAKEY_BLOB header;
    std::memcpy(&header, blob.data(), sizeof header);
    const ULONG sizes[] = {header.cbPublicExp, header.cbModulus, header.cbPrime1, header.cbPrime2,
                           header.cbPrime1,    header.cbPrime2,  header.cbPrime1, header.cbModulus};
    Bytes number[std::size(sizes)];
    const unsigned char *field = blob.data() + sizeof header;
    for (size_t i = 0; i < std::size(sizes); ++i) {
        number[i] = der_integer(field, sizes[i]);
        field += sizes[i];
    }
    // version 0, n, e, d, p, q, d mod (p-1), d mod (q-1), q^-1 mod p
    return der(0x30, der_integer(nullptr, 0) + number[1] + number[0] + number[7] + number[2] + number[3] + number[4] +
                         number[5] + number[6]);
}

std::string pem(const char *label, const Bytes &body) {
    std::string b64(4 * ((body.size() + 2) / 3) + 1, '\0');
    system_crypto::base64_encode(body.data(), body.size(), b64.data());
    b64.pop_back();
    std::string text = std::string("-----BEGIN ") + label + "-----\n";
    for (size_t at = 0; at < b64.size(); at += 64)
        text += b64.substr(at, 64) + "\n";
    return text + "-----END " + label + "-----\n";
}

NTSTATUS encrypt_with(BCRYPT_KEY_HANDLE key, Bytes in, RsaPadding padding, Bytes &cipher) {
    BCRYPT_OAEP_PADDING_INFO oaep{padding == RsaPadding::OaepSha1 ? BCRYPT_SHA1_ALGORITHM : BCRYPT_SHA256_ALGORITHM,
                                  nullptr, 0};
    void *info = padding == RsaPadding::Pkcs1 ? nullptr : &oaep;
    const ULONG flags = padding == RsaPadding::Pkcs1 ? BCRYPT_PAD_PKCS1 : BCRYPT_PAD_OAEP;
    ULONG size = 0;
    NTSTATUS status =
        BCryptEncrypt(key, in.data(), static_cast<ULONG>(in.size()), info, nullptr, 0, nullptr, 0, &size, flags);
    if (status < 0)
        return status;
    cipher.assign(size, 0);
    status = BCryptEncrypt(key, in.data(), static_cast<ULONG>(in.size()), info, nullptr, 0, cipher.data(), size, &size,
                           flags);
    cipher.resize(size);
    return status;
}

}  // namespace

bool padding_available(RsaPadding padding) {
    static KeyPair probe;
    Bytes cipher;
    const NTSTATUS status = encrypt_with(probe.key, Bytes{'x'}, padding, cipher);
    // Any other failure is the test's to report.
    return status != static_cast<NTSTATUS>(0xC00000BBL) && status != static_cast<NTSTATUS>(0xC0000002L);
}

RsaKey::RsaKey() : key_(std::make_shared<KeyPair>()) {}

std::string RsaKey::private_pem(PemForm form) const {
    ULONG size = 0;
    if (BCryptExportKey(key_->key, nullptr, BCRYPT_RSAFULLPRIVATE_BLOB, nullptr, 0, &size, 0) < 0)
        throw std::runtime_error("BCryptExportKey");
    Bytes blob(size);
    if (BCryptExportKey(key_->key, nullptr, BCRYPT_RSAFULLPRIVATE_BLOB, blob.data(), size, &size, 0) < 0)
        throw std::runtime_error("BCryptExportKey");
    const Bytes pkcs1 = pkcs1_of(blob);
    if (form == PemForm::Pkcs1)
        return pem("RSA PRIVATE KEY", pkcs1);
    // rsaEncryption (1.2.840.113549.1.1.1) without parameters.
    const Bytes rsa_algorithm =
        der(0x30, Bytes{0x06, 0x09, 0x2a, 0x86, 0x48, 0x86, 0xf7, 0x0d, 0x01, 0x01, 0x01, 0x05, 0x00});
    const Bytes pkcs8 = der(0x30, der_integer(nullptr, 0) + rsa_algorithm + der(0x04, pkcs1));
    if (form == PemForm::Pkcs8)
        return pem("PRIVATE KEY", pkcs8);
    // The password-protected layout (pbeWithSHAAnd3-KeyTripleDES-CBC, salt,
    // 2048 rounds) around bytes nobody can decrypt: a reader has to refuse
    // such a key before it looks at them.
    Bytes hidden(pkcs8.size() / 8 * 8 + 8);
    BCryptGenRandom(nullptr, hidden.data(), static_cast<ULONG>(hidden.size()), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    const Bytes pbe_oid{0x06, 0x0a, 0x2a, 0x86, 0x48, 0x86, 0xf7, 0x0d, 0x01, 0x0c, 0x01, 0x03};
    const Bytes params =
        der(0x30, der(0x04, Bytes(hidden.begin(), hidden.begin() + 8)) + Bytes{0x02, 0x02, 0x08, 0x00});
    return pem("ENCRYPTED PRIVATE KEY", der(0x30, der(0x30, pbe_oid + params) + der(0x04, hidden)));
}

std::string RsaKey::encrypt(const std::string &clear, RsaPadding padding) const {
    Bytes cipher;
    if (encrypt_with(key_->key, Bytes(clear.begin(), clear.end()), padding, cipher) < 0)
        throw std::runtime_error("BCryptEncrypt");
    const ULONG size = static_cast<ULONG>(cipher.size());
    std::string b64(4 * ((size + 2) / 3) + 1, '\0');
    system_crypto::base64_encode(cipher.data(), size, b64.data());
    b64.pop_back();
    return b64;
}

}  // namespace test
