// Detection algorithm settings: face detection over the whole picture, the
// detection switch, fireworks, temperature and people statistics.
#include "vca_fixture.h"

namespace {

using namespace vca_test;
using Lines = std::vector<std::string>;

using DetectionTest = VcaTest;

const char *kFaceMembers =
    R"("scene_id":1,"max_size":2,"min_size":3,"level":4,"sensitiv":5,"pic_scale":6,"snap_enable":7,"snap_space":8,)"
    R"("snap_times":9,"point_num":10,"display_target":11,"exposure_bright":12,"display_rule":13,"min_sizeex":14,)"
    R"("max_sizeex":15,"push_mode":16,"push_level":17,"snap_mode":18,"snap_level":19,"dentification":20,"qpvalue_big":21)";

std::string face_detect(const std::string &area, const std::string &extra = "") {
    return std::string(R"({"command":26,"channel":2,)") + kFaceMembers + extra + R"(,"point_area":)" + area + "}";
}

void video_size(int32_t code, int32_t result = 0) {
    sdk_sim_set_answer("NetClient_GetVideoSizeEx", SDK_SIM_ANY, result, 0, &code, sizeof code);
}

TEST_F(DetectionTest, FaceDetectionCoversTheWholePicture) {
    struct Case {
        int32_t code;
        int32_t width, height;
        std::string log;
    } cases[] = {
        {12, 1920, 1080, ""},
        {0x1200, 4000, 3072, ""},
        {0x40F00280, 640, 480, "video size: (640x480) value:40f00280 "},
    };
    for (const Case &c : cases) {
        sdk_sim_reset();
        log.clear();
        video_size(c.code);
        Command cmd(face_detect(R"([{"x":5,"y":5},{"x":6,"y":6},{"x":7,"y":7},{"x":8,"y":8},{"x":9,"y":9}])"));
        EXPECT_EQ(set(cmd), 1) << c.code;
        EXPECT_EQ(err, test::kSentinelErrno);
        EXPECT_EQ(log.messages(), c.log.empty() ? Lines{} : Lines{c.log});
        auto all = calls();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_STREQ(all[0].function, "NetClient_GetVideoSizeEx");
        EXPECT_EQ(all[0].ch, 2);
        const sdk_sim_call &write = all[1];
        EXPECT_EQ(write.cmd, 0x1A);
        ASSERT_EQ(write.in_len, 500);
        EXPECT_EQ(word_at(write.in, 0), 500);
        for (int32_t i = 1; i <= 9; ++i)
            EXPECT_EQ(word_at(write.in, 4 * i), i);
        EXPECT_EQ(word_at(write.in, 40), 4);
        const int32_t area[] = {0, 0, c.width, 0, c.width, c.height, 0, c.height, 0, 0};
        for (size_t i = 0; i < std::size(area); ++i)
            EXPECT_EQ(word_at(write.in, 44 + 4 * i), area[i]) << c.code;
        for (int32_t i = 0; i < 10; ++i)
            EXPECT_EQ(word_at(write.in, 300 + 4 * i), 11 + i);
        EXPECT_EQ(word_at(write.in, 340), 0);  // optional members default to 0
        EXPECT_EQ(word_at(write.in, 344), 21);
        EXPECT_EQ(word_at(write.in, 356), 0);
    }
}

TEST_F(DetectionTest, FaceDetectionRefusals) {
    video_size(8);
    Command unknown(face_detect("[]"));
    EXPECT_EQ(set(unknown), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), (Lines{"no support video size: 8", "get_size_x <= 0 || get_size_y <= 0"}));
    EXPECT_EQ(sdk_sim_call_count(), 1);

    // A size code whose embedded size is empty is refused the same way.
    sdk_sim_reset();
    video_size(0x40000000 | (480 << 15));
    log.clear();
    Command no_width(face_detect("[]"));
    EXPECT_EQ(set(no_width), 0);
    EXPECT_EQ(log.messages().back(), "get_size_x <= 0 || get_size_y <= 0");

    sdk_sim_reset();
    video_size(12, -1);
    log.clear();
    Command failed(face_detect("[]"));
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(log.messages(), Lines{"NetClient_GetVideoSize false!"});

    sdk_sim_reset();
    struct Case {
        std::string json;
        Lines messages;
    } cases[] = {
        {face_detect("[]", R"(,"snap_level":-4)"), {"snap_level < 0", "parse_face_detect_arithmetic_param failed"}},
        {face_detect("{}"),
         {"!json_object_is_type(jso_arry_areas, json_type_array)", "parse_face_detect_arithmetic_param failed"}},
        {std::string(R"({"command":26,"channel":2,)") + kFaceMembers + "}",
         {"is_error(jso_arry_areas)", "parse_face_detect_arithmetic_param failed"}},
        {std::string(R"({"command":26,"point_area":[]})"), {"ch == -1"}},
    };
    for (const Case &c : cases) {
        log.clear();
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0);
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.messages(), c.messages);
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(DetectionTest, FaceDetectionAreaStopsAfterThirtyTwoUsablePoints) {
    video_size(12);
    std::string area = R"([null,{"x":1},{"y":1})";
    for (int i = 0; i < 32; ++i)
        area += R"(,{"x":1,"y":1})";
    area += R"(,null,{"x":-1,"y":0}])";  // past the 32nd point: not looked at
    Command cmd(face_detect(area));
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(), (Lines{"is_error(jso_point_area)", "y < 0", "x < 0"}));
}

TEST_F(DetectionTest, DetectionSwitchRewritesOnlyTheSwitchAndDeviceType) {
    Bytes device(500);
    for (size_t i = 0; i < 500; ++i)
        device.data[i] = static_cast<uint8_t>(i * 13 + 1);
    for (auto [enable, written] : {std::pair{1, 2}, {0, 1}, {5, 1}}) {
        sdk_sim_reset();
        answer("NetClient_GetDevConfig", 0x1A, device);
        Command cmd(R"({"command":45,"ch":1,"dev_type":3,"sceneid":2,"enable":)" + std::to_string(enable) + "}");
        EXPECT_EQ(set(cmd), 1);
        auto all = calls();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_EQ(word_at(all[0].in, 0), 500);
        EXPECT_EQ(word_at(all[0].in, 4), 2);
        EXPECT_EQ(word_at(all[0].in, 340), 3);
        Bytes expected = device;
        expected.put(336, written).put(340, 3);
        ASSERT_EQ(all[1].in_len, 500);
        EXPECT_EQ(std::vector<uint8_t>(all[1].in, all[1].in + 500), expected.data) << enable;
    }

    answer("NetClient_GetDevConfig", 0x1A, Bytes(500).put(336, 2).put(340, 9));
    Command query(R"({"command":37,"ch":1,"dev_type":3,"sceneid":2})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(), R"({ "dev_type": 3, "enable": 2 })");

    sdk_sim_set_answer("NetClient_GetDevConfig", 0x1A, -1, 0, nullptr, 0);
    log.clear();
    Command failed(R"({"command":45,"ch":1,"dev_type":3,"sceneid":2,"enable":1})");
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(log.messages(), Lines{"NetClient_GetDevConfig  NET_CLIENT_FACE_DETECT_ARITHMETIC failed:dev-0001, 1"});
    Command no_scene(R"({"command":37,"ch":1,"dev_type":3})");
    EXPECT_EQ(get(no_scene), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
}

TEST_F(DetectionTest, FireworksAndSceneCallRecords) {
    Command cmd(R"({"command":30,"ch":4,"scene_id":1,"rule_id":2,"valid":3,"display_rule":4,"display_state":5,)"
                R"("display_target":6,"color":7,"alarm_color":8,"fire_sensitiv":9,"smoke_sensitiv":10,)"
                R"("model_type":11,"wait_time":12})");
    EXPECT_EQ(set(cmd), 1);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xB3);
    EXPECT_EQ(call.ch, 4);
    ASSERT_EQ(call.in_len, 52);
    for (int32_t i = 0; i < 13; ++i)
        EXPECT_EQ(word_at(call.in, 4 * i), i == 0 ? 52 : i);

    log.clear();
    Command refused(std::string(cmd.text).replace(cmd.text.find("\"smoke_sensitiv\":10"), 19, "\"smoke_sensitiv\":-3"));
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), Lines{"smoke_sensitiv < 0"});

    Bytes device(52);
    for (int32_t i = 0; i < 13; ++i)
        device.put(4 * i, 100 + i);
    answer("NetClient_VCAGetConfig", 0xB3, device);
    Command query(R"({"command":24,"channel":4,"scene_id":1,"rule_id":2})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(), R"({ "host_id": "dev-0001", "ch": 4, "scene_id": 101, "rule_id": 102, "valid": 103, )"
                             R"("display_rule": 104, "display_state": 105, "display_target": 106, "color": 107, )"
                             R"("alarm_color": 108, "fire_sensitiv": 109, "smoke_sensitiv": 110, "model_type": 111, )"
                             R"("wait_time": 112 })");
    sdk_sim_call read = calls().back();
    EXPECT_EQ(word_at(read.in, 0), 52);
    EXPECT_EQ(word_at(read.in, 4), 1);
    EXPECT_EQ(word_at(read.in, 8), 2);

    sdk_sim_reset();
    Command scene(R"({"command":27,"channel":0,"type":1,"value":2,"scene_type":3})");
    EXPECT_EQ(set(scene), 1);
    call = only_call();
    EXPECT_EQ(call.cmd, 0x16);
    ASSERT_EQ(call.in_len, 16);
    EXPECT_EQ(word_at(call.in, 0), 16);
    EXPECT_EQ(word_at(call.in, 12), 3);
}

TEST_F(DetectionTest, TemperatureKeepsWaitTimeBeforeLossSwitch) {
    const std::string members =
        R"("scene_id":1,"rule_id":2,"valid":3,"display_tem_scale_enable":4,"high_tem_color":5,"low_tem_color":6,)"
        R"("model_type":7,"tem_unit":8,"tem_threshold":9,"temp_lose_enable":10)";
    Command cmd(R"({"command":31,"ch":1,)" + members + R"(,"wait_time":11})");
    EXPECT_EQ(set(cmd), 1);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0xAF);
    ASSERT_EQ(call.in_len, 48);
    const int32_t expected[] = {48, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 10};
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(word_at(call.in, 4 * i), expected[i]);

    log.clear();
    Command incomplete(R"({"command":31,"ch":1,)" + members + "}");
    EXPECT_EQ(set(incomplete), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), (Lines{"wait_time < 0", "!form_tem_detect_param(&tem_detect, jso)"}));
    EXPECT_EQ(sdk_sim_call_count(), 1);

    sdk_sim_set_answer("NetClient_VCASetConfig", 0xAF, 2, 0, nullptr, 0);
    log.clear();
    Command failed(cmd.text);
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(log.messages(), Lines{"NetClient_VCASetConfig VCA_CMD_TEMDETECT err!ret:2,ch:1,id:dev-0001"});

    Bytes device(48);
    for (int32_t i = 0; i < 12; ++i)
        device.put(4 * i, 200 + i);
    answer("NetClient_VCAGetConfig", 0xAF, device);
    Command query(R"({"command":25,"channel":1,"scene_id":1,"rule_id":2,"model_type":3})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(), R"({ "ch": 1, "scene_id": 201, "rule_id": 202, "valid": 203, "display_tem_scale_enable": 204, )"
                             R"("high_tem_color": 205, "low_tem_color": 206, "model_type": 207, "tem_unit": 208, )"
                             R"("tem_threshold": 209, "temp_lose_enable": 211, "wait_time": 210 })");
    sdk_sim_call read = calls().back();
    EXPECT_EQ(word_at(read.in, 28), 3);  // model type goes with the request
}

std::string point_list(int n) {
    std::string out = "[";
    for (int i = 0; i < n; ++i)
        out += (i ? "," : "") + std::string(R"({"x":)") + std::to_string(i + 1) + R"(,"y":)" + std::to_string(i + 2) + "}";
    return out + "]";
}

TEST_F(DetectionTest, PeopleStatisticsReportsButSendsOddValues) {
    Command cmd(R"({"command":47,"scene_id":1,"mode":2,"target_max_size":3,"target_min_size":4,"sensitiv":5,)"
                R"("detect_type":6,"point_num":3,"point":[{"x":1,"y":2},null,{"x":5,"y":6}],"polygon_point_num":1,)"
                R"("polygon_point":[{"x":7,"y":8}],"display_target":9,"min_size_ex":10,"stay_num":-4,"clear_mode":12,)"
                R"("max_num":0,"hour":14,"minute":15,"enable":16})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(log.messages(), (Lines{"ch < 0, host_id:dev-0001", "point == NULL",
                                     "stay_num < 0, host_id:dev-0001, ch:2147483647",
                                     "max_num < 1, host_id:dev-0001, ch:2147483647"}));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 0x1B);
    EXPECT_EQ(call.ch, 0x7FFFFFFF);
    ASSERT_EQ(call.in_len, 580);
    const int32_t head[] = {580, 1, 2, 3, 4, 5, 6, 3, 1, 2, 0, 0, 5, 6, 0};
    for (size_t i = 0; i < std::size(head); ++i)
        EXPECT_EQ(word_at(call.in, 4 * i), head[i]) << i;
    EXPECT_EQ(word_at(call.in, 288), 1);
    EXPECT_EQ(word_at(call.in, 292), 7);
    EXPECT_EQ(word_at(call.in, 296), 8);
    const int32_t tail[] = {9, 10, -4, 12, 0, 14, 15, 16};
    for (size_t i = 0; i < std::size(tail); ++i)
        EXPECT_EQ(word_at(call.in, 548 + 4 * i), tail[i]);

    for (const char *member : {"point", "polygon_point"}) {
        log.clear();
        Command too_many(std::string(R"({"command":47,"ch":1,")") + member + "\":" + point_list(33) + "}");
        EXPECT_EQ(set(too_many), 0);
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.messages().back(), std::string(member) == "point"
                                             ? "piont_num  > MAX_FACE_DETECT_AREA_COUNT, host_id:dev-0001, ch:1"
                                             : "polygon_point_num  > VCA_MAX_POLYGON_POINT_NUMEX, host_id:dev-0001, ch:1");
    }
    log.clear();
    Command not_array(R"({"command":47,"ch":1,"point":{"x":1}})");
    EXPECT_EQ(set(not_array), 0);
    EXPECT_EQ(log.messages().back(), "!json_object_is_type(points, json_type_array), host_id:dev-0001, ch:1");
    EXPECT_EQ(sdk_sim_call_count(), 1);

    // Thirty-two points fill the record exactly.
    Command full(R"({"command":47,"ch":1,"point":)" + point_list(32) + R"(,"polygon_point":)" + point_list(32) + "}");
    EXPECT_EQ(set(full), 1);
    call = calls().back();
    EXPECT_EQ(word_at(call.in, 32 + 31 * 8), 32);
    EXPECT_EQ(word_at(call.in, 292 + 31 * 8 + 4), 33);
}

TEST_F(DetectionTest, PeopleStatisticsReplyRefusesCountsBeyondTheRecord) {
    Bytes device(580);
    device.put(0, 580);
    for (int32_t i = 1; i < 7; ++i)
        device.put(4 * i, i);
    device.put(28, 2).put(32, 11).put(36, 12).put(40, 13).put(44, 14);
    device.put(288, 1).put(292, 21).put(296, 22);
    for (int32_t i = 0; i < 8; ++i)
        device.put(548 + 4 * i, 30 + i);
    answer("NetClient_GetDevConfig", 0x1B, device);
    Command query(R"({"command":34,"ch":2,"scene_id":1,"mode":0})");
    EXPECT_EQ(get(query), 1);
    EXPECT_EQ(query.reply(),
              R"({ "scene_id": 1, "mode": 2, "target_max_size": 3, "target_min_size": 4, "sensitiv": 5, "detect_type": 6, )"
              R"("point_num": 2, "point": [ { "x": 11, "y": 12 }, { "x": 13, "y": 14 } ], "polygon_point_num": 1, )"
              R"("polygon_point": [ { "x": 21, "y": 22 } ], "display_target": 30, "min_size_ex": 31, "stay_num": 32, )"
              R"("clear_mode": 33, "max_num": 34, "hour": 35, "minute": 36, "enable": 37 })");

    device.put(288, 33);
    answer("NetClient_GetDevConfig", 0x1B, device);
    log.clear();
    Command refused(R"({"command":34,"ch":2,"scene_id":1,"mode":0})");
    EXPECT_EQ(get(refused), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(refused.opit.out_buf, nullptr);
    EXPECT_EQ(log.messages(),
              Lines{"param.stRegion.iPointNum > VCA_MAX_POLYGON_POINT_NUMEX, host_id:dev-0001, ch:2"});
}

}  // namespace
