// Password change in clear text (set 13) and from an RSA-encrypted text
// (set 90): the exchange with the platform through the host record, its
// waits answered at once, late and never, and the decryption with a key
// made for this test.
#include "password_fixture.h"
#include "rsa_keys.h"

namespace {

using namespace password_test;
using test::RsaKey;

RsaKey &key() {
    static RsaKey k;
    return k;
}

// Every test runs in a directory holding the key, as the platform does.
class KeyDirectory : public ::testing::Environment {
    void SetUp() override {
        dir_ = std::make_unique<ScratchDirectory>();
        write_key_file(key().private_pem());
    }
    void TearDown() override { dir_.reset(); }
    std::unique_ptr<ScratchDirectory> dir_;
};
const auto *const kKeyDirectory = ::testing::AddGlobalTestEnvironment(new KeyDirectory);

using ClearTextChange = PasswordTest;
using EncryptedChange = PasswordTest;

std::string set90(const std::string &encrypted) { return R"({"command":90,"newpass":")" + encrypted + R"("})"; }

const char kSet13[] = R"({"command":13,"username":"operator","oldpass":"old","newpass":"n3w-Pa55"})";

TEST_F(ClearTextChange, SendsThePasswordAndWaitsForTheDevicesVerdict) {
    const struct {
        const char *what;
        int poll;  // 0: at once (during the device call), -1: never
        int32_t accepted;
        const char *reply;
        int32_t sleeps;
    } cases[] = {
        {"accepted at once", 0, 1, R"({"ret":0})", 0},
        {"refused at once", 0, 0, R"({"ret":-1})", 0},
        {"accepted late", 7, 1, R"({"ret":0})", 7},
        {"never answered", -1, 1, R"({"ret":-1})", 1000},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
        sleeps = 0;
        on_poll = nullptr;
        sdk_sim_set_event_hook(nullptr, nullptr);
        if (c.poll == 0)
            answer_at_once(c.accepted);
        else if (c.poll > 0)
            answer_at_poll(c.poll, c.accepted);
        std::string during;
        auto answer_poll = on_poll;
        on_poll = [&](int32_t n) {
            if (n == 1)
                during =
                    std::to_string(word(host_offset::kPwdChangePending)) + " " + host.text(host_offset::kNewPassword);
            if (answer_poll)
                answer_poll(n);
        };

        Command cmd(kSet13);
        EXPECT_EQ(set(cmd), std::string(c.reply) == R"({"ret":0})" ? 1 : 0) << c.what;
        EXPECT_EQ(cmd.reply(), c.reply) << c.what;
        EXPECT_EQ(sleeps, c.sleeps) << c.what;
        EXPECT_EQ(err, test::kSentinelErrno) << c.what;
        EXPECT_TRUE(exchange_cleared()) << c.what;
        if (c.sleeps > 0) {
            EXPECT_EQ(during, "1 n3w-Pa55") << c.what;
        }
        sdk_sim_call call = only_call("NetClient_ModifyPwd");
        EXPECT_EQ(call.loginfd, 7);
        EXPECT_STREQ(call.text[0], "operator");
        EXPECT_STREQ(call.text[1], "n3w-Pa55");
    }
}

TEST_F(ClearTextChange, AFailedDeviceCallStillWaits) {
    sdk_sim_push_answer("NetClient_ModifyPwd", SDK_SIM_ANY, -3, 0x51, nullptr, 0);
    answer_at_poll(2, 1);
    Command cmd(kSet13);
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({"ret":0})");
    EXPECT_EQ(log.messages(), Lines{"NetClient_ModifyPwd failed, ret:-3"});
}

TEST_F(ClearTextChange, RefusedMembersAnswerMinusOneAndClearTheExchange) {
    const std::pair<std::string, std::string> cases[] = {
        {R"({"command":13,"oldpass":"o","newpass":"n"})", "username == NULL"},
        {R"({"command":13,"username":"u","newpass":"n"})", "oldpass == NULL"},
        {R"({"command":13,"username":"u","oldpass":null,"newpass":"n"})", "oldpass == NULL"},
        {R"({"command":13,"username":"u","oldpass":"o"})", "newpass == NULL"},
    };
    for (const auto &[json, message] : cases) {
        host.put<int32_t>(host_offset::kPwdChangePending, 1);
        host.put_text(host_offset::kNewPassword, "left over");
        Command cmd(json);
        EXPECT_EQ(set(cmd), 0) << json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(cmd.reply(), R"({"ret":-1})");
        EXPECT_EQ(log.messages(), Lines{message});
        EXPECT_TRUE(exchange_cleared()) << json;
    }
    EXPECT_TRUE(calls("NetClient_ModifyPwd").empty());

    // A member of another type is its JSON text, a password like any other.
    answer_at_once();
    Command numeric(R"({"command":13,"username":"u","oldpass":1,"newpass":12345})");
    EXPECT_EQ(set(numeric), 1);
    EXPECT_STREQ(only_call("NetClient_ModifyPwd").text[1], "12345");
}

TEST_F(EncryptedChange, DecryptsWithTheKeyFileAndChangesThePassword) {
    answer_at_once();
    Command cmd(set90(key().encrypt("n3w-Pa55")));
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({"ret":0, "err_code":0})");
    EXPECT_EQ(err, test::kSentinelErrno);
    sdk_sim_call call = only_call("NetClient_ModifyPwd");
    EXPECT_STREQ(call.text[0], "admin");
    EXPECT_STREQ(call.text[1], "n3w-Pa55");
    EXPECT_TRUE(exchange_cleared());
    ASSERT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.entries()[0].level, 4);
    EXPECT_EQ(log.entries()[0].message,
              "set_param_frame_decrypted_password ip:10.1.2.3 host_id:dev-0001 NetClient_ModifyPwd ret:0 err_code:0");
}

TEST_F(EncryptedChange, WaitOutcomesSetRetAndErrCode) {
    const struct {
        const char *what;
        int32_t sdk_ret;
        int poll;  // 0: at once, -1: never
        int32_t accepted;
        const char *reply;
        int32_t sleeps;
    } cases[] = {
        {"accepted late", 0, 3, 1, R"({"ret":0, "err_code":0})", 3},
        {"refused at once", 0, 0, 0, R"({"ret":-1, "err_code":-2})", 0},
        {"never answered", 0, -1, 1, R"({"ret":-1, "err_code":-2})", 500},
        {"call failed, never answered", -5, -1, 1, R"({"ret":-1, "err_code":-2})", 500},
        {"call failed, confirmed late", -5, 2, 1, R"({"ret":0, "err_code":119})", 2},
    };
    const std::string encrypted = key().encrypt("n3w-Pa55");
    for (const auto &c : cases) {
        sdk_sim_reset();
        sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
        sdk_sim_set_event_hook(nullptr, nullptr);
        on_poll = nullptr;
        sleeps = 0;
        if (c.sdk_ret != 0)
            sdk_sim_push_answer("NetClient_ModifyPwd", SDK_SIM_ANY, c.sdk_ret, 119, nullptr, 0);
        if (c.poll == 0)
            answer_at_once(c.accepted);
        else if (c.poll > 0)
            answer_at_poll(c.poll, c.accepted);
        Command cmd(set90(encrypted));
        set(cmd);
        EXPECT_EQ(cmd.reply(), c.reply) << c.what;
        EXPECT_EQ(sleeps, c.sleeps) << c.what;
        EXPECT_TRUE(exchange_cleared()) << c.what;
    }
}

TEST_F(EncryptedChange, TextsThatDoNotDecryptAreRefusedBeforeTheDevice) {
    RsaKey other;
    const std::string good = key().encrypt("pw");
    const struct {
        std::string newpass;  // empty: member absent
        std::string reason;   // the decryption's own line; empty: none
        const char *reply;
    } cases[] = {
        {"", "", R"({"ret":-1, "err_code":0})"},
        {"@@not-base64@@", "rsa_base64_decrypt(@@not-base64@@) failed", R"({"ret":-1, "err_code":-1})"},
        {other.encrypt("pw"), "rsa_base64_decrypt(", R"({"ret":-1, "err_code":-1})"},
        {key().encrypt(std::string(60, 'p')), "not enough space, len:60, size:60", R"({"ret":-1, "err_code":-1})"},
        {key().encrypt(std::string(61, 'p')), "rsa_base64_decrypt(", R"({"ret":-1, "err_code":-1})"},
    };
    for (const auto &c : cases) {
        Command cmd(c.newpass.empty() ? std::string(R"({"command":90})") : set90(c.newpass));
        EXPECT_EQ(set(cmd), 0);
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(cmd.reply(), c.reply) << c.newpass;
        Lines messages = log.messages();
        if (c.newpass.empty()) {
            EXPECT_EQ(messages, Lines{"encrypted_pwd == NULL"});
            continue;
        }
        ASSERT_EQ(messages.size(), 2u) << c.newpass;
        EXPECT_EQ(messages[0].rfind(c.reason, 0), 0u) << messages[0];
        EXPECT_EQ(messages[1], "set_param_frame_decrypted_password decrypt_dev_password failed, host_id:dev-0001, "
                               "encrypted_pwd: " +
                                   c.newpass + ", new_pwd: ");
    }
    EXPECT_TRUE(calls("NetClient_ModifyPwd").empty());
    EXPECT_TRUE(exchange_cleared());

    // A member of another type is its JSON text, which is no ciphertext.
    Command numeric(R"({"command":90,"newpass":12})");
    EXPECT_EQ(set(numeric), 0);
    EXPECT_EQ(numeric.reply(), R"({"ret":-1, "err_code":-1})");
}

}  // namespace
