#include "device_sdk.h"
#include "device_sdk_sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

class DeviceSdk : public ::testing::Test {
  protected:
    void SetUp() override { sdk_sim_reset(); }
};

sdk_sim_call logged(int32_t index) {
    sdk_sim_call c{};
    EXPECT_EQ(sdk_sim_get_call(index, &c), 1) << "no call " << index;
    return c;
}

sdk_sim_call last_call() { return logged(sdk_sim_call_count() - 1); }

std::vector<uint8_t> logged_in(const sdk_sim_call &c) {
    return c.in == nullptr ? std::vector<uint8_t>{} : std::vector<uint8_t>(c.in, c.in + c.in_len);
}

template <typename T> void put(std::vector<uint8_t> &record, size_t offset, T value) {
    std::memcpy(record.data() + offset, &value, sizeof value);
}

/* Each request function is wired to its own name, sub-command and channel. */
TEST_F(DeviceSdk, EveryRequestFunctionIsAnsweredAndLogged) {
    constexpr int32_t L = 7, C = 11, H = 3, ANY = SDK_SIM_ANY;
    uint8_t buf[64] = {};
    int32_t i1 = 0, i2 = 0;
    std::vector<uint8_t> req(48), rep(32);
    put<int32_t>(req, 0, C); /* request type */
    struct Row {
        const char *name;
        int32_t cmd, ch;
        std::function<int32_t()> call;
    } rows[] = {
        {"NetClient_GetDevConfig", C, H, [&] { return NetClient_GetDevConfig(L, C, H, buf, 64, &i1); }},
        {"NetClient_SetDevConfig", C, H, [&] { return NetClient_SetDevConfig(L, C, H, buf, 64); }},
        {"NetClient_GetDevConfig_V5", C, ANY, [&] { return NetClient_GetDevConfig_V5(L, C, nullptr, 0, buf, 64); }},
        {"NetClient_CmdConfig", C, H, [&] { return NetClient_CmdConfig(L, C, H, buf, 8, buf, 8); }},
        {"NetClient_GetCommonEnable", C, H, [&] { return NetClient_GetCommonEnable(L, C, H, &i1); }},
        {"NetClient_SetCommonEnable", C, H, [&] { return NetClient_SetCommonEnable(L, C, H, 1); }},
        {"NetClient_VCAGetConfig", C, H, [&] { return NetClient_VCAGetConfig(L, C, H, buf, 64); }},
        {"NetClient_VCASetConfig", C, H, [&] { return NetClient_VCASetConfig(L, C, H, buf, 64); }},
        {"NetClient_FaceConfig", C, H, [&] { return NetClient_FaceConfig(L, C, H, buf, 8, buf, 8); }},
        {"NetClient_GetChannelNum", ANY, ANY, [&] { return NetClient_GetChannelNum(L, &i1); }},
        {"NetClient_Query_V5", C, H, [&] { return NetClient_Query_V5(L, C, H, buf, 8, buf, 8); }},
        {"NetClient_GetAlarmConfig", C, H, [&] { return NetClient_GetAlarmConfig(L, H, 1, C, buf); }},
        {"NetClient_SetAlarmConfig", C, H, [&] { return NetClient_SetAlarmConfig(L, H, 1, C, buf); }},
        {"NetClient_SendCommand", C, H, [&] { return NetClient_SendCommand(L, C, H, nullptr, 0); }},
        {"NetClient_RecvCommand", C, H, [&] { return NetClient_RecvCommand(L, C, H, buf, 16); }},
        {"NetClient_GetDomePTZ", ANY, H, [&] { return NetClient_GetDomePTZ(L, H, buf, 28); }},
        {"NetClient_SetDomePTZ", ANY, H, [&] { return NetClient_SetDomePTZ(L, H, buf, 28); }},
        {"NetClient_DeviceCtrlEx", C, H, [&] { return NetClient_DeviceCtrlEx(L, H, C, 5, 5, 0); }},
        {"NetClient_SetDiskGroup", ANY, ANY, [&] { return NetClient_SetDiskGroup(L, nullptr, 0); }},
        {"NetClient_GetDiskGroup", ANY, ANY, [&] { return NetClient_GetDiskGroup(L, nullptr, 0); }},
        {"NetClient_SetDiskQuota", ANY, H, [&] { return NetClient_SetDiskQuota(L, H, buf, 12); }},
        {"NetClient_GetDiskQuotaState", C, H, [&] { return NetClient_GetDiskQuotaState(L, H, C, buf, 12); }},
        {"NetClient_NetFileSetChannelParam", ANY, H, [&] { return NetClient_NetFileSetChannelParam(L, H, 0, buf); }},
        {"NetClient_NetFileGetChannelParam", ANY, H, [&] { return NetClient_NetFileGetChannelParam(L, H, 0, buf); }},
        {"NetClient_NetFileGetSchedule", ANY, H, [&] { return NetClient_NetFileGetSchedule(L, H, 0, buf, 20); }},
        {"NetClient_NetFileLockFile", ANY, ANY, [&] { return NetClient_NetFileLockFile(L, "f", 1); }},
        {"NetClient_SetCDBurnConfig", C, H, [&] { return NetClient_SetCDBurnConfig(L, H, C, buf, 4); }},
        {"NetClient_GetCDBurnConfig", C, H, [&] { return NetClient_GetCDBurnConfig(L, H, C, buf, 64); }},
        {"NetClient_SetDevDiskConfig", C, H, [&] { return NetClient_SetDevDiskConfig(L, C, H, buf, 12); }},
        {"NetClient_DiskSetUsage", ANY, ANY, [&] { return NetClient_DiskSetUsage(L, 1, 2); }},
        {"NetClient_GetSysInfo", ANY, ANY, [&] { return NetClient_GetSysInfo(L); }},
        {"NetClient_SetHDTimeRangeParam", ANY, H, [&] { return NetClient_SetHDTimeRangeParam(L, H, 2, buf, 64); }},
        {"NetClient_SetFrameRate", ANY, H, [&] { return NetClient_SetFrameRate(L, H, 25, 0); }},
        {"NetClient_GetFrameRate", ANY, H, [&] { return NetClient_GetFrameRate(L, H, &i1, 0); }},
        {"NetClient_GetVideoSize", ANY, H, [&] { return NetClient_GetVideoSize(L, H, &i1, &i2, 0); }},
        {"NetClient_SetVideoSize", ANY, H, [&] { return NetClient_SetVideoSize(L, H, 5, 0); }},
        {"NetClient_GetVideoSizeEx", ANY, H, [&] { return NetClient_GetVideoSizeEx(L, H, &i1, 0); }},
        {"NetClient_SetMaxKByteRate", ANY, H, [&] { return NetClient_SetMaxKByteRate(L, H, 512, 0); }},
        {"NetClient_GetMaxKByteRate", ANY, H, [&] { return NetClient_GetMaxKByteRate(L, H, &i1, 0); }},
        {"NetClient_GetVideoSzList", ANY, H, [&] { return NetClient_GetVideoSzList(L, H, 0, nullptr, &i1); }},
        {"NetClient_SetVideoCombine", ANY, ANY, [&] { return NetClient_SetVideoCombine(L, buf, 64); }},
        {"NetClient_GetDigitalChannelConfig", C, H,
         [&] { return NetClient_GetDigitalChannelConfig(L, H, C, buf, 64); }},
        {"NetClient_SetDigitalChannelConfig", C, H,
         [&] { return NetClient_SetDigitalChannelConfig(L, H, C, buf, 64); }},
        {"NetClient_GetFTPUploadConfig", C, ANY, [&] { return NetClient_GetFTPUploadConfig(L, C, buf, 24); }},
        {"NetClient_SetFTPUploadConfig", C, ANY, [&] { return NetClient_SetFTPUploadConfig(L, C, buf, 24); }},
        {"NetClient_GetDzTransparentPara", ANY, ANY, [&] { return NetClient_GetDzTransparentPara(L, buf, 64, 1, 1); }},
        {"NetClient_SetDzTransparentPara", ANY, ANY, [&] { return NetClient_SetDzTransparentPara(L, buf, 64, 1, 1); }},
        {"NetClient_GetProductTypeEx", ANY, ANY, [&] { return NetClient_GetProductTypeEx(L, &i1); }},
        {"NetClient_GetServerVersion_V1", ANY, ANY, [&] { return NetClient_GetServerVersion_V1(L, buf, 64); }},
        {"NetClient_Upgrade_V4", ANY, ANY, [&] { return NetClient_Upgrade_V4(L, "fw.bin", 0, nullptr); }},
        {"NetClient_GetUpgradePercent", ANY, ANY, [&] { return NetClient_GetUpgradePercent(L); }},
        {"NetClient_ModifyPwd", ANY, ANY, [&] { return NetClient_ModifyPwd(L, "admin", "pw"); }},
        {"NetClient_HttpXmlConfig", C, ANY, [&] { return NetClient_HttpXmlConfig(L, req.data(), 48, rep.data(), 32); }},
        {"NetClient_XmlGetDevConfig", C, ANY, [&] { return NetClient_XmlGetDevConfig(L, C, nullptr, 0, buf, 20); }},
        {"NetClient_XmlSetDevConfig", C, ANY, [&] { return NetClient_XmlSetDevConfig(L, C, buf, 16, buf, 32); }},
    };
    ASSERT_EQ(std::size(rows), 55u); /* every function but NetClient_GetLastError */
    int32_t result = 100;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(sdk_sim_set_answer(row.name, ANY, result, 0, nullptr, 0), 0);
        int32_t before = sdk_sim_call_count();
        EXPECT_EQ(row.call(), result);
        ASSERT_EQ(sdk_sim_call_count(), before + 1);
        sdk_sim_call c = last_call();
        EXPECT_STREQ(c.function, row.name);
        EXPECT_EQ(c.loginfd, L);
        EXPECT_EQ(c.cmd, row.cmd);
        EXPECT_EQ(c.ch, row.ch);
        ++result;
    }
}

TEST_F(DeviceSdk, AnswersAreChosenQueuedBeforeStandingAndSubCommandBeforeAny) {
    const char *fn = "NetClient_SetDevConfig";
    sdk_sim_push_answer(fn, 5, 1, 0, nullptr, 0);
    sdk_sim_push_answer(fn, 5, 2, 0, nullptr, 0);
    sdk_sim_push_answer(fn, SDK_SIM_ANY, 3, 0, nullptr, 0);
    sdk_sim_set_answer(fn, 5, 4, 0, nullptr, 0);
    sdk_sim_set_answer(fn, SDK_SIM_ANY, 5, 0, nullptr, 0);
    const int32_t cmds[] = {6, 5, 5, 5, 5, 6};
    const int32_t expected[] = {3, 1, 2, 4, 4, 5};
    for (size_t i = 0; i < std::size(cmds); ++i)
        EXPECT_EQ(NetClient_SetDevConfig(1, cmds[i], 0, nullptr, 0), expected[i]) << "call " << i;
    EXPECT_EQ(NetClient_VCASetConfig(1, 5, 0, nullptr, 0), 0); /* nothing programmed */
    sdk_sim_reset();
    EXPECT_EQ(NetClient_SetDevConfig(1, 5, 0, nullptr, 0), 0);
    EXPECT_EQ(sdk_sim_call_count(), 1);
}

TEST_F(DeviceSdk, ProgrammingMistakesAreRefused) {
    EXPECT_EQ(sdk_sim_push_answer("NetClient_GetDevConfg", 1, 0, 0, nullptr, 0), -1);
    EXPECT_EQ(sdk_sim_push_answer("NetClient_GetLastError", SDK_SIM_ANY, 0, 0, nullptr, 0), -1);
    EXPECT_EQ(sdk_sim_set_answer("NetClient_GetDevConfig", 1, 0, 0, nullptr, 4), -1);
    sdk_sim_call c{};
    EXPECT_EQ(sdk_sim_get_call(0, &c), 0);
}

TEST_F(DeviceSdk, CallLogCanBeSwitchedOffWithoutChangingAnswers) {
    const int32_t seven = 7;
    sdk_sim_set_answer("NetClient_GetChannelNum", SDK_SIM_ANY, 0, 0, &seven, sizeof seven);
    sdk_sim_set_call_log(0);
    int32_t count = 0;
    EXPECT_EQ(NetClient_GetChannelNum(1, &count), 0);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(sdk_sim_call_count(), 0);
    sdk_sim_set_call_log(1);
    EXPECT_EQ(NetClient_GetChannelNum(1, &count), 0);
    EXPECT_EQ(sdk_sim_call_count(), 1);
}

TEST_F(DeviceSdk, OutputBytesAreCutToTheBufferAndPresetBytesBeyondAreKept) {
    const std::vector<uint8_t> answer(200, 0x55);
    sdk_sim_push_answer("NetClient_GetDevConfig", 9, 0, 0, answer.data(), 4);
    sdk_sim_push_answer("NetClient_GetDevConfig", 9, 0, 0, answer.data(), 12);
    std::vector<uint8_t> buf(16, 0xAA);
    int32_t returned = -1;
    NetClient_GetDevConfig(1, 9, 0, buf.data(), 8, &returned);
    EXPECT_EQ(returned, 4);
    EXPECT_EQ(std::count(buf.begin(), buf.end(), 0x55), 4);
    NetClient_GetDevConfig(1, 9, 0, buf.data(), 8, &returned);
    EXPECT_EQ(returned, 8);
    EXPECT_EQ(std::count(buf.begin(), buf.end(), 0x55), 8);
    EXPECT_EQ(buf[8], 0xAA);

    /* Lengths that are not arguments: from the sub-command, or records per answer area. */
    sdk_sim_set_answer("NetClient_GetAlarmConfig", SDK_SIM_ANY, 0, 0, answer.data(), 200);
    sdk_sim_set_answer("NetClient_FaceConfig", SDK_SIM_ANY, 0, 0, answer.data(), 200);
    auto written = [](const std::vector<uint8_t> &v) { return std::count(v.begin(), v.end(), 0x55); };
    std::vector<uint8_t> out(200, 0);
    NetClient_GetAlarmConfig(1, 0, 1, 113, out.data());
    EXPECT_EQ(written(out), 24);
    std::fill(out.begin(), out.end(), 0);
    NetClient_GetAlarmConfig(1, 0, 1, 999, out.data()); /* unknown sub-command */
    EXPECT_EQ(written(out), 0);
    NetClient_FaceConfig(1, 14, 0, nullptr, 0, out.data(), 4); /* page of 20 records */
    EXPECT_EQ(written(out), 80);
    std::fill(out.begin(), out.end(), 0);
    NetClient_FaceConfig(1, 0, 0, nullptr, 0, out.data(), 4); /* one reply record */
    EXPECT_EQ(written(out), 4);
    EXPECT_EQ(NetClient_FaceConfig(1, 18, 0, nullptr, 0, nullptr, 0), 0);
}

TEST_F(DeviceSdk, IntOutputsTakeConsecutiveValues) {
    const int32_t size[2] = {640, 480};
    sdk_sim_push_answer("NetClient_GetVideoSize", SDK_SIM_ANY, 0, 0, size, 8);
    sdk_sim_push_answer("NetClient_GetVideoSize", SDK_SIM_ANY, 0, 0, size, 4);
    int32_t w = -1, h = -1;
    NetClient_GetVideoSize(1, 0, nullptr, &h, 0); /* a NULL output still takes its value */
    EXPECT_EQ(h, 480);
    h = -1;
    NetClient_GetVideoSize(1, 0, &w, &h, 0);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, -1); /* no bytes left for it */
}

TEST_F(DeviceSdk, VideoSizeListGivesCountAndAtMost32Codes) {
    std::vector<int32_t> answer = {40};
    for (int32_t i = 0; i < 40; ++i)
        answer.push_back(100 + i);
    const int32_t few[] = {2, 7, 8, 9};
    sdk_sim_push_answer("NetClient_GetVideoSzList", SDK_SIM_ANY, 0, 0, answer.data(), 41 * 4);
    sdk_sim_push_answer("NetClient_GetVideoSzList", SDK_SIM_ANY, 0, 0, answer.data(), 41 * 4);
    sdk_sim_push_answer("NetClient_GetVideoSzList", SDK_SIM_ANY, 0, 0, few, sizeof few);
    int32_t count = 0;
    std::vector<int32_t> list(33, -1);
    NetClient_GetVideoSzList(1, 0, 0, nullptr, &count);
    EXPECT_EQ(count, 40);
    NetClient_GetVideoSzList(1, 0, 0, list.data(), &count);
    EXPECT_EQ(count, 40);
    EXPECT_EQ(list[31], 131);
    EXPECT_EQ(list[32], -1);
    std::fill(list.begin(), list.end(), -1);
    NetClient_GetVideoSzList(1, 0, 0, list.data(), &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::vector<int32_t>(list.begin(), list.begin() + 3), (std::vector<int32_t>{7, 8, -1}));
}

TEST_F(DeviceSdk, LogKeepsCopiesOfInputsTakenBeforeTheAnswer) {
    uint8_t rec[4] = {1, 2, 3, 4};
    NetClient_SetDevConfig(5, 21, 2, rec, 4);
    rec[0] = 9;
    sdk_sim_call set = logged(0);
    EXPECT_EQ(logged_in(set), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(set.args[0], 4);

    const uint8_t answer[4] = {0xF0, 0xF1, 0xF2, 0xF3};
    sdk_sim_push_answer("NetClient_GetDevConfig", 99, 0, 0, answer, 4);
    uint8_t preset[6] = {12, 0, 0, 0, 64, 162};
    NetClient_GetDevConfig(5, 99, NETCLIENT_ALL_CHANNELS, preset, 6, nullptr);
    sdk_sim_call get = logged(1);
    EXPECT_EQ(get.ch, NETCLIENT_ALL_CHANNELS);
    EXPECT_EQ(logged_in(get), (std::vector<uint8_t>{12, 0, 0, 0, 64, 162}));
    EXPECT_EQ(preset[0], 0xF0);

    char user[] = "admin";
    NetClient_ModifyPwd(5, user, "secret");
    user[0] = 'X';
    EXPECT_STREQ(logged(2).text[0], "admin");
    EXPECT_STREQ(logged(2).text[1], "secret");
    NetClient_ModifyPwd(5, nullptr, "p");
    EXPECT_EQ(logged(3).text[0], nullptr);

    NetClient_DeviceCtrlEx(5, 1, 9, 30, 31, 0);
    sdk_sim_call ctrl = logged(4);
    EXPECT_EQ(std::vector<int32_t>(ctrl.args, ctrl.args + 3), (std::vector<int32_t>{30, 31, 0}));
    EXPECT_EQ(ctrl.in, nullptr);
}

TEST_F(DeviceSdk, HttpXmlConfigLogsItsTextsAndFillsTheReplyBuffer) {
    char url[1024] = "/CGI/Smart/FaceTrack/1/Channels/1/Scene/3";
    const char body[] = "{\"key\":1}xyz";
    std::vector<uint8_t> req(48, 0), rep(32, 0);
    std::vector<char> out(16, 'z');
    put<int32_t>(req, 0, 2);
    put<const char *>(req, 8, url);
    put<int32_t>(req, 16, 1024); /* the whole buffer: text ends at its NUL */
    put<const char *>(req, 24, body);
    put<int32_t>(req, 32, 9); /* length cuts the body */
    put<int32_t>(req, 36, 10);
    put<char *>(rep, 0, out.data());
    put<int32_t>(rep, 8, 6);

    const char reply[] = "{\"result\":0}";
    sdk_sim_push_answer("NetClient_HttpXmlConfig", 2, 0, 0, reply, sizeof reply);
    EXPECT_EQ(NetClient_HttpXmlConfig(3, req.data(), 48, rep.data(), 32), 0);
    EXPECT_EQ(std::string(out.data(), 8), "{\"resuzz");
    url[0] = 'X';
    sdk_sim_call c = last_call();
    EXPECT_EQ(c.cmd, 2);
    EXPECT_STREQ(c.text[0], "/CGI/Smart/FaceTrack/1/Channels/1/Scene/3");
    EXPECT_STREQ(c.text[1], "{\"key\":1}");
    ASSERT_EQ(c.in_len, 48);
    int32_t option = 0;
    std::memcpy(&option, c.in + 36, 4);
    EXPECT_EQ(option, 10);

    /* A short request record is logged but not read beyond its length. */
    NetClient_HttpXmlConfig(3, req.data(), 8, nullptr, 0);
    c = last_call();
    EXPECT_EQ(c.in_len, 8);
    EXPECT_EQ(c.text[0], nullptr);
}

TEST_F(DeviceSdk, LastErrorBelongsToTheCallingThread) {
    EXPECT_EQ(NetClient_GetLastError(), 0);
    sdk_sim_push_answer("NetClient_GetSysInfo", SDK_SIM_ANY, -1, 0x10, nullptr, 0);
    NetClient_GetSysInfo(1);
    EXPECT_EQ(NetClient_GetLastError(), 0x10);

    int32_t other = -1, other_after = -1;
    std::thread t([&] {
        other = NetClient_GetLastError();
        sdk_sim_push_answer("NetClient_GetSysInfo", SDK_SIM_ANY, -1, 0x20, nullptr, 0);
        NetClient_GetSysInfo(1);
        other_after = NetClient_GetLastError();
    });
    t.join();
    EXPECT_EQ(other, 0);
    EXPECT_EQ(other_after, 0x20);
    EXPECT_EQ(NetClient_GetLastError(), 0x10);

    NetClient_GetSysInfo(1); /* no answer programmed: last error stays */
    EXPECT_EQ(NetClient_GetLastError(), 0x10);
    sdk_sim_reset();
    EXPECT_EQ(NetClient_GetLastError(), 0);
}

std::atomic<int> g_upgrade_calls{0};
int32_t g_upgrade_args[3];

void on_upgrade(int32_t loginfd, int32_t state, int32_t extra) {
    g_upgrade_args[0] = loginfd;
    g_upgrade_args[1] = state;
    g_upgrade_args[2] = extra;
    ++g_upgrade_calls;
}

TEST_F(DeviceSdk, UpgradeCallbackFiresOnceForAStartedUpgrade) {
    g_upgrade_calls = 0;
    EXPECT_EQ(NetClient_Upgrade_V4(4, "/tmp/fw.bin", 1, on_upgrade), 0);
    EXPECT_STREQ(last_call().text[0], "/tmp/fw.bin");
    EXPECT_EQ(last_call().args[0], 1);
    EXPECT_EQ(sdk_sim_fire_upgrade_complete(5, 1), 0); /* other login */
    EXPECT_EQ(sdk_sim_fire_upgrade_complete(4, 2), 1);
    EXPECT_EQ(g_upgrade_calls, 1);
    EXPECT_EQ(std::vector<int32_t>(g_upgrade_args, g_upgrade_args + 3), (std::vector<int32_t>{4, 2, 0}));
    EXPECT_EQ(sdk_sim_fire_upgrade_complete(4, 2), 0);

    sdk_sim_push_answer("NetClient_Upgrade_V4", SDK_SIM_ANY, -1, 7, nullptr, 0);
    EXPECT_EQ(NetClient_Upgrade_V4(4, "fw", 1, on_upgrade), -1);
    EXPECT_EQ(sdk_sim_fire_upgrade_complete(4, 2), 0); /* never started */
    EXPECT_EQ(g_upgrade_calls, 1);
}

TEST_F(DeviceSdk, CallsAndControlLeaveErrnoUntouched) {
    uint8_t b[4] = {};
    errno = 777;
    sdk_sim_push_answer("NetClient_GetDevConfig", SDK_SIM_ANY, -1, 5, b, 4);
    NetClient_GetDevConfig(1, 1, 0, b, 4, nullptr);
    NetClient_GetLastError();
    sdk_sim_call c{};
    sdk_sim_get_call(0, &c);
    sdk_sim_reset();
    EXPECT_EQ(errno, 777);
}

TEST_F(DeviceSdk, ConcurrentCallsEachTakeOneQueuedAnswer) {
    constexpr int kThreads = 4, kCalls = 300;
    for (int i = 0; i < kThreads * kCalls; ++i)
        sdk_sim_push_answer("NetClient_SetDevConfig", SDK_SIM_ANY, 1, i, nullptr, 0);
    std::atomic<int> answered{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            uint8_t rec[8] = {static_cast<uint8_t>(t)};
            int32_t value = 0;
            for (int i = 0; i < kCalls; ++i) {
                answered += NetClient_SetDevConfig(t, i, 0, rec, 8);
                NetClient_GetLastError();
                NetClient_GetCommonEnable(t, 1, 0, &value);
                sdk_sim_call c{};
                sdk_sim_get_call(sdk_sim_call_count() - 1, &c);
            }
        });
    }
    for (std::thread &th : threads)
        th.join();
    EXPECT_EQ(answered, kThreads * kCalls);
    EXPECT_EQ(sdk_sim_call_count(), 2 * kThreads * kCalls);
    EXPECT_EQ(NetClient_SetDevConfig(0, 0, 0, nullptr, 0), 0); /* queue used up */
}

TEST_F(DeviceSdk, SimulatedDeviceKeepsSettingsPerSubCommandAndChannel) {
    ASSERT_EQ(sdk_sim_add_device(5, 16, SDK_SIM_RECORDER), 0);
    int32_t channels = 0;
    EXPECT_EQ(NetClient_GetChannelNum(5, &channels), 0);
    EXPECT_EQ(channels, 16);

    const uint8_t record[8] = {8, 0, 0, 0, 1, 2, 3, 4};
    EXPECT_EQ(NetClient_SetDevConfig(5, 159, 3, record, sizeof record), 0);
    uint8_t back[8] = {};
    int32_t returned = 0;
    EXPECT_EQ(NetClient_GetDevConfig(5, 159, 3, back, sizeof back, &returned), 0);
    EXPECT_EQ(std::memcmp(back, record, sizeof record), 0);
    EXPECT_EQ(returned, 8);
    // Another channel, another sub-command, another login: nothing kept there.
    uint8_t untouched[8] = {};
    EXPECT_EQ(NetClient_GetDevConfig(5, 159, 4, untouched, sizeof untouched, nullptr), 0);
    EXPECT_EQ(NetClient_GetDevConfig(5, 160, 3, untouched, sizeof untouched, nullptr), 0);
    EXPECT_EQ(NetClient_GetDevConfig(6, 159, 3, untouched, sizeof untouched, nullptr), 0);
    EXPECT_EQ(std::count(untouched, untouched + 8, 0), 8);

    // Values come back as the getter's integer output.
    EXPECT_EQ(NetClient_SetCommonEnable(5, 0xE00C, 0x7FFFFFFF, 1), 0);
    int32_t enabled = 0;
    EXPECT_EQ(NetClient_GetCommonEnable(5, 0xE00C, 0x7FFFFFFF, &enabled), 0);
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(NetClient_SetFrameRate(5, 2, 25, 0), 0);
    int32_t rate = 0;
    EXPECT_EQ(NetClient_GetFrameRate(5, 2, &rate, 0), 0);
    EXPECT_EQ(rate, 25);

    // The snapshot record is written with sub-command 0 and read with 4.
    const uint8_t ftp[24] = {24, 0, 0, 0, 7};
    EXPECT_EQ(NetClient_SetFTPUploadConfig(5, 0, ftp, sizeof ftp), 0);
    uint8_t ftp_back[24] = {};
    EXPECT_EQ(NetClient_GetFTPUploadConfig(5, 4, ftp_back, sizeof ftp_back), 0);
    EXPECT_EQ(ftp_back[4], 7);
}

TEST_F(DeviceSdk, QueuedAnswersStillComeBeforeTheSimulatedDevice) {
    ASSERT_EQ(sdk_sim_add_device(5, 4, SDK_SIM_CAMERA), 0);
    EXPECT_EQ(sdk_sim_add_device(5, -1, SDK_SIM_CAMERA), -1);
    EXPECT_EQ(sdk_sim_add_device(5, 4, 7), -1);
    const int32_t two = 2;
    sdk_sim_push_answer("NetClient_GetChannelNum", SDK_SIM_ANY, -3, 0x55, &two, sizeof two);
    int32_t channels = 0;
    EXPECT_EQ(NetClient_GetChannelNum(5, &channels), -3);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(NetClient_GetChannelNum(5, &channels), 0);
    EXPECT_EQ(channels, 4);
    char versions[512] = {};
    EXPECT_EQ(NetClient_GetServerVersion_V1(5, versions, sizeof versions), 0);
    EXPECT_STREQ(versions + 2 * 64, "IPC 5.1.2");
    sdk_sim_reset();  // the device is gone with the reset
    channels = 0;
    EXPECT_EQ(NetClient_GetChannelNum(5, &channels), 0);
    EXPECT_EQ(channels, 0);
}

}  // namespace
