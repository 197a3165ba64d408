// Detection algorithm settings: face detection over the whole picture, the
// detection switch, temperature and people statistics.
#include "vca_fixture.h"

namespace {

using namespace vca_test;
using DetectionTest = VcaTest;

std::string face_detect(const std::string &area) {
    return R"({"command":26,"channel":2,"scene_id":1,"max_size":2,"min_size":3,"level":4,"sensitiv":5,)"
           R"("pic_scale":6,"snap_enable":7,"snap_space":8,"snap_times":9,"point_num":10,"display_target":11,)"
           R"("exposure_bright":12,"display_rule":13,"min_sizeex":14,"max_sizeex":15,"push_mode":16,"push_level":17,)"
           R"("snap_mode":18,"snap_level":19,"dentification":20,"qpvalue_big":21)" +
           (area.empty() ? "" : R"(,"point_area":)" + area) + "}";
}

TEST_F(DetectionTest, FaceDetectionCoversTheWholePicture) {
    // The area always becomes the picture of the channel's video size code.
    const struct {
        int32_t code, result, width, height;
        std::string area;
        Lines log;
    } cases[] = {
        {12, 0, 1920, 1080, point_list(5), {}},
        {0x40F00280, 0, 640, 480, "[]", {"video size: (640x480) value:40f00280 "}},
        {8, 0, 0, 0, "[]", {"no support video size: 8", "get_size_x <= 0 || get_size_y <= 0"}},
        {0x40F00000, 0, 0, 0, "[]", {"video size: (0x480) value:40f00000 ", "get_size_x <= 0 || get_size_y <= 0"}},
        {12, -1, 0, 0, "[]", {"NetClient_GetVideoSize false!"}},
        {12, 0, 0, 0, "", {"is_error(jso_arry_areas)", "parse_face_detect_arithmetic_param failed"}},
    };
    for (const auto &c : cases) {
        sdk_sim_set_answer("NetClient_GetVideoSizeEx", SDK_SIM_ANY, c.result, 0, &c.code, sizeof c.code);
        if (c.width == 0) {
            refused(face_detect(c.area), c.log);
            continue;
        }
        sdk_sim_call call = request(face_detect(c.area));
        EXPECT_EQ(log.messages(), c.log);
        EXPECT_EQ(call.cmd, 0x1A);
        const int32_t w = c.width, h = c.height;
        const FaceDetectArithmetic expected{
            500, 1,  2,  3,  4,  5,  6,  7,  8,  9,  4, {{0, 0}, {w, 0}, {w, h}, {0, h}},
            11,  12, 13, 14, 15, 16, 17, 18, 19, 20, 0, 21};
        EXPECT_EQ(input(call), image(expected).data) << c.code;
    }

    // The area walk stops after 32 usable points: later elements are not looked at.
    std::string area = R"([null,{"x":1},{"y":1})";
    for (int i = 0; i < 32; ++i)
        area += R"(,{"x":1,"y":1})";
    request(face_detect(area + R"(,null,{"x":-1,"y":0}])"));
    EXPECT_EQ(log.messages(), (Lines{"is_error(jso_point_area)", "y < 0", "x < 0"}));
}

TEST_F(DetectionTest, DetectionSwitchRewritesOnlyTheSwitchAndDeviceType) {
    Bytes device(500, 0x3D);
    for (auto [enable, written] : {std::pair{1, 2}, {0, 1}, {5, 1}}) {
        sdk_sim_reset();
        answer("NetClient_GetDevConfig", 0x1A, device);
        request(R"({"command":45,"ch":1,"dev_type":3,"sceneid":2,"enable":)" + std::to_string(enable) + "}");
        EXPECT_EQ(input(calls()[0]), image(FaceDetectArithmetic{.size = 500, .scene_id = 2, .dev_type = 3}).data);
        EXPECT_EQ(input(calls()[1]), Bytes(device).put(336, written).put(340, 3).data) << enable;
    }

    answer("NetClient_GetDevConfig", 0x1A, image(FaceDetectArithmetic{.dentification = 2, .dev_type = 9}));
    EXPECT_EQ(reply_to(R"({"command":37,"ch":1,"dev_type":3,"sceneid":2})"), R"({ "dev_type": 3, "enable": 2 })");

    fail("NetClient_GetDevConfig", 0x1A, -1);
    refused(R"({"command":45,"ch":1,"dev_type":3,"sceneid":2,"enable":1})",
            {"NetClient_GetDevConfig  NET_CLIENT_FACE_DETECT_ARITHMETIC failed:dev-0001, 1"}, test::kSentinelErrno);
}

TEST_F(DetectionTest, TemperatureKeepsWaitTimeBeforeLossSwitch) {
    const std::string members =
        R"("scene_id":1,"rule_id":2,"valid":3,"display_tem_scale_enable":4,"high_tem_color":5,"low_tem_color":6,)"
        R"("model_type":7,"tem_unit":8,"tem_threshold":9,"temp_lose_enable":10)";
    sdk_sim_call call = request(R"({"command":31,"ch":1,)" + members + R"(,"wait_time":11})");
    EXPECT_EQ(input(call), image(VCATemDetect{48, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 10}).data);
    refused(R"({"command":31,"ch":1,)" + members + "}", {"wait_time < 0", "!form_tem_detect_param(&tem_detect, jso)"});

    answer("NetClient_VCAGetConfig", 0xAF,
           image(VCATemDetect{200, 201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 211}));
    EXPECT_EQ(reply_to(R"({"command":25,"channel":1,"scene_id":1,"rule_id":2,"model_type":3})"),
              R"({ "ch": 1, "scene_id": 201, "rule_id": 202, "valid": 203, "display_tem_scale_enable": 204, )"
              R"("high_tem_color": 205, "low_tem_color": 206, "model_type": 207, "tem_unit": 208, )"
              R"("tem_threshold": 209, "temp_lose_enable": 211, "wait_time": 210 })");
    EXPECT_EQ(input(calls().back()),
              image(VCATemDetect{.size = 48, .scene_id = 1, .rule_id = 2, .model_type = 3}).data);
}

TEST_F(DetectionTest, PeopleStatisticsReportOddValuesButRefuseWhatDoesNotFit) {
    sdk_sim_call call =
        request(R"({"command":47,"scene_id":1,"mode":2,"target_max_size":3,"target_min_size":4,"sensitiv":5,)"
                R"("detect_type":6,"point_num":3,"point":[{"x":1,"y":2},null,{"x":5,"y":6}],"polygon_point_num":1,)"
                R"("polygon_point":[{"x":7,"y":8}],"display_target":9,"min_size_ex":10,"stay_num":-4,"clear_mode":12,)"
                R"("max_num":0,"hour":14,"minute":15,"enable":16})");
    EXPECT_EQ(log.messages(),
              (Lines{"ch < 0, host_id:dev-0001", "point == NULL", "stay_num < 0, host_id:dev-0001, ch:2147483647",
                     "max_num < 1, host_id:dev-0001, ch:2147483647"}));
    EXPECT_EQ(call.ch, 0x7FFFFFFF);
    const PersonStatisticArithmetic expected{580, 1,  2,  3,  4, 5,  6,  3, {{1, 2}, {}, {5, 6}}, 1, {{7, 8}},
                                             9,   10, -4, 12, 0, 14, 15, 16};
    EXPECT_EQ(input(call), image(expected).data);

    const std::string head = R"({"command":47,"ch":1,"scene_id":0,"mode":0,"target_max_size":0,"target_min_size":0,)"
                             R"("sensitiv":0,"detect_type":0,)";
    refused(head + R"("polygon_point":)" + point_list(33) + "}",
            {"polygon_point_num  > VCA_MAX_POLYGON_POINT_NUMEX, host_id:dev-0001, ch:1"});

    // The reply refuses counts beyond the record.
    PersonStatisticArithmetic device{0,  1,  2,  3,  4,  5,  6,  2, {{11, 12}, {13, 14}}, 1, {{21, 22}},
                                     30, 31, 32, 33, 34, 35, 36, 37};
    answer("NetClient_GetDevConfig", 0x1B, image(device));
    const std::string query = R"({"command":34,"ch":2,"scene_id":1,"mode":0})";
    EXPECT_EQ(
        reply_to(query),
        R"({ "scene_id": 1, "mode": 2, "target_max_size": 3, "target_min_size": 4, "sensitiv": 5, "detect_type": 6, )"
        R"("point_num": 2, "point": [ { "x": 11, "y": 12 }, { "x": 13, "y": 14 } ], "polygon_point_num": 1, )"
        R"("polygon_point": [ { "x": 21, "y": 22 } ], "display_target": 30, "min_size_ex": 31, "stay_num": 32, )"
        R"("clear_mode": 33, "max_num": 34, "hour": 35, "minute": 36, "enable": 37 })");

    device.polygon_point_num = 33;
    answer("NetClient_GetDevConfig", 0x1B, image(device));
    EXPECT_EQ(refused_get(query, {"param.stRegion.iPointNum > VCA_MAX_POLYGON_POINT_NUMEX, host_id:dev-0001, ch:2"}),
              "");
}

}  // namespace
