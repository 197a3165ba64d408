// Password change in clear text (set 13) and from an RSA-encrypted text
// (set 90): the exchange through the host record with its waits answered at
// once, late and never; decryption with a key made at test time; and the key
// file's life in one process (KeyFile.*, run in a process of its own).

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>

#include "command_test.h"
#include "portable.h"
#include "rsa_keys.h"

namespace {

using test::Command;
using test::Lines;
namespace offset = test::host_offset;

test::RsaKey &key() {
    static test::RsaKey made;
    return made;
}

// The key file's relative path, with the platform's own separator.
const std::string kKeyFile = std::filesystem::path("etc/conf/direct_dev_privkey.pem").make_preferred().string();

void write_key_file(const std::string &text) {
    std::filesystem::create_directories("etc/conf");
    std::ofstream(kKeyFile, std::ios::trunc) << text;
}

class Password : public test::CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
        // A working directory of this process's own, holding the key file,
        // with an empty one below it.
        std::filesystem::create_directories(dir_ / "empty");
        std::filesystem::current_path(dir_);
        write_key_file(key().private_pem());
    }
    void TearDown() override {
        sdk_sim_set_event_hook(nullptr, nullptr);
        std::filesystem::current_path("/");
        std::filesystem::remove_all(dir_);
        CommandTest::TearDown();
    }
    std::atomic_ref<int32_t> word(size_t at) {
        return std::atomic_ref(*reinterpret_cast<int32_t *>(static_cast<char *>(host.data()) + at));
    }
    // The platform's side of the exchange, the verdict before the flag: with
    // the device's event during its call (poll 0), at poll `poll`, or never
    // (-1).
    void answer(int poll, int32_t verdict) {
        reply_ = [this, verdict] {
            word(offset::kPwdChangeResult).store(verdict);
            word(offset::kPwdChangeReplied).store(1);
        };
        on_poll = [this, poll](int32_t n) {
            if (n == 1)
                during_ = std::to_string(word(offset::kPwdChangePending)) + host.text(offset::kNewPassword);
            if (n == poll)
                reply_();
        };
        sdk_sim_set_event_hook(
            poll != 0 ? nullptr : +[](void *self, const sdk_sim_event *) { static_cast<Password *>(self)->reply_(); },
            this);
    }
    bool exchange_cleared() {
        const auto *pw = static_cast<const unsigned char *>(host.data()) + offset::kNewPassword;
        return word(offset::kPwdChangePending) == 0 && std::all_of(pw, pw + 60, [](unsigned char b) { return b == 0; });
    }
    std::string during_;

  private:
    std::function<void()> reply_;
    std::filesystem::path dir_ =
        std::filesystem::temp_directory_path() / ("zel-password-" + std::to_string(test::process_id()));
};

std::string set90(const std::string &encrypted) { return R"({"command":90,"newpass":")" + encrypted + R"("})"; }

TEST_F(Password, WaitsForThePlatformsVerdict) {
    const std::string set13 = R"({"command":13,"username":"operator","oldpass":"o","newpass":"n3w-Pa55"})";
    const std::string encrypted = set90(key().encrypt("n3w-Pa55"));
    const struct {
        const std::string &json;
        int32_t sdk_ret;  // with last error 119
        int poll, verdict;
        const char *reply;
        int32_t sleeps;
    } cases[] = {
        {set13, 0, 0, 1, R"({"ret":0})", 0},
        {set13, 0, 0, 0, R"({"ret":-1})", 0},
        {set13, 0, 7, 1, R"({"ret":0})", 7},
        {set13, 0, -1, 1, R"({"ret":-1})", 1000},
        {set13, -3, 2, 1, R"({"ret":0})", 2},
        {encrypted, 0, 0, 1, R"({"ret":0, "err_code":0})", 0},
        {encrypted, 0, 0, 0, R"({"ret":-1, "err_code":-2})", 0},
        {encrypted, 0, 3, 1, R"({"ret":0, "err_code":0})", 3},
        {encrypted, 0, -1, 1, R"({"ret":-1, "err_code":-2})", 500},
        {encrypted, -5, 2, 1, R"({"ret":0, "err_code":119})", 2},
        {encrypted, -5, -1, 1, R"({"ret":-1, "err_code":-2})", 500},
    };
    for (const auto &c : cases) {
        const std::string what = c.json.substr(0, 14) + " " + c.reply + " " + std::to_string(c.poll);
        sdk_sim_reset();
        sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
        if (c.sdk_ret != 0)
            sdk_sim_push_answer("NetClient_ModifyPwd", SDK_SIM_ANY, c.sdk_ret, 119, nullptr, 0);
        answer(c.poll, c.verdict);
        sleeps = 0;
        during_.clear();
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), std::string(c.reply).starts_with(R"({"ret":0)") ? 1 : 0) << what;
        EXPECT_EQ(cmd.reply(), c.reply) << what;
        EXPECT_EQ(sleeps, c.sleeps) << what;
        EXPECT_EQ(err, test::kSentinelErrno) << what;
        EXPECT_TRUE(exchange_cleared()) << what;
        EXPECT_EQ(during_, c.sleeps > 0 ? "1n3w-Pa55" : "") << what;
        sdk_sim_call call = only_call("NetClient_ModifyPwd");
        EXPECT_STREQ(call.text[0], c.json == set13 ? "operator" : "admin");
        EXPECT_STREQ(call.text[1], "n3w-Pa55");
        if (c.json == encrypted) {
            EXPECT_EQ(log.entries().back().level, 4);
            EXPECT_TRUE(log.messages().back().starts_with(
                "set_param_frame_decrypted_password ip:10.1.2.3 host_id:dev-0001 NetClient_ModifyPwd ret:"));
        }
    }
}

TEST_F(Password, RefusalsAnswerAndClearTheExchangeWithoutADeviceCall) {
    const std::string decrypt_failed =
        "set_param_frame_decrypted_password decrypt_dev_password failed, host_id:dev-0001, encrypted_pwd: ";
    const struct {
        std::string json;
        Lines messages;  // a line ending in "(" is a prefix
        const char *reply;
    } cases[] = {
        {R"({"command":13,"oldpass":"o","newpass":"n"})", {"username == NULL"}, R"({"ret":-1})"},
        {R"({"command":13,"username":"u","oldpass":null,"newpass":"n"})", {"oldpass == NULL"}, R"({"ret":-1})"},
        {R"({"command":90})", {"encrypted_pwd == NULL"}, R"({"ret":-1, "err_code":0})"},
        {R"({"command":90,"newpass":12})",
         {"rsa_base64_decrypt(12) failed", decrypt_failed + "12, new_pwd: "},
         R"({"ret":-1, "err_code":-1})"},
        {set90(key().encrypt(std::string(60, 'p'))),
         {"not enough space, len:60, size:60", decrypt_failed},
         R"({"ret":-1, "err_code":-1})"},
        {set90(key().encrypt(std::string(61, 'p'))),
         {"rsa_base64_decrypt(", decrypt_failed},
         R"({"ret":-1, "err_code":-1})"},
    };
    for (const auto &c : cases) {
        word(offset::kPwdChangePending).store(1);
        host.put_text(offset::kNewPassword, "left over");
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0) << c.json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(cmd.reply(), c.reply) << c.json;
        Lines messages = log.messages();
        ASSERT_EQ(messages.size(), c.messages.size()) << c.json;
        for (size_t i = 0; i < messages.size(); ++i)
            EXPECT_TRUE(messages[i].starts_with(c.messages[i])) << messages[i];
        EXPECT_TRUE(exchange_cleared()) << c.json;
    }
    EXPECT_TRUE(calls("NetClient_ModifyPwd").empty());
}

// The key file as one process sees it: a missing file is looked for again at
// every command; the first text read is kept for good, even when it is no
// key, so a later file takes effect only in a new process.
TEST_F(Password, KeyFileMissingIsRetriedAndTheFirstTextReadIsKept) {
    std::filesystem::current_path("empty");
    const std::string encrypted = key().encrypt("pw");
    const std::string refused = "set_param_frame_decrypted_password decrypt_dev_password failed, host_id:dev-0001, "
                                "encrypted_pwd: " +
                                encrypted + ", new_pwd: ";
    for (int attempt = 0; attempt < 2; ++attempt) {
        Command cmd(set90(encrypted));
        EXPECT_EQ(set(cmd), 0);
        EXPECT_EQ(cmd.reply(), R"({"ret":-1, "err_code":-1})");
        EXPECT_EQ(log.messages(),
                  (Lines{"fp == NULL, file: " + kKeyFile, "!load_private_key(" + kKeyFile + ")", refused}));
    }
    write_key_file("this is not a PEM key\n");
    Command garbage(set90(encrypted));
    EXPECT_EQ(set(garbage), 0);
    EXPECT_EQ(log.messages(), (Lines{"rsa_base64_decrypt(" + encrypted + ") failed", refused}));

    write_key_file(key().private_pem());
    Command still(set90(encrypted));
    EXPECT_EQ(set(still), 0);
    EXPECT_TRUE(calls("NetClient_ModifyPwd").empty());
}

}  // namespace

// The library keeps the first key text it reads for the life of the
// process, so the key file's own test (KeyFile) runs only when asked for by
// name, in a process of its own.
int main(int argc, char **argv) {
    ::testing::GTEST_FLAG(filter) = "-*KeyFile*";
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
