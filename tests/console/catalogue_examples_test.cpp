// Every example document of the command catalogue is accepted by its
// handler on the simulated recorder: no member is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "command_catalog.h"
#include "device_sdk_sim.h"
#include "os_support_control.h"
#include "platform_fixture.h"
#include "portable.h"

namespace {

using test::Command;

struct Example {
    bool set;
    const zel::CommandInfo *info;
};

std::vector<Example> examples() {
    std::vector<Example> all;
    for (const zel::CommandInfo &c : zel::kSetCommands)
        if (*c.example != '\0')
            all.push_back({true, &c});
    for (const zel::CommandInfo &c : zel::kGetCommands)
        if (*c.example != '\0')
            all.push_back({false, &c});
    return all;
}

class CatalogueExamples : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::current_path(CONSOLE_DIRECTORY);
        test::init_library_once();
        sdk_sim_reset();
        os_support_set_sleep_hook([](void *, int32_t) {}, nullptr);
    }
    void TearDown() override { os_support_set_sleep_hook(nullptr, nullptr); }
};

TEST_F(CatalogueExamples, NoExampleIsRefusedForItsMembers) {
    for (const Example &e : examples()) {
        sdk_sim_reset();
        test::Host host(1, "SIM-NVR-0001", 16, "192.0.2.10");
        sdk_sim_add_device(1, 16, SDK_SIM_RECORDER);
        test::LogCapture log;
        Command cmd(e.info->example);
        cmd.opit.filename = const_cast<char *>("snap.jpg");
        errno = test::kSentinelErrno;
        (e.set ? cmd_common_set_config : cmd_common_get_config)(host.data(), &cmd.opit, sizeof cmd.opit);
        int err = errno;
        std::string lines;
        for (const std::string &l : log.lines())
            lines += "\n  " + l;
        EXPECT_NE(err, CMD_ZEL_EINVAL) << (e.set ? "set " : "get ") << e.info->number << lines;
    }
}

}  // namespace
