// Playing the platform for the password commands: the exchange fields of the
// host record, answered from the device's event (at once) or from a poll
// (late), and a working directory holding the private key file.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "command_test.h"

namespace password_test {

using test::Command;
using test::Lines;
namespace host_offset = test::host_offset;

// A fresh working directory while it lives; the key file goes to etc/conf
// below it.
class ScratchDirectory {
  public:
    ScratchDirectory() : previous_(std::filesystem::current_path()) {
        char pattern[] = "/tmp/zel-password-XXXXXX";
        dir_ = mkdtemp(pattern);
        std::filesystem::current_path(dir_);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    ScratchDirectory(const ScratchDirectory &) = delete;
    ScratchDirectory &operator=(const ScratchDirectory &) = delete;

  private:
    std::filesystem::path previous_, dir_;
};

inline void write_key_file(const std::string &text) {
    std::filesystem::create_directories("etc/conf");
    std::ofstream("etc/conf/direct_dev_privkey.pem", std::ios::trunc) << text;
}

class PasswordTest : public test::CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    }
    void TearDown() override {
        sdk_sim_set_event_hook(nullptr, nullptr);
        CommandTest::TearDown();
    }

    int32_t word(size_t offset) {
        return std::atomic_ref<int32_t>(*reinterpret_cast<int32_t *>(static_cast<char *>(host.data()) + offset)).load();
    }
    // The platform's side of the exchange: the verdict, then the flag.
    void answer(int32_t accepted) {
        host.put<int32_t>(host_offset::kPwdChangeResult, accepted);
        std::atomic_ref<int32_t>(
            *reinterpret_cast<int32_t *>(static_cast<char *>(host.data()) + host_offset::kPwdChangeReplied))
            .store(1);
    }
    // The verdict arrives with the device's event, while NetClient_ModifyPwd
    // runs: before the first poll.
    void answer_at_once(int32_t accepted = 1) {
        verdict_ = accepted;
        sdk_sim_set_event_hook(
            [](void *ctx, const sdk_sim_event *e) {
                auto *self = static_cast<PasswordTest *>(ctx);
                if (e->type == SDK_SIM_EVENT_PASSWORD_CHANGE)
                    self->answer(self->verdict_);
            },
            this);
    }
    void answer_at_poll(int32_t poll, int32_t accepted) {
        on_poll = [this, poll, accepted](int32_t n) {
            if (n == poll)
                answer(accepted);
        };
    }
    // What a command leaves behind: no change pending, no password.
    bool exchange_cleared() {
        const auto *field = static_cast<const unsigned char *>(host.data()) + host_offset::kNewPassword;
        return word(host_offset::kPwdChangePending) == 0 &&
               std::all_of(field, field + 60, [](unsigned char b) { return b == 0; });
    }

  private:
    int32_t verdict_ = 1;
};

}  // namespace password_test
