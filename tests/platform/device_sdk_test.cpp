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

/* Requests whose sub-command or channel is not simply the argument so named
 * are logged and answered under the right ones. */
TEST_F(DeviceSdk, SubCommandAndChannelComeFromWhereEachFunctionHasThem) {
    constexpr int32_t L = 7, C = 11, H = 3, ANY = SDK_SIM_ANY;
    uint8_t buf[64] = {};
    int32_t i1 = 0;
    std::vector<uint8_t> req(48), rep(32);
    put<int32_t>(req, 0, C); /* request type */
    struct Row {
        const char *name;
        int32_t cmd, ch;
        std::function<int32_t()> call;
    } rows[] = {
        {"NetClient_GetDevConfig_V5", C, ANY, [&] { return NetClient_GetDevConfig_V5(L, C, nullptr, 0, buf, 64); }},
        {"NetClient_GetCommonEnable", C, H, [&] { return NetClient_GetCommonEnable(L, C, H, &i1); }},
        {"NetClient_SetCommonEnable", C, H, [&] { return NetClient_SetCommonEnable(L, C, H, 1); }},
        {"NetClient_GetChannelNum", ANY, ANY, [&] { return NetClient_GetChannelNum(L, &i1); }},
        {"NetClient_Query_V5", C, H, [&] { return NetClient_Query_V5(L, C, H, buf, 8, buf, 8); }},
        {"NetClient_GetAlarmConfig", C, H, [&] { return NetClient_GetAlarmConfig(L, H, 1, C, buf); }},
        {"NetClient_SetAlarmConfig", C, H, [&] { return NetClient_SetAlarmConfig(L, H, 1, C, buf); }},
        {"NetClient_GetDomePTZ", ANY, H, [&] { return NetClient_GetDomePTZ(L, H, buf, 28); }},
        {"NetClient_DeviceCtrlEx", C, H, [&] { return NetClient_DeviceCtrlEx(L, H, C, 5, 5, 0); }},
        {"NetClient_GetDiskQuotaState", C, H, [&] { return NetClient_GetDiskQuotaState(L, H, C, buf, 12); }},
        {"NetClient_NetFileGetSchedule", ANY, H, [&] { return NetClient_NetFileGetSchedule(L, H, 0, buf, 20); }},
        {"NetClient_SetCDBurnConfig", C, H, [&] { return NetClient_SetCDBurnConfig(L, H, C, buf, 4); }},
        {"NetClient_SetHDTimeRangeParam", ANY, H, [&] { return NetClient_SetHDTimeRangeParam(L, H, 2, buf, 64); }},
        {"NetClient_GetVideoSzList", ANY, H, [&] { return NetClient_GetVideoSzList(L, H, 0, nullptr, &i1); }},
        {"NetClient_GetDigitalChannelConfig", C, H,
         [&] { return NetClient_GetDigitalChannelConfig(L, H, C, buf, 64); }},
        {"NetClient_GetFTPUploadConfig", C, ANY, [&] { return NetClient_GetFTPUploadConfig(L, C, buf, 24); }},
        {"NetClient_SetDzTransparentPara", ANY, ANY, [&] { return NetClient_SetDzTransparentPara(L, buf, 64, 1, 1); }},
        {"NetClient_HttpXmlConfig", C, ANY, [&] { return NetClient_HttpXmlConfig(L, req.data(), 48, rep.data(), 32); }},
        {"NetClient_XmlSetDevConfig", C, ANY, [&] { return NetClient_XmlSetDevConfig(L, C, buf, 16, buf, 32); }},
    };
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

TEST_F(DeviceSdk, AnswersAreChosenQueuedFirstThenDeviceThenStandingSubCommandBeforeAny) {
    const char *fn = "NetClient_SetDevConfig";
    EXPECT_EQ(sdk_sim_push_answer("NetClient_GetDevConfg", 1, 0, 0, nullptr, 0), -1); /* unknown name */
    EXPECT_EQ(sdk_sim_push_answer("NetClient_GetLastError", SDK_SIM_ANY, 0, 0, nullptr, 0), -1);
    EXPECT_EQ(sdk_sim_set_answer(fn, 1, 0, 0, nullptr, 4), -1); /* bytes announced, none given */
    sdk_sim_push_answer(fn, 5, 1, 0, nullptr, 0);
    sdk_sim_push_answer(fn, 5, 2, 0, nullptr, 0);
    sdk_sim_push_answer(fn, SDK_SIM_ANY, 3, 0, nullptr, 0);
    sdk_sim_set_answer(fn, 5, 4, 0, nullptr, 0);
    sdk_sim_set_answer(fn, SDK_SIM_ANY, 5, 0, nullptr, 0);
    const std::pair<int32_t, int32_t> calls[] = {{6, 3}, {5, 1}, {5, 2}, {5, 4}, {5, 4}, {6, 5}}; /* cmd, answer */
    for (const auto &[cmd, result] : calls)
        EXPECT_EQ(NetClient_SetDevConfig(1, cmd, 0, nullptr, 0), result) << cmd;
    EXPECT_EQ(NetClient_VCASetConfig(1, 5, 0, nullptr, 0), 0); /* nothing programmed */

    /* A queued answer comes before the simulated device, which comes before a standing one. */
    sdk_sim_reset();
    ASSERT_EQ(sdk_sim_add_device(5, 4, SDK_SIM_CAMERA), 0);
    const int32_t two = 2, nine = 9;
    sdk_sim_push_answer("NetClient_GetChannelNum", SDK_SIM_ANY, -3, 0x55, &two, sizeof two);
    sdk_sim_set_answer("NetClient_GetChannelNum", SDK_SIM_ANY, 0, 0, &nine, sizeof nine);
    int32_t channels = 0;
    EXPECT_EQ(NetClient_GetChannelNum(5, &channels), -3);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(NetClient_GetChannelNum(5, &channels), 0);
    EXPECT_EQ(channels, 4);
    EXPECT_EQ(NetClient_GetChannelNum(6, &channels), 0); /* no device behind login 6 */
    EXPECT_EQ(channels, 9);
    sdk_sim_reset(); /* forgets devices, answers and the log */
    channels = 0;
    EXPECT_EQ(NetClient_GetChannelNum(5, &channels), 0);
    EXPECT_EQ(channels, 0);
    EXPECT_EQ(sdk_sim_call_count(), 1);

    /* Switching the log off changes no answer. */
    sdk_sim_set_call_log(0);
    sdk_sim_set_answer("NetClient_GetChannelNum", SDK_SIM_ANY, 0, 0, &two, sizeof two);
    EXPECT_EQ(NetClient_GetChannelNum(1, &channels), 0);
    EXPECT_EQ(channels, 2);
    sdk_sim_set_call_log(1);
    EXPECT_EQ(sdk_sim_call_count(), 1);
}

TEST_F(DeviceSdk, OutputsTakeOnlyWhatTheCallerGaveRoomFor) {
    const std::vector<uint8_t> answer(200, 0x55);
    auto written = [](const uint8_t *p, size_t n) { return std::count(p, p + n, 0x55); };
    sdk_sim_push_answer("NetClient_GetDevConfig", 9, 0, 0, answer.data(), 4);
    sdk_sim_push_answer("NetClient_GetDevConfig", 9, 0, 0, answer.data(), 12);
    std::vector<uint8_t> buf(16, 0xAA);
    int32_t returned = -1;
    NetClient_GetDevConfig(1, 9, 0, buf.data(), 8, &returned);
    EXPECT_EQ(returned, 4);
    NetClient_GetDevConfig(1, 9, 0, buf.data(), 8, &returned);
    EXPECT_EQ(returned, 8);
    EXPECT_EQ(written(buf.data(), 16), 8);
    EXPECT_EQ(buf[8], 0xAA); /* preset bytes beyond are kept */

    /* Lengths that are not arguments: from the sub-command, or records per answer area. */
    sdk_sim_set_answer("NetClient_GetAlarmConfig", SDK_SIM_ANY, 0, 0, answer.data(), 200);
    sdk_sim_set_answer("NetClient_FaceConfig", SDK_SIM_ANY, 0, 0, answer.data(), 200);
    const std::pair<std::function<void(uint8_t *)>, int> areas[] = {
        {[](uint8_t *out) { NetClient_GetAlarmConfig(1, 0, 1, 113, out); }, 24},
        {[](uint8_t *out) { NetClient_GetAlarmConfig(1, 0, 1, 999, out); }, 0},         /* unknown sub-command */
        {[](uint8_t *out) { NetClient_FaceConfig(1, 14, 0, nullptr, 0, out, 4); }, 80}, /* page of 20 */
        {[](uint8_t *out) { NetClient_FaceConfig(1, 0, 0, nullptr, 0, out, 4); }, 4},
    };
    for (const auto &[call, bytes] : areas) {
        std::vector<uint8_t> out(200, 0);
        call(out.data());
        EXPECT_EQ(written(out.data(), out.size()), bytes);
    }
    EXPECT_EQ(NetClient_FaceConfig(1, 18, 0, nullptr, 0, nullptr, 0), 0);

    /* Integer outputs take consecutive values; a NULL one still takes its value. */
    const int32_t size[2] = {640, 480};
    sdk_sim_push_answer("NetClient_GetVideoSize", SDK_SIM_ANY, 0, 0, size, 8);
    sdk_sim_push_answer("NetClient_GetVideoSize", SDK_SIM_ANY, 0, 0, size, 4);
    int32_t w = -1, h = -1;
    NetClient_GetVideoSize(1, 0, nullptr, &h, 0);
    EXPECT_EQ(h, 480);
    h = -1;
    NetClient_GetVideoSize(1, 0, &w, &h, 0);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, -1); /* no bytes left for it */

    /* The size list: the device's count, at most that many codes and at most 32. */
    std::vector<int32_t> codes = {40};
    for (int32_t i = 0; i < 40; ++i)
        codes.push_back(100 + i);
    const int32_t few[] = {2, 7, 8, 9};
    sdk_sim_push_answer("NetClient_GetVideoSzList", SDK_SIM_ANY, 0, 0, codes.data(), 41 * 4);
    sdk_sim_push_answer("NetClient_GetVideoSzList", SDK_SIM_ANY, 0, 0, few, sizeof few);
    int32_t count = 0;
    std::vector<int32_t> list(33, -1);
    NetClient_GetVideoSzList(1, 0, 0, list.data(), &count);
    EXPECT_EQ(count, 40);
    EXPECT_EQ(std::vector<int32_t>(list.begin() + 31, list.end()), (std::vector<int32_t>{131, -1}));
    std::fill(list.begin(), list.end(), -1);
    NetClient_GetVideoSzList(1, 0, 0, list.data(), &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::vector<int32_t>(list.begin(), list.begin() + 3), (std::vector<int32_t>{7, 8, -1}));
}

TEST_F(DeviceSdk, LogKeepsCopiesOfInputsTakenBeforeTheAnswer) {
    uint8_t rec[4] = {1, 2, 3, 4};
    NetClient_SetDevConfig(5, 21, 2, rec, 4);
    rec[0] = 9;
    EXPECT_EQ(logged_in(logged(0)), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(logged(0).args[0], 4);

    const uint8_t answer[4] = {0xF0, 0xF1, 0xF2, 0xF3};
    sdk_sim_push_answer("NetClient_GetDevConfig", 99, 0, 0, answer, 4);
    uint8_t preset[6] = {12, 0, 0, 0, 64, 162};
    NetClient_GetDevConfig(5, 99, NETCLIENT_ALL_CHANNELS, preset, 6, nullptr);
    EXPECT_EQ(logged_in(logged(1)), (std::vector<uint8_t>{12, 0, 0, 0, 64, 162}));
    EXPECT_EQ(preset[0], 0xF0);

    char user[] = "admin";
    NetClient_ModifyPwd(5, user, "secret");
    user[0] = 'X';
    EXPECT_STREQ(logged(2).text[0], "admin");
    EXPECT_STREQ(logged(2).text[1], "secret");

    /* HttpXmlConfig: URL and body texts from the request record, the reply into its buffer. */
    char url[1024] = "/CGI/Smart/FaceTrack/1/Channels/1/Scene/3";
    const char body[] = "{\"key\":1}xyz";
    std::vector<uint8_t> req(48, 0), rep(32, 0);
    std::vector<char> out(16, 'z');
    put<int32_t>(req, 0, 2);
    put<const char *>(req, 8, url);
    put<int32_t>(req, 16, 1024); /* the whole buffer: text ends at its NUL */
    put<const char *>(req, 24, body);
    put<int32_t>(req, 32, 9); /* length cuts the body */
    put<char *>(rep, 0, out.data());
    put<int32_t>(rep, 8, 6);
    const char reply[] = "{\"result\":0}";
    sdk_sim_push_answer("NetClient_HttpXmlConfig", 2, 0, 0, reply, sizeof reply);
    EXPECT_EQ(NetClient_HttpXmlConfig(3, req.data(), 48, rep.data(), 32), 0);
    EXPECT_EQ(std::string(out.data(), 8), "{\"resuzz");
    sdk_sim_call c = last_call();
    EXPECT_EQ(c.cmd, 2);
    EXPECT_STREQ(c.text[0], "/CGI/Smart/FaceTrack/1/Channels/1/Scene/3");
    EXPECT_STREQ(c.text[1], "{\"key\":1}");
    EXPECT_EQ(c.in_len, 48);
    NetClient_HttpXmlConfig(3, req.data(), 8, nullptr, 0); /* logged, not read beyond its length */
    EXPECT_EQ(last_call().in_len, 8);
    EXPECT_EQ(last_call().text[0], nullptr);
}

TEST_F(DeviceSdk, LastErrorBelongsToTheCallingThreadAndErrnoIsKept) {
    errno = 777;
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
    sdk_sim_call c{};
    sdk_sim_get_call(0, &c);
    sdk_sim_reset();
    EXPECT_EQ(NetClient_GetLastError(), 0);
    EXPECT_EQ(errno, 777);
}

std::atomic<int> g_upgrade_calls{0};
std::vector<int32_t> g_upgrade_args;

TEST_F(DeviceSdk, UpgradeCallbackFiresOnceForAStartedUpgrade) {
    upgrade_complete_cb on_upgrade = [](int32_t loginfd, int32_t state, int32_t extra) {
        g_upgrade_args = {loginfd, state, extra};
        ++g_upgrade_calls;
    };
    EXPECT_EQ(NetClient_Upgrade_V4(4, "/tmp/fw.bin", 1, on_upgrade), 0);
    EXPECT_STREQ(last_call().text[0], "/tmp/fw.bin");
    EXPECT_EQ(sdk_sim_fire_upgrade_complete(5, 1), 0); /* other login */
    EXPECT_EQ(sdk_sim_fire_upgrade_complete(4, 2), 1);
    EXPECT_EQ(sdk_sim_fire_upgrade_complete(4, 2), 0);
    EXPECT_EQ(g_upgrade_calls, 1);
    EXPECT_EQ(g_upgrade_args, (std::vector<int32_t>{4, 2, 0}));
    sdk_sim_push_answer("NetClient_Upgrade_V4", SDK_SIM_ANY, -1, 7, nullptr, 0);
    EXPECT_EQ(NetClient_Upgrade_V4(4, "fw", 1, on_upgrade), -1);
    EXPECT_EQ(sdk_sim_fire_upgrade_complete(4, 2), 0); /* never started */
}

TEST_F(DeviceSdk, SimulatedDeviceKeepsSettingsPerSubCommandChannelAndLogin) {
    ASSERT_EQ(sdk_sim_add_device(5, 16, SDK_SIM_RECORDER), 0);
    const uint8_t record[8] = {8, 0, 0, 0, 1, 2, 3, 4};
    EXPECT_EQ(NetClient_SetDevConfig(5, 159, 3, record, sizeof record), 0);
    uint8_t back[8] = {};
    int32_t returned = 0;
    EXPECT_EQ(NetClient_GetDevConfig(5, 159, 3, back, sizeof back, &returned), 0);
    EXPECT_EQ(std::memcmp(back, record, sizeof record), 0);
    EXPECT_EQ(returned, 8);
    uint8_t untouched[8] = {};
    NetClient_GetDevConfig(5, 159, 4, untouched, sizeof untouched, nullptr);
    NetClient_GetDevConfig(5, 160, 3, untouched, sizeof untouched, nullptr);
    NetClient_GetDevConfig(6, 159, 3, untouched, sizeof untouched, nullptr);
    EXPECT_EQ(std::count(untouched, untouched + 8, 0), 8);

    /* Values come back as the getter's integer output. */
    int32_t enabled = 0, rate = 0;
    NetClient_SetCommonEnable(5, 0xE00C, NETCLIENT_ALL_CHANNELS, 1);
    NetClient_GetCommonEnable(5, 0xE00C, NETCLIENT_ALL_CHANNELS, &enabled);
    NetClient_SetFrameRate(5, 2, 25, 0);
    NetClient_GetFrameRate(5, 2, &rate, 0);
    EXPECT_EQ(std::pair(enabled, rate), std::pair(1, 25));
}

}  // namespace
