// Detection algorithm settings: face detection over the whole picture, the
// detection switch, temperature and people statistics.
#include "vca_fixture.h"

namespace {

using namespace vca_test;
using DetectionTest = VcaTest;

std::string face_detect(const std::string &area, const std::string &extra = "") {
    return R"({"command":26,"channel":2,"scene_id":1,"max_size":2,"min_size":3,"level":4,"sensitiv":5,)"
           R"("pic_scale":6,"snap_enable":7,"snap_space":8,"snap_times":9,"point_num":10,"display_target":11,)"
           R"("exposure_bright":12,"display_rule":13,"min_sizeex":14,"max_sizeex":15,"push_mode":16,"push_level":17,)"
           R"("snap_mode":18,"snap_level":19,"dentification":20,"qpvalue_big":21)" +
           extra + (area.empty() ? "" : R"(,"point_area":)" + area) + "}";
}

void video_size(int32_t code, int32_t result = 0) {
    sdk_sim_set_answer("NetClient_GetVideoSizeEx", SDK_SIM_ANY, result, 0, &code, sizeof code);
}

TEST_F(DetectionTest, FaceDetectionCoversTheWholePicture) {
    const struct {
        int32_t code, width, height;
        Lines log;
    } cases[] = {
        {12, 1920, 1080, {}},
        {0x1200, 4000, 3072, {}},
        {0x40F00280, 640, 480, {"video size: (640x480) value:40f00280 "}},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        video_size(c.code);
        Command cmd(face_detect(R"([{"x":5,"y":5},{"x":6,"y":6},{"x":7,"y":7},{"x":8,"y":8},{"x":9,"y":9}])"));
        EXPECT_EQ(set(cmd), 1) << c.code;
        EXPECT_EQ(log.messages(), c.log);
        auto all = calls();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_EQ(all[1].cmd, 0x1A);
        Bytes expected(500);
        expected.put(0, 500).put(40, 4).put(344, 21);
        for (int32_t i = 1; i <= 9; ++i)
            expected.put(4 * i, i);
        for (int32_t i = 0; i < 10; ++i)
            expected.put(300 + 4 * i, 11 + i);
        expected.put(52, c.width).put(60, c.width).put(64, c.height).put(72, c.height);
        EXPECT_EQ(input(all[1]), expected.data) << c.code;
    }
}

TEST_F(DetectionTest, FaceDetectionRefusals) {
    const struct {
        int32_t code, result;
        std::string json;
        Lines messages;
    } cases[] = {
        {8, 0, face_detect("[]"), {"no support video size: 8", "get_size_x <= 0 || get_size_y <= 0"}},
        {0x40000000 | (480 << 15),
         0,
         face_detect("[]"),
         {"video size: (0x480) value:40f00000 ", "get_size_x <= 0 || get_size_y <= 0"}},
        {12, -1, face_detect("[]"), {"NetClient_GetVideoSize false!"}},
        {12, 0, face_detect(""), {"is_error(jso_arry_areas)", "parse_face_detect_arithmetic_param failed"}},
    };
    for (const auto &c : cases) {
        video_size(c.code, c.result);
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0);
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.messages(), c.messages);
    }
    EXPECT_EQ(sdk_sim_call_count(), 3);  // no detection record was sent

    // The area walk stops after 32 usable points: later elements are not looked at.
    std::string area = R"([null,{"x":1},{"y":1})";
    for (int i = 0; i < 32; ++i)
        area += R"(,{"x":1,"y":1})";
    Command walk(face_detect(area + R"(,null,{"x":-1,"y":0}])"));
    EXPECT_EQ(set(walk), 1);
    EXPECT_EQ(log.messages(), (Lines{"is_error(jso_point_area)", "y < 0", "x < 0"}));
}

TEST_F(DetectionTest, DetectionSwitchRewritesOnlyTheSwitchAndDeviceType) {
    Bytes device(500, 0x3D);
    for (auto [enable, written] : {std::pair{1, 2}, {0, 1}, {5, 1}}) {
        sdk_sim_reset();
        answer("NetClient_GetDevConfig", 0x1A, device);
        Command cmd(R"({"command":45,"ch":1,"dev_type":3,"sceneid":2,"enable":)" + std::to_string(enable) + "}");
        EXPECT_EQ(set(cmd), 1);
        auto all = calls();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_EQ(input(all[0]), Bytes(500).put(0, 500).put(4, 2).put(340, 3).data);
        EXPECT_EQ(input(all[1]), Bytes(device).put(336, written).put(340, 3).data) << enable;
    }

    answer("NetClient_GetDevConfig", 0x1A, Bytes(500).put(336, 2).put(340, 9));
    Command query(R"({"command":37,"ch":1,"dev_type":3,"sceneid":2})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(), R"({ "dev_type": 3, "enable": 2 })");

    fail("NetClient_GetDevConfig", 0x1A, -1);
    Command failed(R"({"command":45,"ch":1,"dev_type":3,"sceneid":2,"enable":1})");
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(log.messages(), Lines{"NetClient_GetDevConfig  NET_CLIENT_FACE_DETECT_ARITHMETIC failed:dev-0001, 1"});
}

TEST_F(DetectionTest, TemperatureKeepsWaitTimeBeforeLossSwitch) {
    const std::string members =
        R"("scene_id":1,"rule_id":2,"valid":3,"display_tem_scale_enable":4,"high_tem_color":5,"low_tem_color":6,)"
        R"("model_type":7,"tem_unit":8,"tem_threshold":9,"temp_lose_enable":10)";
    Command cmd(R"({"command":31,"ch":1,)" + members + R"(,"wait_time":11})");
    EXPECT_EQ(set(cmd), 1);
    Bytes expected(48);
    for (int32_t i = 1; i <= 9; ++i)
        expected.put(4 * i, i);
    EXPECT_EQ(input(only_call()), expected.put(0, 48).put(40, 11).put(44, 10).data);

    Command incomplete(R"({"command":31,"ch":1,)" + members + "}");
    EXPECT_EQ(set(incomplete), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), (Lines{"wait_time < 0", "!form_tem_detect_param(&tem_detect, jso)"}));
    EXPECT_EQ(sdk_sim_call_count(), 1);

    Bytes device(48);
    for (int32_t i = 0; i < 12; ++i)
        device.put(4 * i, 200 + i);
    answer("NetClient_VCAGetConfig", 0xAF, device);
    Command query(R"({"command":25,"channel":1,"scene_id":1,"rule_id":2,"model_type":3})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(),
              R"({ "ch": 1, "scene_id": 201, "rule_id": 202, "valid": 203, "display_tem_scale_enable": 204, )"
              R"("high_tem_color": 205, "low_tem_color": 206, "model_type": 207, "tem_unit": 208, )"
              R"("tem_threshold": 209, "temp_lose_enable": 211, "wait_time": 210 })");
    EXPECT_EQ(input(calls().back()), Bytes(48).put(0, 48).put(4, 1).put(8, 2).put(28, 3).data);
}

// A literal put in front of a temporary string: see PREPEND_TO_TEMPORARY_BEGIN.
PREPEND_TO_TEMPORARY_BEGIN
std::string point_list(int n) {
    std::string out = "[";
    for (int i = 0; i < n; ++i)
        out +=
            (i ? "," : "") + std::string(R"({"x":)") + std::to_string(i + 1) + R"(,"y":)" + std::to_string(i + 2) + "}";
    return out + "]";
}
PREPEND_TO_TEMPORARY_END

TEST_F(DetectionTest, PeopleStatisticsReportsOddValuesButSendsThem) {
    Command cmd(R"({"command":47,"scene_id":1,"mode":2,"target_max_size":3,"target_min_size":4,"sensitiv":5,)"
                R"("detect_type":6,"point_num":3,"point":[{"x":1,"y":2},null,{"x":5,"y":6}],"polygon_point_num":1,)"
                R"("polygon_point":[{"x":7,"y":8}],"display_target":9,"min_size_ex":10,"stay_num":-4,"clear_mode":12,)"
                R"("max_num":0,"hour":14,"minute":15,"enable":16})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(log.messages(),
              (Lines{"ch < 0, host_id:dev-0001", "point == NULL", "stay_num < 0, host_id:dev-0001, ch:2147483647",
                     "max_num < 1, host_id:dev-0001, ch:2147483647"}));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.ch, 0x7FFFFFFF);
    Bytes expected(580);
    for (int32_t i = 0; i < 7; ++i)
        expected.put(4 * i, i);
    expected.put(0, 580).put(28, 3).put(32, 1).put(36, 2).put(48, 5).put(52, 6);
    expected.put(288, 1).put(292, 7).put(296, 8);
    const int32_t tail[] = {9, 10, -4, 12, 0, 14, 15, 16};
    for (size_t i = 0; i < std::size(tail); ++i)
        expected.put(548 + 4 * i, tail[i]);
    EXPECT_EQ(input(call), expected.data);

    const std::pair<std::string, std::string> refusals[] = {
        {R"({"command":47,"ch":1,"point":)" + point_list(33) + "}",
         "piont_num  > MAX_FACE_DETECT_AREA_COUNT, host_id:dev-0001, ch:1"},
        {R"({"command":47,"ch":1,"polygon_point":)" + point_list(33) + "}",
         "polygon_point_num  > VCA_MAX_POLYGON_POINT_NUMEX, host_id:dev-0001, ch:1"},
        {R"({"command":47,"ch":1,"point":{"x":1}})",
         "!json_object_is_type(points, json_type_array), host_id:dev-0001, ch:1"},
    };
    for (const auto &[json, message] : refusals) {
        Command refused(json);
        EXPECT_EQ(set(refused), 0);
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.messages().back(), message);
    }
    EXPECT_EQ(sdk_sim_call_count(), 1);
}

TEST_F(DetectionTest, PeopleStatisticsReplyRefusesCountsBeyondTheRecord) {
    Bytes device(580);
    for (int32_t i = 1; i < 7; ++i)
        device.put(4 * i, i);
    device.put(28, 2).put(32, 11).put(36, 12).put(40, 13).put(44, 14).put(288, 1).put(292, 21).put(296, 22);
    for (int32_t i = 0; i < 8; ++i)
        device.put(548 + 4 * i, 30 + i);
    answer("NetClient_GetDevConfig", 0x1B, device);
    Command query(R"({"command":34,"ch":2,"scene_id":1,"mode":0})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(
        query.reply(),
        R"({ "scene_id": 1, "mode": 2, "target_max_size": 3, "target_min_size": 4, "sensitiv": 5, "detect_type": 6, )"
        R"("point_num": 2, "point": [ { "x": 11, "y": 12 }, { "x": 13, "y": 14 } ], "polygon_point_num": 1, )"
        R"("polygon_point": [ { "x": 21, "y": 22 } ], "display_target": 30, "min_size_ex": 31, "stay_num": 32, )"
        R"("clear_mode": 33, "max_num": 34, "hour": 35, "minute": 36, "enable": 37 })");

    answer("NetClient_GetDevConfig", 0x1B, device.put(288, 33));
    Command refused(query.text);
    EXPECT_EQ(get(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(refused.opit.out_buf, nullptr);
    EXPECT_EQ(log.messages(), Lines{"param.stRegion.iPointNum > VCA_MAX_POLYGON_POINT_NUMEX, host_id:dev-0001, ch:2"});
}

}  // namespace
