#include "encrypt_decrypt.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "key_utility.h"
#include "os_support.h"
#include "system_crypto.h"
#include "zel_log.h"

namespace zel {
namespace {

constexpr size_t kKeyFileMax = 10240;

// The key file's text, loaded once. Two first decryptions at the same
// moment may both read the file; the first copy stored is kept.
std::atomic<char *> s_direct_dev_rsa_privkey{nullptr};

}  // namespace

void wipe_secret(void *buf, size_t len) { system_crypto::wipe(buf, len); }

int32_t load_private_key(const char *filename) {
    if (filename == nullptr)
        return ZREFUSE("load_private_key filename == NULL");
    FILE *fp = std::fopen(filename, "r");
    if (fp == nullptr)
        return ZREFUSE("fp == NULL, file: %s", filename);
    std::vector<char> text(kKeyFileMax + 1, '\0');
    size_t read = std::fread(text.data(), 1, kKeyFileMax, fp);
    std::fclose(fp);

    char *copy = os_strdup(text.data());
    wipe_secret(text.data(), read);
    if (copy == nullptr) {
        ZLOG(kLogWarn, "s_direct_dev_rsa_privkey == NULL, calloc failed");
        return 1;
    }
    char *none = nullptr;
    if (!s_direct_dev_rsa_privkey.compare_exchange_strong(none, copy, std::memory_order_acq_rel)) {
        wipe_secret(copy, std::strlen(copy));
        std::free(copy);
    }
    return 1;
}

int32_t decrypt_dev_password(const char *old_pwd, char *new_pwd, int32_t size) {
    if (old_pwd == nullptr)
        return ZREFUSE("old_pwd == NULL");
    if (new_pwd == nullptr)
        return ZREFUSE("new_pwd == NULL");
    const char *key = s_direct_dev_rsa_privkey.load(std::memory_order_acquire);
    if (key == nullptr) {
        if (load_private_key(kPrivateKeyPath) == 0)
            return ZREFUSE("!load_private_key(%s)", kPrivateKeyPath);
        key = s_direct_dev_rsa_privkey.load(std::memory_order_acquire);
        if (key == nullptr)
            return 0;
    }

    char area[KEY_UTILITY_OUT_AREA] = {};
    int32_t len = 0;
    int32_t result = 0;
    if (rsa_base64_decrypt(key, old_pwd, static_cast<int32_t>(std::strlen(old_pwd)), area, &len) == 0) {
        ZLOG(kLogError, "rsa_base64_decrypt(%s) failed", old_pwd);
    } else if (len < size) {
        size_t copied = strnlen(area, std::min(sizeof area, static_cast<size_t>(size) - 1));
        std::memcpy(new_pwd, area, copied);
        std::memset(new_pwd + copied, 0, static_cast<size_t>(size) - copied);
        result = 1;
    } else {
        ZLOG(kLogError, "not enough space, len:%d, size:%d", len, size);
    }
    wipe_secret(area, sizeof area);
    return result;
}

}  // namespace zel
