// Scene calibration and reference boundary: JSON to record and back.
#include "vca_fixture.h"

namespace {

using namespace vca_test;
using Lines = std::vector<std::string>;

using CalibrationTest = VcaTest;

std::string xyz(int x, int y, int z) {
    return "{\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y) + ",\"z\":" + std::to_string(z) + "}";
}

std::string points(int n, int base) {
    std::string out = "[";
    for (int i = 0; i < n; ++i)
        out += (i ? "," : "") + xyz(base + 3 * i, base + 3 * i + 1, base + 3 * i + 2);
    return out + "]";
}

// A calibration command; `replace` swaps one member's JSON text.
std::string calibration(int n, const std::string &key = "", const std::string &value = "") {
    std::vector<std::pair<std::string, std::string>> members = {
        {"ch", "1"},           {"scene_id", "4"},           {"point_num", std::to_string(n)},
        {"point_imgs", points(n, 100)},                     {"point_wlds", points(n, 200)},
        {"ipc_high", "350"},   {"ipc_param", xyz(1, 2, 3)}, {"coordinate_o", xyz(4, 5, 6)},
        {"coordinate_x", xyz(7, 8, 9)},                     {"coordinate_y", xyz(10, 11, 12)}};
    std::string out = R"({"command":51)";
    for (auto &[k, v] : members)
        if (k != key || !value.empty())
            out += ",\"" + k + "\":" + (k == key ? value : v);
    return out + "}";
}

TEST_F(CalibrationTest, CalibrationRecordCarriesPairsMountingAndAxes) {
    Command cmd(calibration(2));
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    sdk_sim_call call = only_call();
    EXPECT_STREQ(call.function, "NetClient_VCASetConfig");
    EXPECT_EQ(call.cmd, 0xC6);
    EXPECT_EQ(call.ch, 1);
    ASSERT_EQ(call.in_len, 544);
    EXPECT_EQ(word_at(call.in, 0), 544);
    EXPECT_EQ(word_at(call.in, 4), 4);
    EXPECT_EQ(word_at(call.in, 8), 2);
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(word_at(call.in, 12 + 4 * i), 100 + i);
        EXPECT_EQ(word_at(call.in, 252 + 4 * i), 200 + i);
    }
    EXPECT_EQ(word_at(call.in, 12 + 24), 0);  // third pair unused
    EXPECT_EQ(word_at(call.in, 492), 350);
    for (int32_t i = 0; i < 12; ++i)
        EXPECT_EQ(word_at(call.in, 496 + 4 * i), i + 1);

    sdk_sim_reset();
    Command none(calibration(0));
    EXPECT_EQ(set(none), 1);
    EXPECT_EQ(word_at(only_call().in, 8), 0);
}

TEST_F(CalibrationTest, CalibrationRefusalsSendNothing) {
    struct Case {
        std::string json;
        std::string message;
    } cases[] = {
        {calibration(3, "point_wlds", points(2, 0)),
         "wlds_len != point_num || wlds_len > REFERENCE_POINT_NUM_MAX, wlds_len: 2, point_num: 3, "
         "<json_to_calibration_reference>"},
        {calibration(21),
         "imgs_len != point_num || imgs_len > REFERENCE_POINT_NUM_MAX, imgs_len: 21, point_num: 21, "
         "<json_to_calibration_reference>"},
        {calibration(2, "point_imgs", "[" + xyz(1, 1, 1) + "," + xyz(1, 1, -1) + "]"), "z == -1, i: 1, jso_point_img"},
        {calibration(2, "point_imgs", R"([null,{}])"), "is_error(jso_point_img)"},
        {calibration(1, "point_wlds", R"([[1,2,3]])"), "x == -1, j: 0, jso_point_wld"},
        {calibration(1, "point_imgs", R"({"x":1})"),
         "!json_object_is_type(jso_point_imgs, json_type_array), <json_to_calibration_reference>"},
        {calibration(1, "point_num"), "point_num == -1, <json_to_calibration_reference>"},
        {calibration(1, "scene_id", "\"4\""), "scene_id < 0, <json_to_calibration_reference>"},
        {calibration(1, "coordinate_x"), "is_error(jso_coordinate_x), <json_to_calibration_reference>"},
        {calibration(1, "ipc_param", "7"), "is_error(jso_ipc_param), <json_to_calibration_reference>"},
        {calibration(1, "coordinate_y", R"({"x":1,"y":-1,"z":1})"), "coordinate_y_y == -1, <json_to_calibration_reference>"},
        {calibration(1, "ipc_param", R"({"x":1,"y":2})"), "ipc_param_z == -1, <json_to_calibration_reference>"},
    };
    for (const Case &c : cases) {
        log.clear();
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0) << c.json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << c.json;
        EXPECT_EQ(log.messages(), (Lines{c.message, "!json_to_sdk_param(jso, &param), <set_calibration_reference>"}))
            << c.json;
    }
    log.clear();
    Command no_channel(calibration(1, "ch"));
    EXPECT_EQ(set(no_channel), 0);
    EXPECT_EQ(log.messages(), Lines{"ch == -1, <set_calibration_reference>"});
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(CalibrationTest, CalibrationReplyBoundsArraysToTheRecord) {
    Bytes record(544);
    record.put(0, 544).put(4, 6).put(8, 25);
    for (size_t i = 0; i < 60; ++i) {
        record.put(12 + 4 * i, static_cast<int32_t>(i));
        record.put(252 + 4 * i, static_cast<int32_t>(1000 + i));
    }
    record.put(492, 77);
    for (size_t i = 0; i < 12; ++i)
        record.put(496 + 4 * i, static_cast<int32_t>(50 + i));
    answer("NetClient_VCAGetConfig", 0xC6, record);
    Command cmd(R"({"command":38,"ch":2,"scene_id":6})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    sdk_sim_call call = only_call();
    EXPECT_EQ(word_at(call.in, 0), 544);
    EXPECT_EQ(word_at(call.in, 4), 6);

    const std::string reply = cmd.reply();
    std::string imgs, wlds;
    for (int i = 0; i < 20; ++i) {
        imgs += std::string(i ? ", " : "") + "{ \"x\": " + std::to_string(3 * i) + ", \"y\": " + std::to_string(3 * i + 1) +
                ", \"z\": " + std::to_string(3 * i + 2) + " }";
        wlds += std::string(i ? ", " : "") + "{ \"x\": " + std::to_string(1000 + 3 * i) +
                ", \"y\": " + std::to_string(1001 + 3 * i) + ", \"z\": " + std::to_string(1002 + 3 * i) + " }";
    }
    EXPECT_EQ(reply, R"({ "scene_id": 6, "point_num": 25, "point_imgs": [ )" + imgs + R"( ], "point_wlds": [ )" +
                         wlds +
                         R"( ], "ipc_high": 77, "ipc_param": { "x": 50, "y": 51, "z": 52 }, )"
                         R"("coordinate_o": { "x": 53, "y": 54, "z": 55 }, "coordinate_x": { "x": 56, "y": 57, "z": 58 }, )"
                         R"("coordinate_y": { "x": 59, "y": 60, "z": 61 } })");

    sdk_sim_set_answer("NetClient_VCAGetConfig", 0xC6, -1, 0x1F, nullptr, 0);
    log.clear();
    Command failed(R"({"command":38,"ch":2,"scene_id":6})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(failed.opit.out_buf, nullptr);
    EXPECT_EQ(log.messages(),
              Lines{"NetClient_VCAGetConfig VCA_CMD_CALIBRATION_REFERENCE fail, host_id: dev-0001, ch: 2, error: 1f"});
}

TEST_F(CalibrationTest, BoundaryDefaultsToSceneZeroAndAnswersItsPoints) {
    Command cmd(R"({"command":58,"ch":3,"enable":1,"point_num":2,"point_wlds":[)" + xyz(1, 2, 3) + "," + xyz(4, 5, 6) +
                "]}");
    EXPECT_EQ(set(cmd), 1);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xC7);
    ASSERT_EQ(call.in_len, 252);
    const int32_t expected[] = {0, 1, 2, 1, 2, 3, 4, 5, 6, 0};
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(word_at(call.in, 4 * i), expected[i]);

    Bytes record(252);
    record.put(0, 2).put(4, 1).put(8, 4);
    for (size_t i = 0; i < 12; ++i)
        record.put(12 + 4 * i, static_cast<int32_t>(i));
    answer("NetClient_VCAGetConfig", 0xC7, record);
    Command query(R"({"command":39,"ch":3,"scene_id":2})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(), R"({ "enable": 1, "scene_id": 2, "point_num": 4, "point_wlds": [ { "x": 0, "y": 1, "z": 2 }, )"
                             R"({ "x": 3, "y": 4, "z": 5 }, { "x": 6, "y": 7, "z": 8 }, { "x": 9, "y": 10, "z": 11 } ] })");
    EXPECT_EQ(word_at(calls().back().in, 0), 2);
}

TEST_F(CalibrationTest, BoundaryRefusals) {
    struct Case {
        std::string json;
        std::string message;
        int error;
    } cases[] = {
        {R"({"command":58,"ch":3,"scene_id":-1,"enable":1,"point_num":0,"point_wlds":[]})",
         "scene_id == -1, <json_to_ref_boundary>", CMD_ZEL_EINVAL},
        {R"({"command":58,"ch":3,"point_num":0,"point_wlds":[]})", "enable == -1, <json_to_ref_boundary>", CMD_ZEL_EINVAL},
        {R"({"command":58,"ch":3,"enable":0,"point_wlds":[]})", "point_num == -1, <json_to_ref_boundary>",
         test::kSentinelErrno},
        {R"({"command":58,"ch":3,"enable":0,"point_num":1,"point_wlds":[]})",
         "wlds_len != point_num || wlds_len > REFERENCE_POINT_NUM_MAX, wlds_len: 0, point_num: 1, <json_to_ref_boundary>",
         test::kSentinelErrno},
        {R"({"command":58,"ch":3,"enable":0,"point_num":1,"point_wlds":[null]})",
         "is_error(jso_point_img), <json_to_ref_boundary>", CMD_ZEL_EINVAL},
        {R"({"command":58,"ch":3,"enable":0,"point_num":1,"point_wlds":[{"x":1,"y":-1,"z":0}]})",
         "y == -1, i: 0, jso_point_wld", CMD_ZEL_EINVAL},
    };
    for (const Case &c : cases) {
        log.clear();
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0) << c.json;
        EXPECT_EQ(err, c.error) << c.json;
        EXPECT_EQ(log.messages(), (Lines{c.message, "!json_to_ref_boundary(jso, &param), <set_ref_boundary>"}));
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

}  // namespace
