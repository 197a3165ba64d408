// The private key of the password commands and the decryption of passwords
// encrypted with its public half.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zel_paths.h"

namespace zel {

// The private key file (PEM), relative to the working directory.
inline constexpr char kPrivateKeyPath[] = "etc" ZEL_PATH_SEPARATOR "conf" ZEL_PATH_SEPARATOR "direct_dev_privkey.pem";

// Reads the key file's text (at most its first 10240 bytes, up to a zero
// byte) and keeps it for the life of the process. 1 when the file was read
// (the key may still be missing when no copy could be made), 0 for no path
// or a file that cannot be opened.
int32_t load_private_key(const char *filename);

// Decrypts the Base64 ciphertext `old_pwd` into `new_pwd` (`size` bytes,
// always terminated). The key is loaded at the first call; a failed load is
// tried again at the next. 1 on success, 0 otherwise.
int32_t decrypt_dev_password(const char *old_pwd, char *new_pwd, int32_t size);

// Overwrites a buffer that held a password.
void wipe_secret(void *buf, size_t len);

}  // namespace zel
