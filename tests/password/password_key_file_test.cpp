// The key file's life in one process: a missing file is looked for again at
// every command; the first text read is kept for good, even when it is no
// key, so a later file takes effect only in a new process.
#include "password_fixture.h"
#include "rsa_keys.h"

namespace {

using namespace password_test;
using KeyFile = PasswordTest;

TEST_F(KeyFile, MissingFileIsRetriedAndTheFirstTextReadIsKept) {
    ScratchDirectory dir;
    test::RsaKey key;
    const std::string encrypted = key.encrypt("pw");
    const std::string command = R"({"command":90,"newpass":")" + encrypted + R"("})";
    const std::string refused =
        "set_param_frame_decrypted_password decrypt_dev_password failed, host_id:dev-0001, encrypted_pwd: " +
        encrypted + ", new_pwd: ";

    for (int attempt = 0; attempt < 2; ++attempt) {
        Command cmd(command);
        EXPECT_EQ(set(cmd), 0);
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(cmd.reply(), R"({"ret":-1, "err_code":-1})");
        EXPECT_EQ(log.messages(), (Lines{"fp == NULL, file: etc/conf/direct_dev_privkey.pem",
                                         "!load_private_key(etc/conf/direct_dev_privkey.pem)", refused}));
    }

    write_key_file("this is not a PEM key\n");
    Command garbage(command);
    EXPECT_EQ(set(garbage), 0);
    EXPECT_EQ(log.messages(), (Lines{"rsa_base64_decrypt(" + encrypted + ") failed", refused}));

    write_key_file(key.private_pem());
    Command still(command);
    EXPECT_EQ(set(still), 0);
    EXPECT_EQ(still.reply(), R"({"ret":-1, "err_code":-1})");
    EXPECT_TRUE(calls("NetClient_ModifyPwd").empty());
}

}  // namespace
