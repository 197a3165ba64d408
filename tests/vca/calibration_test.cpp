// Scene calibration and reference boundary: JSON to record and back.
#include <json-c/json.h>

#include "vca_fixture.h"

namespace {

using namespace vca_test;
using CalibrationTest = VcaTest;

// `n` triples counting up from `base`.
std::string points(int n, int base) {
    std::string out = "[";
    for (int i = 0, v = base; i < n; ++i, v += 3)
        out += (i ? ",{\"x\":" : "{\"x\":") + std::to_string(v) + ",\"y\":" + std::to_string(v + 1) +
               ",\"z\":" + std::to_string(v + 2) + "}";
    return out + "]";
}

// A calibration command of `n` reference pairs; `key` gets the JSON text
// `value` instead, or is left out when `value` is empty.
std::string calibration(int n, const char *key = "", const std::string &value = "") {
    json_object *cmd =
        json_tokener_parse((R"({"command":51,"ch":1,"scene_id":4,"point_num":)" + std::to_string(n) +
                            R"(,"point_imgs":)" + points(n, 100) + R"(,"point_wlds":)" + points(n, 200) +
                            R"(,"ipc_high":350,"ipc_param":{"x":1,"y":2,"z":3},"coordinate_o":{"x":4,"y":5,"z":6},)"
                            R"("coordinate_x":{"x":7,"y":8,"z":9},"coordinate_y":{"x":10,"y":11,"z":12}})")
                               .c_str());
    json_object_object_del(cmd, key);
    if (!value.empty())
        json_object_object_add(cmd, key, json_tokener_parse(value.c_str()));
    std::string text = json_object_to_json_string(cmd);
    json_object_put(cmd);
    return text;
}

TEST_F(CalibrationTest, CalibrationRecordAndReply) {
    sdk_sim_call call = request(calibration(2));
    EXPECT_EQ(call.cmd, 0xC6);
    VCACalibrationReference expected{544, 4, 2, {{100, 101, 102}, {103, 104, 105}}, {{200, 201, 202}, {203, 204, 205}}};
    expected.ipc_high = 350;
    expected.ipc_param = {1, 2, 3};
    expected.coordinate_o = {4, 5, 6};
    expected.coordinate_x = {7, 8, 9};
    expected.coordinate_y = {10, 11, 12};
    EXPECT_EQ(input(call), image(expected).data);
    EXPECT_EQ(word_at(request(calibration(0)).in, 8), 0);

    const std::pair<std::string, std::string> refusals[] = {
        {calibration(3, "point_wlds", points(2, 0)),
         "wlds_len != point_num || wlds_len > REFERENCE_POINT_NUM_MAX, wlds_len: 2, point_num: 3, "
         "<json_to_calibration_reference>"},
        {calibration(21), "imgs_len != point_num || imgs_len > REFERENCE_POINT_NUM_MAX, imgs_len: 21, point_num: 21, "
                          "<json_to_calibration_reference>"},
        {calibration(2, "point_imgs", R"([{"x":1,"y":1,"z":1},{"x":1,"y":1,"z":-1}])"), "z == -1, i: 1, jso_point_img"},
        {calibration(1, "point_wlds", R"([[1,2,3]])"), "x == -1, j: 0, jso_point_wld"},
        {calibration(1, "point_imgs", R"({"x":1})"),
         "!json_object_is_type(jso_point_imgs, json_type_array), <json_to_calibration_reference>"},
        {calibration(1, "coordinate_x"), "is_error(jso_coordinate_x), <json_to_calibration_reference>"},
        {calibration(1, "coordinate_y", R"({"x":1,"y":-1,"z":1})"),
         "coordinate_y_y == -1, <json_to_calibration_reference>"},
    };
    for (const auto &[json, message] : refusals)
        refused(json, {message, "!json_to_sdk_param(jso, &param), <set_calibration_reference>"});

    // The reply holds no more pairs than the record.
    VCACalibrationReference record{
        0, 6, 1, {{1, 2, 3}}, {{4, 5, 6}}, 77, {50, 51, 52}, {53, 54, 55}, {56, 57, 58}, {59, 60, 61}};
    answer("NetClient_VCAGetConfig", 0xC6, image(record));
    const std::string query = R"({"command":38,"ch":2,"scene_id":6})";
    EXPECT_EQ(reply_to(query),
              R"({ "scene_id": 6, "point_num": 1, "point_imgs": [ { "x": 1, "y": 2, "z": 3 } ], "point_wlds": [ )"
              R"({ "x": 4, "y": 5, "z": 6 } ], "ipc_high": 77, "ipc_param": { "x": 50, "y": 51, "z": 52 }, )"
              R"("coordinate_o": { "x": 53, "y": 54, "z": 55 }, "coordinate_x": { "x": 56, "y": 57, "z": 58 }, )"
              R"("coordinate_y": { "x": 59, "y": 60, "z": 61 } })");
    EXPECT_EQ(input(calls().back()), image(VCACalibrationReference{544, 6}).data);

    // Twenty pairs whatever the device's count says.
    record.point_num = 25;
    record.point_imgs[19] = {7, 7, 7};
    record.point_wlds[19] = {8, 8, 8};
    answer("NetClient_VCAGetConfig", 0xC6, image(record));
    const std::string reply = reply_to(query);
    EXPECT_NE(reply.find(R"({ "x": 7, "y": 7, "z": 7 } ], "point_wlds")"), std::string::npos) << reply;
    EXPECT_NE(reply.find(R"({ "x": 8, "y": 8, "z": 8 } ], "ipc_high")"), std::string::npos) << reply;

    fail("NetClient_VCAGetConfig", 0xC6, -1, 0x1F);
    EXPECT_EQ(
        refused_get(query,
                    {"NetClient_VCAGetConfig VCA_CMD_CALIBRATION_REFERENCE fail, host_id: dev-0001, ch: 2, error: 1f"},
                    test::kSentinelErrno),
        "");
}

TEST_F(CalibrationTest, BoundaryDefaultsToSceneZeroAndAnswersItsPoints) {
    sdk_sim_call call = request(R"({"command":58,"ch":3,"enable":1,"point_num":2,"point_wlds":)" + points(2, 1) + "}");
    EXPECT_EQ(call.cmd, 0xC7);
    EXPECT_EQ(input(call), image(VCARefBoundary{0, 1, 2, {{1, 2, 3}, {4, 5, 6}}}).data);

    answer("NetClient_VCAGetConfig", 0xC7,
           image(VCARefBoundary{2, 1, 4, {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9, 10, 11}}}));
    EXPECT_EQ(reply_to(R"({"command":39,"ch":3,"scene_id":2})"),
              R"({ "enable": 1, "scene_id": 2, "point_num": 4, "point_wlds": [ { "x": 0, "y": 1, "z": 2 }, )"
              R"({ "x": 3, "y": 4, "z": 5 }, { "x": 6, "y": 7, "z": 8 }, { "x": 9, "y": 10, "z": 11 } ] })");

    // Refusals; a wrong point count sets no error code.
    const std::string head = R"({"command":58,"ch":3,"enable":0,)";
    const struct {
        std::string json;
        const char *message;
        int error;
    } cases[] = {
        {head + R"("scene_id":-1,"point_num":0,"point_wlds":[]})", "scene_id == -1, <json_to_ref_boundary>",
         CMD_ZEL_EINVAL},
        {head + R"("point_wlds":[]})", "point_num == -1, <json_to_ref_boundary>", test::kSentinelErrno},
        {head + R"("point_num":1,"point_wlds":[]})",
         "wlds_len != point_num || wlds_len > REFERENCE_POINT_NUM_MAX, wlds_len: 0, point_num: 1, "
         "<json_to_ref_boundary>",
         test::kSentinelErrno},
        {head + R"("point_num":1,"point_wlds":[{"x":1,"y":-1,"z":0}]})", "y == -1, i: 0, jso_point_wld",
         CMD_ZEL_EINVAL},
    };
    for (const auto &c : cases)
        refused(c.json, {c.message, "!json_to_ref_boundary(jso, &param), <set_ref_boundary>"}, c.error);
}

}  // namespace
