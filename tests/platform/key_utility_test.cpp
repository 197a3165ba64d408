// The key utility decrypts what the platform side encrypts, with either PEM
// form and any of its paddings, and refuses everything else without writing
// outside the caller's 60-byte area.
#include "key_utility.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

#include "rsa_keys.h"

namespace {

using test::PemForm;
using test::RsaPadding;

// The caller's area with guard bytes behind it.
struct Area {
    char bytes[KEY_UTILITY_OUT_AREA + 8];
    int32_t len = -1;
    Area() { std::memset(bytes, '#', sizeof bytes); }
    bool guard_intact() const { return std::string(bytes + KEY_UTILITY_OUT_AREA, 8) == "########"; }
};

int32_t decrypt(const std::string &pem, const std::string &b64, Area &area, size_t len = std::string::npos) {
    return rsa_base64_decrypt(pem.c_str(), b64.c_str(), static_cast<int32_t>(std::min(len, b64.size())), area.bytes,
                              &area.len);
}

test::RsaKey &key() {
    static test::RsaKey made;
    return made;
}

// Encrypts with `padding` and decrypts with either PEM form and in each
// Base64 layout the platform sends.
void expect_decrypts_every_form_and_layout(RsaPadding padding) {
    const std::string clear = "n3w-Pa55";
    const std::function<std::string(std::string)> layouts[] = {
        [](std::string b64) { return b64; },
        [](std::string b64) { return b64.substr(0, 20) + "\r\n" + b64.substr(20, 44) + "\n" + b64.substr(64); },
        [](std::string b64) { return b64 + "garbage past the given length"; },
    };
    for (PemForm form : {PemForm::Pkcs1, PemForm::Pkcs8})
        for (size_t layout = 0; layout < std::size(layouts); ++layout) {
            const std::string b64 = key().encrypt(clear, padding);
            Area area;
            errno = 4321;
            ASSERT_NE(decrypt(key().private_pem(form), layouts[layout](b64), area, layout == 2 ? b64.size() : -1), 0);
            EXPECT_EQ(errno, 4321);
            EXPECT_EQ(std::string(area.bytes, static_cast<size_t>(area.len)), clear);
            EXPECT_TRUE(area.guard_intact());
        }
}

TEST(KeyUtility, DecryptsPkcs1PaddingInEveryPemFormAndLayout) {
    expect_decrypts_every_form_and_layout(RsaPadding::Pkcs1);

    Area full;
    ASSERT_NE(decrypt(key().private_pem(), key().encrypt(std::string(60, 'x')), full), 0);
    EXPECT_EQ(full.len, 60);
    EXPECT_TRUE(full.guard_intact());
}

TEST(KeyUtility, DecryptsOaepPaddingsInEveryPemFormAndLayout) {
    // wine's CNG (over GnuTLS 3.7) has no OAEP, for the test keys nor for
    // the key utility; Windows itself has.
    if (!test::padding_available(RsaPadding::OaepSha1))
        GTEST_SKIP() << "this system's RSA has no OAEP padding";
    expect_decrypts_every_form_and_layout(RsaPadding::OaepSha1);
    expect_decrypts_every_form_and_layout(RsaPadding::OaepSha256);
}

TEST(KeyUtility, RefusesWhatItCannotDecryptAndWritesNothing) {
    const std::string pem = key().private_pem();
    const std::string good = key().encrypt("pw");
    test::RsaKey other;
    const struct {
        const char *what;
        std::string pem, b64;
    } cases[] = {
        {"a clear text longer than the area", pem, key().encrypt(std::string(61, 'x'))},
        {"character outside the alphabet", pem, good.substr(0, 8) + "*" + good.substr(9)},
        {"cut-off last group", pem, good.substr(0, good.size() - 3)},
        {"ciphertext for another key", pem, other.encrypt("pw")},
        {"key text that is not PEM", "not a key at all", good},
        {"password-protected key", key().private_pem(PemForm::Pkcs8WithPassword), good},
    };
    for (const auto &c : cases) {
        Area area;
        EXPECT_EQ(decrypt(c.pem, c.b64, area), 0) << c.what;
        EXPECT_EQ(area.len, 0) << c.what;
        EXPECT_EQ(std::string(area.bytes, sizeof area.bytes), std::string(sizeof area.bytes, '#')) << c.what;
    }
}

}  // namespace
