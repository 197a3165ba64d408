// Password change: the new password goes to the device with
// NetClient_ModifyPwd, which only starts the change; the platform reports the
// device's answer through the host record's exchange fields, which the
// handler polls.
#include <cstring>

#include "encrypt_decrypt/encrypt_decrypt.h"
#include "handler_support.h"
#include "host_view.h"
#include "password/password_handlers.h"

namespace zel {
namespace {

constexpr size_t kPasswordField = 60;
constexpr size_t kUsernameField = 120;

// The password-change exchange of one host record. The platform stores the
// device's verdict first and the replied flag last, so the verdict is read
// only after the flag was seen.
class PasswordExchange {
  public:
    explicit PasswordExchange(const HostView &host) : host_(host) {}

    void start(const char *new_password) {
        host_.store_flag(host_field::kPwdChangeReplied, 0);
        host_.store_flag(host_field::kPwdChangeResult, 0);
        host_.store_flag(host_field::kPwdChangePending, 1);
        char field[kPasswordField];
        copy_text(field, new_password);
        std::memcpy(host_.at(host_field::kNewPassword), field, kPasswordField);
        wipe_secret(field, sizeof field);
    }

    // Polls the replied flag up to `tries` times, sleeping `pause_ms`
    // between polls that find no answer.
    struct Outcome {
        bool answered = false;
        bool slept = false;
    };
    Outcome wait(int32_t tries, int32_t pause_ms) const {
        Outcome outcome;
        for (int32_t i = 0; i < tries; ++i) {
            if (host_.load_flag(host_field::kPwdChangeReplied) != 0) {
                outcome.answered = true;
                break;
            }
            os_sleep(pause_ms);
            outcome.slept = true;
        }
        return outcome;
    }

    bool accepted() const { return host_.load_flag(host_field::kPwdChangeResult) != 0; }

    // The clear password leaves the record with the command.
    void finish() const {
        std::memset(host_.at(host_field::kNewPassword), 0, kPasswordField);
        host_.store_flag(host_field::kPwdChangePending, 0);
    }

  private:
    HostView host_;
};

}  // namespace

int32_t modify_password(void *host, json_object *jso, char **out_buf) {
    if (!has_command(host, jso, {.host_code = CMD_ZEL_ENOHOST}))
        return 0;
    HostView view(host);
    PasswordExchange exchange(view);
    int32_t ret = -1;
    const char *username = json_object_get_field_string(jso, "username");
    const char *oldpass = json_object_get_field_string(jso, "oldpass");
    const char *newpass = json_object_get_field_string(jso, "newpass");
    if (username == nullptr) {
        ZFAIL(CMD_ZEL_EINVAL, "username == NULL");
    } else if (oldpass == nullptr) {
        ZFAIL(CMD_ZEL_EINVAL, "oldpass == NULL");
    } else if (newpass == nullptr) {
        ZFAIL(CMD_ZEL_EINVAL, "newpass == NULL");
    } else {
        exchange.start(newpass);
        int32_t sdk_ret = NetClient_ModifyPwd(view.loginfd(), username, newpass);
        if (sdk_ret != 0)
            ZLOG(kLogError, "NetClient_ModifyPwd failed, ret:%d", sdk_ret);
        ret = exchange.wait(1000, 50).answered && exchange.accepted() ? 0 : -1;
    }
    if (out_buf != nullptr)
        reply_ret(out_buf, ret);
    exchange.finish();
    return ret >= 0 ? 1 : 0;
}

int32_t set_param_frame_decrypted_password(void *host, json_object *jso, char **out_buf) {
    if (host == nullptr || jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "set_param_frame_decrypted_password host == NULL || jso == NULL");
    HostView view(host);
    PasswordExchange exchange(view);
    int32_t ret = -1;
    int32_t err_code = 0;
    char clear[kPasswordField] = {};
    const char *encrypted = json_object_get_field_string(jso, "newpass");
    if (encrypted == nullptr) {
        ZFAIL(CMD_ZEL_EINVAL, "encrypted_pwd == NULL");
    } else if (decrypt_dev_password(encrypted, clear, sizeof clear) == 0) {
        ZFAIL(CMD_ZEL_EINVAL,
              "set_param_frame_decrypted_password decrypt_dev_password failed, host_id:%s, encrypted_pwd: %s, "
              "new_pwd: %s",
              view.id(), encrypted, clear);
        err_code = -1;
    } else {
        exchange.start(clear);
        // The platform's text field may fill its width; the SDK gets a
        // terminated copy.
        char username[kUsernameField + 1] = {};
        std::memcpy(username, view.text(host_field::kUsername), kUsernameField);
        int32_t sdk_ret = NetClient_ModifyPwd(view.loginfd(), username, clear);
        if (sdk_ret != 0) {
            err_code = NetClient_GetLastError();
            ZLOG(kLogError, "NetClient_ModifyPwd failed, ret:%d err:%d", sdk_ret, err_code);
            ret = sdk_ret;
        }
        PasswordExchange::Outcome waited = exchange.wait(500, 10);
        if (waited.slept)
            ret = -1;
        if (waited.answered && exchange.accepted())
            ret = 0;
        else
            err_code = -2;
        ZLOG(kLogWarn, "set_param_frame_decrypted_password ip:%s host_id:%s NetClient_ModifyPwd ret:%d err_code:%d",
             view.ip(), view.id(), ret, err_code);
    }
    if (out_buf != nullptr)
        reply_ret_err_code(out_buf, ret, err_code);
    exchange.finish();
    wipe_secret(clear, sizeof clear);
    return ret >= 0 ? 1 : 0;
}

}  // namespace zel
