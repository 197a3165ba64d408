// The key utility decrypts what the platform side encrypts, with either PEM
// form and any of its paddings, and refuses everything else without writing
// outside the caller's 60-byte area.
#include "key_utility.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "rsa_keys.h"

namespace {

using test::PemForm;
using test::RsaKey;
using test::RsaPadding;

// The caller's area with guard bytes behind it.
struct Area {
    char bytes[KEY_UTILITY_OUT_AREA + 8];
    int32_t len = -1;
    Area() { std::memset(bytes, '#', sizeof bytes); }
    std::string text() const { return {bytes, static_cast<size_t>(len)}; }
    bool guard_intact() const { return std::string(bytes + KEY_UTILITY_OUT_AREA, 8) == "########"; }
};

int32_t decrypt(const std::string &pem, const std::string &b64, Area &area) {
    return rsa_base64_decrypt(pem.c_str(), b64.c_str(), static_cast<int32_t>(b64.size()), area.bytes, &area.len);
}

class KeyUtility : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        key = new RsaKey();
        other = new RsaKey();
    }
    static void TearDownTestSuite() {
        delete key;
        delete other;
    }
    static RsaKey *key;
    static RsaKey *other;
};
RsaKey *KeyUtility::key = nullptr;
RsaKey *KeyUtility::other = nullptr;

TEST_F(KeyUtility, DecryptsEveryPemFormAndPadding) {
    for (PemForm form : {PemForm::Pkcs1, PemForm::Pkcs8})
        for (RsaPadding padding : {RsaPadding::OaepSha1, RsaPadding::OaepSha256, RsaPadding::Pkcs1}) {
            Area area;
            errno = 4321;
            ASSERT_NE(decrypt(key->private_pem(form), key->encrypt("n3w-Pa55", padding), area), 0);
            EXPECT_EQ(errno, 4321);
            EXPECT_EQ(area.text(), "n3w-Pa55");
            EXPECT_TRUE(area.guard_intact());
        }
}

TEST_F(KeyUtility, TakesLineBrokenBase64) {
    std::string b64 = key->encrypt("pw");
    b64.insert(64, "\n").insert(20, "\r\n");
    Area area;
    ASSERT_NE(decrypt(key->private_pem(), b64, area), 0);
    EXPECT_EQ(area.text(), "pw");
}

TEST_F(KeyUtility, ClearTextFillsTheAreaAtMost) {
    Area full;
    ASSERT_NE(decrypt(key->private_pem(), key->encrypt(std::string(60, 'x')), full), 0);
    EXPECT_EQ(full.len, 60);
    EXPECT_TRUE(full.guard_intact());

    Area over;
    EXPECT_EQ(decrypt(key->private_pem(), key->encrypt(std::string(61, 'x')), over), 0);
    EXPECT_EQ(over.len, 0);
    EXPECT_EQ(std::string(over.bytes, sizeof over.bytes), std::string(sizeof over.bytes, '#'));
}

TEST_F(KeyUtility, RefusesWhatItCannotDecrypt) {
    const std::string pem = key->private_pem();
    const std::string good = key->encrypt("pw");
    const struct {
        const char *what;
        std::string pem, b64;
    } cases[] = {
        {"character outside the alphabet", pem, good.substr(0, 8) + "*" + good.substr(9)},
        {"cut-off last group", pem, good.substr(0, good.size() - 3)},
        {"empty ciphertext", pem, ""},
        {"ciphertext for another key", pem, other->encrypt("pw")},
        {"ciphertext cut short", pem, good.substr(0, good.size() / 2 / 4 * 4)},
        {"key text that is not PEM", "not a key at all", good},
        {"PEM of another algorithm", test::ec_private_pem(), good},
        {"password-protected key", key->encrypted_pem(), good},
        {"truncated PEM", pem.substr(0, pem.size() / 2), good},
    };
    for (const auto &c : cases) {
        Area area;
        EXPECT_EQ(decrypt(c.pem, c.b64, area), 0) << c.what;
        EXPECT_EQ(area.len, 0) << c.what;
        EXPECT_TRUE(area.guard_intact()) << c.what;
    }

    Area area;
    EXPECT_EQ(rsa_base64_decrypt(nullptr, good.c_str(), 4, area.bytes, &area.len), 0);
    EXPECT_EQ(rsa_base64_decrypt(pem.c_str(), nullptr, 4, area.bytes, &area.len), 0);
    EXPECT_EQ(rsa_base64_decrypt(pem.c_str(), good.c_str(), -1, area.bytes, &area.len), 0);
    EXPECT_EQ(rsa_base64_decrypt(pem.c_str(), good.c_str(), 4, nullptr, &area.len), 0);
    EXPECT_EQ(rsa_base64_decrypt(pem.c_str(), good.c_str(), 4, area.bytes, nullptr), 0);
}

TEST_F(KeyUtility, ReadsOnlyTheGivenLength) {
    const std::string b64 = key->encrypt("pw");
    const std::string padded = b64 + "trailing garbage";
    Area area;
    ASSERT_NE(rsa_base64_decrypt(key->private_pem().c_str(), padded.c_str(), static_cast<int32_t>(b64.size()),
                                 area.bytes, &area.len),
              0);
    EXPECT_EQ(area.text(), "pw");
}

}  // namespace
