// Scene calibration and reference boundary: JSON to record and back.
#include "vca_fixture.h"

namespace {

using namespace vca_test;
using CalibrationTest = VcaTest;

std::string xyz(int x, int y, int z) {
    return "{\"x\":" + std::to_string(x) + ",\"y\":" + std::to_string(y) + ",\"z\":" + std::to_string(z) + "}";
}

// A literal put in front of a temporary string: see PREPEND_TO_TEMPORARY_BEGIN.
PREPEND_TO_TEMPORARY_BEGIN
std::string points(int n, int base) {
    std::string out = "[";
    for (int i = 0; i < n; ++i)
        out += (i ? "," : "") + xyz(base + 3 * i, base + 3 * i + 1, base + 3 * i + 2);
    return out + "]";
}
PREPEND_TO_TEMPORARY_END

// A calibration command of `n` reference pairs; `key` gets `value` instead
// (or is left out when `value` is empty).
std::string calibration(int n, const std::string &key = "", const std::string &value = "") {
    const std::pair<std::string, std::string> members[] = {{"ch", "1"},
                                                           {"scene_id", "4"},
                                                           {"point_num", std::to_string(n)},
                                                           {"point_imgs", points(n, 100)},
                                                           {"point_wlds", points(n, 200)},
                                                           {"ipc_high", "350"},
                                                           {"ipc_param", xyz(1, 2, 3)},
                                                           {"coordinate_o", xyz(4, 5, 6)},
                                                           {"coordinate_x", xyz(7, 8, 9)},
                                                           {"coordinate_y", xyz(10, 11, 12)}};
    std::string out = R"({"command":51)";
    for (const auto &[k, v] : members)
        if (k != key || !value.empty())
            out += ",\"" + k + "\":" + (k == key ? value : v);
    return out + "}";
}

TEST_F(CalibrationTest, CalibrationRecordCarriesPairsMountingAndAxes) {
    Command cmd(calibration(2));
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xC6);
    Bytes expected(544);
    expected.put(0, 544).put(4, 4).put(8, 2).put(492, 350);
    for (int32_t i = 0; i < 6; ++i)
        expected.put(12 + 4 * i, 100 + i).put(252 + 4 * i, 200 + i);
    for (int32_t i = 0; i < 12; ++i)
        expected.put(496 + 4 * i, i + 1);
    EXPECT_EQ(input(call), expected.data);

    Command none(calibration(0));
    EXPECT_EQ(set(none), 1);
    EXPECT_EQ(word_at(calls().back().in, 8), 0);
}

TEST_F(CalibrationTest, CalibrationRefusalsSendNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {calibration(3, "point_wlds", points(2, 0)),
         "wlds_len != point_num || wlds_len > REFERENCE_POINT_NUM_MAX, wlds_len: 2, point_num: 3, "
         "<json_to_calibration_reference>"},
        {calibration(21), "imgs_len != point_num || imgs_len > REFERENCE_POINT_NUM_MAX, imgs_len: 21, point_num: 21, "
                          "<json_to_calibration_reference>"},
        {calibration(2, "point_imgs", "[" + xyz(1, 1, 1) + "," + xyz(1, 1, -1) + "]"), "z == -1, i: 1, jso_point_img"},
        {calibration(1, "point_wlds", R"([[1,2,3]])"), "x == -1, j: 0, jso_point_wld"},
        {calibration(1, "point_imgs", R"({"x":1})"),
         "!json_object_is_type(jso_point_imgs, json_type_array), <json_to_calibration_reference>"},
        {calibration(1, "coordinate_x"), "is_error(jso_coordinate_x), <json_to_calibration_reference>"},
        {calibration(1, "ipc_param", "7"), "is_error(jso_ipc_param), <json_to_calibration_reference>"},
        {calibration(1, "coordinate_y", R"({"x":1,"y":-1,"z":1})"),
         "coordinate_y_y == -1, <json_to_calibration_reference>"},
    };
    for (const auto &[json, message] : cases) {
        Command cmd(json);
        EXPECT_EQ(set(cmd), 0) << json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.messages(), (Lines{message, "!json_to_sdk_param(jso, &param), <set_calibration_reference>"}));
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(CalibrationTest, CalibrationReplyBoundsArraysToTheRecord) {
    Bytes record(544);
    record.put(4, 6).put(8, 25).put(492, 77);
    for (int32_t i = 0; i < 60; ++i)
        record.put(12 + 4 * i, i).put(252 + 4 * i, 1000 + i);
    for (int32_t i = 0; i < 12; ++i)
        record.put(496 + 4 * i, 50 + i);
    answer("NetClient_VCAGetConfig", 0xC6, record);
    Command cmd(R"({"command":38,"ch":2,"scene_id":6})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(input(only_call()), Bytes(544).put(0, 544).put(4, 6).data);
    // Twenty pairs whatever the device's count says.
    const std::string reply = cmd.reply();
    EXPECT_EQ(reply.rfind(R"({ "scene_id": 6, "point_num": 25, "point_imgs": [ { "x": 0, "y": 1, "z": 2 }, )", 0), 0u);
    EXPECT_NE(reply.find(R"({ "x": 57, "y": 58, "z": 59 } ], "point_wlds": [ { "x": 1000,)"), std::string::npos);
    EXPECT_NE(reply.find(R"({ "x": 1057, "y": 1058, "z": 1059 } ], "ipc_high": 77, "ipc_param": { "x": 50, "y": 51, )"
                         R"("z": 52 }, "coordinate_o": { "x": 53, "y": 54, "z": 55 }, "coordinate_x": { "x": 56, )"
                         R"("y": 57, "z": 58 }, "coordinate_y": { "x": 59, "y": 60, "z": 61 } })"),
              std::string::npos)
        << reply;

    fail("NetClient_VCAGetConfig", 0xC6, -1, 0x1F);
    Command failed(cmd.text);
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(failed.opit.out_buf, nullptr);
    EXPECT_EQ(log.messages(),
              Lines{"NetClient_VCAGetConfig VCA_CMD_CALIBRATION_REFERENCE fail, host_id: dev-0001, ch: 2, error: 1f"});
}

TEST_F(CalibrationTest, BoundaryDefaultsToSceneZeroAndAnswersItsPoints) {
    Command cmd(R"({"command":58,"ch":3,"enable":1,"point_num":2,"point_wlds":)" + points(2, 1) + "}");
    EXPECT_EQ(set(cmd), 1);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xC7);
    Bytes expected(252);
    expected.put(4, 1).put(8, 2);
    for (int32_t i = 0; i < 6; ++i)
        expected.put(12 + 4 * i, 1 + i);
    EXPECT_EQ(input(call), expected.data);

    Bytes record(252);
    record.put(0, 2).put(4, 1).put(8, 4);
    for (int32_t i = 0; i < 12; ++i)
        record.put(12 + 4 * i, i);
    answer("NetClient_VCAGetConfig", 0xC7, record);
    Command query(R"({"command":39,"ch":3,"scene_id":2})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(),
              R"({ "enable": 1, "scene_id": 2, "point_num": 4, "point_wlds": [ { "x": 0, "y": 1, "z": 2 }, )"
              R"({ "x": 3, "y": 4, "z": 5 }, { "x": 6, "y": 7, "z": 8 }, { "x": 9, "y": 10, "z": 11 } ] })");
}

TEST_F(CalibrationTest, BoundaryRefusals) {
    const struct {
        const char *json;
        const char *message;
        int error;
    } cases[] = {
        {R"({"command":58,"ch":3,"scene_id":-1,"enable":1,"point_num":0,"point_wlds":[]})",
         "scene_id == -1, <json_to_ref_boundary>", CMD_ZEL_EINVAL},
        {R"({"command":58,"ch":3,"enable":0,"point_wlds":[]})", "point_num == -1, <json_to_ref_boundary>",
         test::kSentinelErrno},
        {R"({"command":58,"ch":3,"enable":0,"point_num":1,"point_wlds":[]})",
         "wlds_len != point_num || wlds_len > REFERENCE_POINT_NUM_MAX, wlds_len: 0, point_num: 1, "
         "<json_to_ref_boundary>",
         test::kSentinelErrno},
        {R"({"command":58,"ch":3,"enable":0,"point_num":1,"point_wlds":[{"x":1,"y":-1,"z":0}]})",
         "y == -1, i: 0, jso_point_wld", CMD_ZEL_EINVAL},
    };
    for (const auto &c : cases) {
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0) << c.json;
        EXPECT_EQ(err, c.error) << c.json;
        EXPECT_EQ(log.messages(), (Lines{c.message, "!json_to_ref_boundary(jso, &param), <set_ref_boundary>"}));
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

}  // namespace
