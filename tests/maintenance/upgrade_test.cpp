// Firmware upgrades on simulated devices that the tests step by hand: the
// progress answers, the final state answered once, reports that arrive
// early, devices upgrading side by side, and what is refused.

#include <cerrno>
#include <fstream>
#include <thread>

#include "command_test.h"
#include "device_sdk_maintenance.h"
#include "portable.h"

namespace {

using test::Command;
using test::Lines;

class UpgradeTest : public test::CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        sdk_sim_set_upgrade_pace(0);
    }

    // Each test has logins of its own: the library's upgrade table outlives a test.
    void use(int32_t loginfd) {
        sdk_sim_add_device(loginfd, 4, SDK_SIM_CAMERA);
        host.put<int32_t>(test::host_offset::kLoginfd, loginfd);
    }
    int32_t start(int32_t loginfd, const std::string &file = image()) {
        host.put<int32_t>(test::host_offset::kLoginfd, loginfd);
        std::string escaped;  // Windows paths have backslashes
        for (char c : file)
            escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        Command cmd(R"({"command":29,"upgrade_type":2,"filename":")" + escaped + "\"}");
        return set(cmd);
    }
    // Get 22's reply on `loginfd`, "" when it failed.
    std::string progress(int32_t loginfd) {
        host.put<int32_t>(test::host_offset::kLoginfd, loginfd);
        Command cmd(R"({"command":22})");
        int32_t result = get(cmd);
        EXPECT_EQ(result, cmd.reply().empty() ? 0 : 1);
        return cmd.reply();
    }
    static std::string image() {
        static const std::string path = [] {
            std::string p = ::testing::TempDir() + "firmware-" + std::to_string(test::process_id()) + ".img";
            std::ofstream(p) << "image";
            return p;
        }();
        return path;
    }
};

TEST_F(UpgradeTest, ProgressFollowsTheDeviceAndTheFinalStateIsAnsweredOnce) {
    use(11);
    EXPECT_EQ(start(11), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    sdk_sim_call call = only_call("NetClient_Upgrade_V4");
    EXPECT_EQ(call.args[0], 2);
    EXPECT_EQ(call.text[0], image());
    EXPECT_EQ(progress(11), R"({ "ret": 1, "pos": 0 })");
    sdk_sim_advance_upgrade(11, 40);
    EXPECT_EQ(progress(11), R"({ "ret": 1, "pos": 40 })");
    sdk_sim_advance_upgrade(11, 60);
    EXPECT_EQ(progress(11), R"({ "ret": 0, "pos": 100 })");
    EXPECT_EQ(progress(11), "");
    EXPECT_EQ(log.messages(), Lines{});
    EXPECT_EQ(err, test::kSentinelErrno);

    // Upgraded again after its final report, this time failing part way.
    EXPECT_EQ(start(11), 1);
    sdk_sim_fail_upgrade(11, 30, UPGRADE_STATE_FAILED);
    EXPECT_EQ(sdk_sim_advance_upgrade(11, 50), 30);
    EXPECT_TRUE(log.contains("upgrade complete loginfd:11, state:-1"));
    EXPECT_EQ(progress(11), R"({ "ret": -1, "pos": 100 })");
    EXPECT_EQ(progress(11), "");
}

TEST_F(UpgradeTest, AReportBeforeTheEntryIsDroppedAndTheEntryStaysStarted) {
    use(12);
    sdk_sim_fail_upgrade(12, 0, UPGRADE_STATE_FAILED);
    EXPECT_EQ(start(12), 1);
    EXPECT_EQ(log.messages(),
              (Lines{"upgrade complete loginfd:12, state:-1", "node == NULL no find upgrade task loginfd:12"}));
    EXPECT_EQ(progress(12), R"({ "ret": 1, "pos": 0 })");
    // An in-progress report keeps the entry asking the device.
    EXPECT_EQ(start(12), 1);
    sdk_sim_fail_upgrade(12, 10, UPGRADE_STATE_IN_PROGRESS);
    sdk_sim_advance_upgrade(12, 20);
    EXPECT_EQ(progress(12), R"({ "ret": 1, "pos": 10 })");
    EXPECT_EQ(start(12), 1);
    sdk_sim_advance_upgrade(12, 100);
    // A start before the final state was answered keeps that state.
    EXPECT_EQ(start(12), 1);
    EXPECT_EQ(progress(12), R"({ "ret": 0, "pos": 100 })");
    EXPECT_EQ(progress(12), "");
}

TEST_F(UpgradeTest, TwoDevicesUpgradeSideBySideAndABusyOneRefusesAnother) {
    use(13);
    use(14);
    EXPECT_EQ(start(13), 1);
    EXPECT_EQ(start(14), 1);
    EXPECT_EQ(start(13), 0);
    EXPECT_EQ(log.messages(), Lines{"NetClient_Upgrade_V4  failed host_id:dev-0001, err:16"});
    sdk_sim_advance_upgrade(13, 70);
    sdk_sim_advance_upgrade(14, 20);
    EXPECT_EQ(progress(13), R"({ "ret": 1, "pos": 70 })");
    EXPECT_EQ(progress(14), R"({ "ret": 1, "pos": 20 })");
    sdk_sim_fail_upgrade(14, 50, -7);
    sdk_sim_advance_upgrade(14, 50);
    sdk_sim_advance_upgrade(13, 30);
    EXPECT_EQ(progress(14), R"({ "ret": -7, "pos": 100 })");
    EXPECT_EQ(progress(13), R"({ "ret": 0, "pos": 100 })");
    EXPECT_EQ(progress(13) + progress(14), "");
}

TEST_F(UpgradeTest, ProgressQueriesRaceTheDeviceThread) {
    use(15);
    ASSERT_EQ(start(15), 1);
    std::thread device([] {
        for (int i = 0; i < 100; ++i)
            sdk_sim_advance_upgrade(15, 1);
    });
    int32_t last = 0;
    std::string reply;
    for (int i = 0; i < 1000000 && (reply = progress(15)).find(R"("ret": 1,)") != std::string::npos; ++i) {
        int32_t pos = std::stoi(reply.substr(reply.find("pos") + 6));
        EXPECT_GE(pos, last);
        last = pos;
    }
    device.join();
    EXPECT_EQ(reply, R"({ "ret": 0, "pos": 100 })");
    EXPECT_EQ(progress(15), "");
}

TEST_F(UpgradeTest, RefusalsLeaveNoEntryBehind) {
    use(16);
    // The device reports what the system said when it opened the image:
    // Windows refuses a directory and an overlong name with other codes.
#ifdef _WIN32
    const std::string directory = std::to_string(EACCES), too_long = std::to_string(ENOENT);
#else
    const std::string directory = std::to_string(EISDIR), too_long = std::to_string(ENAMETOOLONG);
#endif
    const std::pair<std::string, std::string> cases[] = {
        {R"({"command":29,"filename":"a.img"})", "upgrade_type < 0"},
        {R"({"command":29,"upgrade_type":"1","filename":"a.img"})", "upgrade_type < 0"},
        {R"({"command":29,"upgrade_type":0,"filename":null})", "file_name == NULL"},
        {R"({"command":29,"upgrade_type":0,"filename":"/nonexistent/a.img"})",
         "NetClient_Upgrade_V4  failed host_id:dev-0001, err:2"},
        {R"({"command":29,"upgrade_type":0,"filename":"/"})",
         "NetClient_Upgrade_V4  failed host_id:dev-0001, err:" + directory},
        {R"({"command":29,"upgrade_type":0,"filename":")" + std::string(5000, 'a') + "\"}",
         "NetClient_Upgrade_V4  failed host_id:dev-0001, err:" + too_long},
    };
    for (const auto &[json, message] : cases) {
        Command cmd(json);
        EXPECT_EQ(set(cmd), 0) << json;
        EXPECT_EQ(err, message.starts_with("Net") ? test::kSentinelErrno : CMD_ZEL_EINVAL) << json;
        EXPECT_EQ(log.messages(), Lines{message});
        EXPECT_EQ(progress(16), "");
    }
    EXPECT_EQ(calls("NetClient_Upgrade_V4").size(), 3u);

    // A negative percentage fails the query; the upgrade goes on.
    EXPECT_EQ(start(16), 1);
    sdk_sim_push_answer("NetClient_GetUpgradePercent", SDK_SIM_ANY, -3, 0, nullptr, 0);
    EXPECT_EQ(progress(16), "");
    EXPECT_EQ(log.messages(), Lines{"pos [-3]< 0 "});
    EXPECT_EQ(progress(16), R"({ "ret": 1, "pos": 0 })");
}

}  // namespace
