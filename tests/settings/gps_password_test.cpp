// GPS danger areas and the channel-password batches: record images, points
// that are left zero, counts, one failing channel among others.
#include "settings_fixture.h"

namespace {

using namespace settings_test;
using GpsTest = SettingsTest;
using PasswordTest = SettingsTest;

std::string coordinate(int direction, int degree, int minute, int second) {
    return R"({"direction":)" + std::to_string(direction) + R"(,"degree":)" + std::to_string(degree) + R"(,"minute":)" +
           std::to_string(minute) + R"(,"second":)" + std::to_string(second) + "}";
}
std::string point(const std::string &latitude, const std::string &longitude) {
    return R"({"latitude":)" + latitude + R"(,"longitude":)" + longitude + "}";
}
const std::string kGood = point(coordinate(0, 31, 12, 3000), coordinate(1, 121, 28, 1200));
const std::string kEdge = point(coordinate(1, 180, 60, 5999), coordinate(0, 0, 0, 0));

std::string area(const std::string &points, const std::string &head = R"("ch":2,"area_num":5)") {
    return R"({"command":7,)" + head + R"(,"gps_point":[)" + points + "]}";
}

// The slot of a point as the device reads it: longitude, then latitude.
void put_point(Bytes &record, int slot, const int32_t (&longitude)[4], const int32_t (&latitude)[4]) {
    for (int i = 0; i < 4; ++i) {
        record.put(16 + 32 * slot + 4 * i, longitude[i]);
        record.put(32 + 32 * slot + 4 * i, latitude[i]);
    }
}

TEST_F(GpsTest, AFailingPointIsLoggedAndLeftZeroWhileTheAreaIsSent) {
    const std::pair<std::string, std::string> bad_points[] = {
        {point(coordinate(0, 31, 61, 0), coordinate(1, 1, 1, 1)), "latitude_minute < 0 || latitude_minute > 60"},
        {point(coordinate(2, 31, 1, 0), coordinate(1, 1, 1, 1)), "latitude_direction != 0 && latitude_direction != 1"},
        {point(coordinate(0, 1, 1, 1), coordinate(1, 181, 1, 1)), "longitude_degree < 0 || longitude_degree > 180"},
        {point(coordinate(0, 1, 1, 1), coordinate(1, 1, 1, 6000)), "longitude_second < 0 || longitude_second > 5999"},
        {R"({"longitude":)" + coordinate(0, 1, 1, 1) + "}", "is_error(jso_latitude)"},
        {"null", "is_error(jso_gps_point)"},
    };
    Bytes expected(272);
    expected.put(0, 272).put(4, 2).put(8, 5).put(12, 3);
    put_point(expected, 0, {1, 121, 28, 1200}, {0, 31, 12, 3000});
    put_point(expected, 2, {0, 0, 0, 0}, {1, 180, 60, 5999});
    for (const auto &[bad, message] : bad_points) {
        sdk_sim_reset();
        Command cmd(area(kGood + "," + bad + "," + kEdge));
        EXPECT_EQ(set(cmd), 1) << bad;
        EXPECT_EQ(err, test::kSentinelErrno);
        EXPECT_EQ(log.messages(), Lines{message});
        sdk_sim_call call = only_call("NetClient_SetDevConfig");
        EXPECT_EQ(call.cmd, 224);
        EXPECT_EQ(call.ch, 2);
        EXPECT_EQ(input(call), expected.data) << bad;
    }
}

TEST_F(GpsTest, PointCountsAndAreaMembers) {
    std::string eight;
    for (int i = 0; i < 8; ++i)
        eight += (i > 0 ? "," : "") + kGood;
    Command none(area(""));
    EXPECT_EQ(set(none), 1);
    EXPECT_EQ(word_at(only_call().in, 12), 0);
    sdk_sim_reset();
    Command full(area(eight));
    EXPECT_EQ(set(full), 1);
    EXPECT_EQ(word_at(only_call().in, 12), 8);
    EXPECT_EQ(word_at(only_call().in, 256), 0);  // last slot's latitude direction

    const char *count_refusal = "gps_point_num != 0 && (gps_point_num < 3 || gps_point_num > 8)";
    const std::pair<std::string, std::string> refused[] = {
        {area(kGood + "," + kGood), count_refusal},
        {area(eight + "," + kGood), count_refusal},
        {R"({"command":7,"ch":2,"area_num":5})", "is_error(jso_gps_points)"},
        {R"({"command":7,"ch":2,"area_num":5,"gps_point":{"a":1}})", "is_error(jso_gps_points)"},
        {area("", R"("ch":2,"area_num":128)"), "area_num < 0 || area_num > 127"},
        {area("", R"("area_num":1)"), "ch == -1"},
    };
    sdk_sim_reset();
    for (const auto &[json, message] : refused) {
        Command cmd(json);
        EXPECT_EQ(set(cmd), 0) << json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.messages(), Lines{message});
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    fail("NetClient_SetDevConfig", 224, -3);
    Command failed(area(""));
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_ENOTDONE);
    EXPECT_EQ(log.messages(), Lines{"NetClient_SetDevConfig--NET_CLIENT_GPS_DANGERAREA failed, ret = -3"});
}

std::string login(int ch, const std::string &user, const std::string &extra = R"(,"oldpass":"old","newpass":"new")") {
    return R"({"ch":)" + std::to_string(ch) + R"(,"username":")" + user + "\"" + extra + "}";
}

TEST_F(PasswordTest, EachChannelAnswersForItselfAndBadElementsAreSkipped) {
    const std::string sixteen = "abcdefghijklmnop";
    answer_once("NetClient_GetDevConfig", 90, Bytes(4).put(0, 1));
    answer_once("NetClient_GetDevConfig", 90, Bytes(4).put(0, 0));
    answer_once("NetClient_GetDevConfig", 90, Bytes(0), -4);
    Command cmd(R"({"command":11,"channels":[)" + login(0, sixteen + "qrs") + "," + login(3, "u") + "," +
                login(5, "u") + "," + login(-1, "u") + "," + login(6, "u", R"(,"newpass":"n")") + "]}");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(cmd.reply(), R"({ "channels": [ { "ch": 0, "status": "ok" }, { "ch": 3, "status": "err" }, )"
                           R"({ "ch": 5, "status": "err" } ], "ret": 0 })");
    EXPECT_EQ(log.messages(), (Lines{"CHN DISCONNECT status:0",
                                     "NetClient_GetDevConfig-NET_CLIENT_CHN_CONNECT_STATE failed, host_id:dev-0001, "
                                     "ch:5, ret_value:-4",
                                     "ch < 0", "oldpass == NULL"}));
    sdk_sim_call sent = only_call("NetClient_SetDevConfig");
    EXPECT_EQ(sent.cmd, 230);
    EXPECT_EQ(sent.ch, 0);
    // A 16-character text fills its field without a terminator.
    Bytes expected(52);
    expected.put(0, 52).text(4, sixteen).text(20, "old").text(36, "new");
    EXPECT_EQ(input(sent), expected.data);

    const std::pair<std::string, std::string> refused[] = {
        {R"({"command":11})", "is_error(jso_channels)"},
        {R"({"command":11,"channels":{"ch":0}})", "is_error(jso_channels)"},
        {R"({"command":12,"channels":[]})", "channel_num == 0"},
    };
    for (const auto &[json, message] : refused) {
        Command bad(json);
        EXPECT_EQ(set(bad), 0) << json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(bad.reply(), R"({ "channels": [ ], "ret": -1 })");
        EXPECT_EQ(log.messages(), Lines{message});
    }
}

TEST_F(PasswordTest, DigitalChannelKeepsTheDeviceRecordAndSendsNoOldPassword) {
    answer_once("NetClient_GetDigitalChannelConfig", 0, Bytes(872, 0xAB));
    answer_once("NetClient_GetDigitalChannelConfig", 0, Bytes(0), -1);
    Command cmd(R"({"command":12,"channels":[)" + login(2, "an-overlong-user-name") + "," + login(4, "u") + "]}");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(cmd.reply(),
              R"({ "channels": [ { "ch": 2, "status": "ok" }, { "ch": 4, "status": "err" } ], "ret": 0 })");
    EXPECT_TRUE(calls("NetClient_GetDevConfig").empty());
    sdk_sim_call sent = only_call("NetClient_SetDigitalChannelConfig");
    EXPECT_EQ(sent.cmd, 1);
    EXPECT_EQ(sent.ch, 2);
    Bytes expected(872, 0xAB);
    expected.raw(131, std::string(34, '\0').data(), 34).text(131, "an-overlong-user").text(148, "new");
    EXPECT_EQ(input(sent), expected.data);
}

}  // namespace
