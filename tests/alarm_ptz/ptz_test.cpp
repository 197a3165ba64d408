// PTZ commands as the device receives them: moves that keep some
// coordinates and wait for the reported position, dome action codes both
// ways, refusals, cruise templates and their stops.
#include <tuple>

#include "command_test.h"
#include "device_sdk.h"

namespace {

using test::Bytes;
using test::Command;
using test::input;
using test::Lines;
using test::word_at;

constexpr int32_t kAll = 0x7FFFFFFF;

class PtzTest : public test::CommandTest {
  protected:
    void position_reported() { host.put<uint32_t>(6568, 1); }
    static Bytes current(int32_t pan, int32_t tilt, int32_t zoom) {
        return Bytes(16).put(0, 16).put(4, pan).put(8, tilt).put(12, zoom);
    }
};

TEST_F(PtzTest, MoveFetchesThePositionOnlyForTheCoordinatesItKeeps) {
    const struct {
        int32_t pan, tilt, zoom;
        int32_t sent_pan, sent_tilt, sent_zoom;
    } cases[] = {
        {100, -1, 5, 100, 22, 5}, {-1, 7, -1, 11, 7, 33}, {-1, -1, -1, 11, 22, 33}, {100, 200, 0, 100, 200, 0}};
    for (const auto &c : cases) {
        sdk_sim_reset();
        position_reported();
        answer("NetClient_RecvCommand", 43, current(11, 22, 33));
        Command cmd(R"({"command":38,"channel":3,"type":2,"pan":)" + std::to_string(c.pan) + R"(,"tilt":)" +
                    std::to_string(c.tilt) + R"(,"zoom":)" + std::to_string(c.zoom) + "}");
        EXPECT_EQ(set(cmd), 1);
        EXPECT_EQ(err, test::kSentinelErrno);
        const bool keeps = c.pan == -1 || c.tilt == -1 || c.zoom == -1;
        auto sent = calls("NetClient_SendCommand");
        ASSERT_EQ(sent.size(), keeps ? 2u : 1u) << c.pan << " " << c.tilt << " " << c.zoom;
        if (keeps) {
            EXPECT_EQ(std::make_tuple(sent[0].cmd, sent[0].ch, sent[0].in_len), std::make_tuple(43, 3, 0));
            sdk_sim_call fetched = only_call("NetClient_RecvCommand");
            EXPECT_EQ(fetched.ch, 3);
            EXPECT_EQ(input(fetched), current(0, 0, 0).data);
        }
        EXPECT_EQ(sent.back().cmd, 73);
        EXPECT_EQ(sent.back().ch, 3);
        EXPECT_EQ(input(sent.back()),
                  Bytes(20).put(0, 20).put(4, 2).put(8, c.sent_pan).put(12, c.sent_tilt).put(16, c.sent_zoom).data);
        EXPECT_EQ(sleeps, 0);
    }
}

TEST_F(PtzTest, MoveWaitsForThePositionReportAtMostFiveHundredPolls) {
    const std::string keep_tilt = R"({"command":38,"channel":1,"type":0,"pan":1,"tilt":-1,"zoom":1})";
    on_poll = [&](int32_t n) {
        if (n == 7)
            position_reported();
    };
    Command late(keep_tilt);
    EXPECT_EQ(set(late), 1);
    EXPECT_EQ(sleeps, 7);
    // The library never clears the mark: the next move fetches at once.
    sleeps = 0;
    Command again(keep_tilt);
    EXPECT_EQ(set(again), 1);
    EXPECT_EQ(sleeps, 0);
    EXPECT_EQ(host.get<uint32_t>(6568), 1u);

    host.put<uint32_t>(6568, 0);
    on_poll = nullptr;
    sdk_sim_reset();
    Command never(keep_tilt);
    EXPECT_EQ(set(never), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(sleeps, 500);
    EXPECT_EQ(log.messages(),
              (Lines{"<get_current_ptz> !host->is_recvd_ptz_pos", "<absolute_coordinates> get_current_ptz faild!!"}));
    EXPECT_EQ(calls("NetClient_RecvCommand").size(), 0u);
    EXPECT_EQ(calls("NetClient_SendCommand").size(), 1u);
}

TEST_F(PtzTest, DeviceFailuresStopAMove) {
    position_reported();
    const std::string keep = R"({"command":38,"channel":1,"type":0,"pan":1,"tilt":-1,"zoom":1})";
    const std::pair<const char *, std::string> cases[] = {
        {"NetClient_SendCommand", "<get_current_ptz> NetClient_SendCommand COMMAND_ID_GET_PTZEX failed.hostId = "
                                  "dev-0001, ret:-4"},
        {"NetClient_RecvCommand", "<get_current_ptz> NetClient_RecvCommand < 0,hostId = dev-0001,ret = -4"},
    };
    for (const auto &[function, line] : cases) {
        sdk_sim_reset();
        fail(function, 43, -4);
        Command cmd(keep);
        EXPECT_EQ(set(cmd), 0);
        EXPECT_EQ(err, test::kSentinelErrno);
        EXPECT_EQ(log.messages(), (Lines{line, "<absolute_coordinates> get_current_ptz faild!!"}));
    }
    // A positive answer of RecvCommand is not a failure.
    sdk_sim_reset();
    answer("NetClient_RecvCommand", 43, current(5, 6, 7), 16);
    Command fetched(keep);
    EXPECT_EQ(set(fetched), 1);
    EXPECT_EQ(word_at(calls("NetClient_SendCommand").back().in, 12), 6);

    fail("NetClient_SendCommand", 73, 9);
    Command refused(R"({"command":38,"channel":1,"type":0,"pan":1,"tilt":2,"zoom":3})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(log.messages(), (Lines{"<absolute_coordinates> type :0,pan : 1,tilt : 2,zoom : 3",
                                     "<absolute_coordinates> NetClient_SendCommand COMMAND_ID_SET_PTZ failed. ret:9"}));
}

TEST_F(PtzTest, DomeActionCodesSurviveTheRoundTrip) {
    sdk_sim_add_device(7, 16, SDK_SIM_CAMERA);
    const struct {
        int32_t action_type, id, code, read_type, read_id;
    } cases[] = {
        {0, 7, 107, 0, 7},     {0, 2, 102, 0, 2},
        {0, 1, 0, 0, 1},       {0, -5, 0, 0, 1},
        {3, 7, 3, 3, 1},       {0, 500, 600, 0, 500},
        {0, 501, 601, 601, 1}, {101, 1, 101, 101, 1},
        {-1, 9, -1, -1, 1},    {0, 2147483647, -2147483549, -2147483549, 1},
    };
    for (const auto &c : cases) {
        Command write(R"({"command":41,"ch":-4,"enable":1,"keep_time":30,"action_type":)" +
                      std::to_string(c.action_type) + R"(,"id":)" + std::to_string(c.id) + "}");
        ASSERT_EQ(set(write), 1);
        sdk_sim_call sent = calls("NetClient_SetDomePTZ").back();
        EXPECT_EQ(sent.ch, kAll);
        EXPECT_EQ(input(sent), Bytes(28).put(0, 28).put(4, 5).put(8, 1).put(12, 30).put(16, c.code).data);

        Command read(R"({"command":32,"ch":-1})");
        ASSERT_EQ(get(read), 1);
        EXPECT_EQ(read.reply(), R"({ "ret": 0, "enable": 1, "keep_time": 30, "action_type": )" +
                                    std::to_string(c.read_type) + R"(, "id": )" + std::to_string(c.read_id) + " }");
        EXPECT_EQ(input(calls("NetClient_GetDomePTZ").back()), Bytes(28).put(0, 28).put(4, 5).data);
    }
    // Without members the action is type 0, preset 1.
    Command plain(R"({"command":41})");
    EXPECT_EQ(set(plain), 1);
    EXPECT_EQ(word_at(calls("NetClient_SetDomePTZ").back().in, 16), 0);

    sdk_sim_push_answer("NetClient_GetDomePTZ", SDK_SIM_ANY, 2, 0, nullptr, 0);
    Command failed(R"({"command":32,"ch":0})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(failed.reply(), "");
    EXPECT_EQ(log.messages(), Lines{"NetClient_GetDomePTZ failed id:dev-0001, ret:2"});
}

TEST_F(PtzTest, RefusedMembersReachNoDevice) {
    const std::string tour = R"({"command":78,"ch":0,"scene_type":0,"cruise_type":0,"cruise_id":0,"scene_id":0,)"
                             R"("enable":0,"week":0,"detect_car_type":0,"start_time":"1:2","end_time":"3:4")";
    const std::string stops33 = [] {
        std::string s;
        for (int i = 0; i < 33; ++i)
            s += (i ? "," : "") + std::string(R"({"scene_id":1,"remain_time":1})");
        return "[" + s + "]";
    }();
    const struct {
        std::string json;
        std::string line;
        int code;
    } cases[] = {
        {R"({"command":38,"channel":-1,"type":0,"pan":0,"tilt":0,"zoom":0})",
         "<absolute_coordinates> host.ID : dev-0001,channel < 0", CMD_ZEL_EINVAL},
        {R"({"command":38,"channel":0,"type":0,"pan":-2,"tilt":0,"zoom":0})",
         "<absolute_coordinates> host.ID : dev-0001,pan < 0", CMD_ZEL_EINVAL},
        {R"({"command":38,"channel":0,"type":0,"pan":0,"tilt":"5","zoom":0})",
         "<absolute_coordinates> host.ID : dev-0001,tilt < 0", CMD_ZEL_EINVAL},
        {R"({"command":38,"channel":0,"type":0,"pan":0,"tilt":0})",
         "<absolute_coordinates> host.ID : dev-0001,zoom < 0", CMD_ZEL_EINVAL},
        {R"({"command":75,"ch":0,"action":1})", "vo_devid < 0", test::kSentinelErrno},
        {R"({"command":75,"ch":-2,"vo_devid":1,"action":1})", "ch < -1", test::kSentinelErrno},
        {R"({"command":79,"ch":0,"group_id":0,"scan_type":0,"scan_speed":[4],"operation":3})", "scan_speed < 0",
         test::kSentinelErrno},
        {R"({"command":79,"ch":0,"group_id":0,"scan_type":0,"scan_speed":4})", "operation < 0", test::kSentinelErrno},
        {tour + R"(,"ch":-1,"time_range":[{}]})", "ch < 0", test::kSentinelErrno},
        {tour + R"(,"end_time":null,"time_range":[{}]})", "end_time == NULL", test::kSentinelErrno},
        {tour + "}", "is_error(time_range), id: dev-0001, ch: 0", test::kSentinelErrno},
        {tour + R"(,"time_range":{"scene_id":1}})",
         "!json_object_is_type(time_range, json_type_array), id: dev-0001, ch: 0", test::kSentinelErrno},
        {tour + R"(,"time_range":[]})", "len <= 0 id: dev-0001, ch: 0, len: 0", test::kSentinelErrno},
        {tour + R"(,"time_range":)" + stops33 + "}", "len <= 0 id: dev-0001, ch: 0, len: 33", test::kSentinelErrno},
    };
    for (const auto &c : cases) {
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0) << c.json;
        EXPECT_EQ(err, c.code) << c.json;
        EXPECT_EQ(log.messages().back(), c.line) << c.json;
        EXPECT_EQ(cmd.reply(), "");
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(PtzTest, ScanOperationThreeDrivesTheScanWhateverTheDeviceSays) {
    fail("NetClient_DeviceCtrlEx", 9, -1);
    Command drive(R"({"command":79,"group_id":1,"scan_type":2,"scan_speed":4,"operation":3})");
    EXPECT_EQ(set(drive), 1);
    sdk_sim_call call = only_call();
    EXPECT_STREQ(call.function, "NetClient_DeviceCtrlEx");
    EXPECT_EQ(call.ch, kAll);
    EXPECT_EQ(call.args[0], 4);
    EXPECT_EQ(call.args[1], 4);
    EXPECT_EQ(call.args[2], 0);

    sdk_sim_reset();
    fail("NetClient_SetDevConfig", 0, 1, static_cast<int32_t>(0x8000001F));
    Command setting(R"({"command":79,"ch":5,"group_id":1,"scan_type":2,"scan_speed":4,"operation":1})");
    EXPECT_EQ(set(setting), 0);
    EXPECT_EQ(input(only_call()), Bytes(20).put(0, 21).put(4, 1).put(8, 2).put(12, 4).put(16, 1).data);
    EXPECT_EQ(log.messages(), (Lines{"set_ptz_scan host_id: dev-0001, ch:5",
                                     "set_ptz_scan err, NetClient_SetDevConfig faild, err_code:8000001f, "
                                     "host_id:dev-0001"}));

    fail("NetClient_SendCommand", 84, 3, 0x2A);
    Command linkage(R"({"command":75,"ch":-1,"vo_devid":2,"action":1})");
    EXPECT_EQ(set(linkage), 0);
    sdk_sim_call sent = only_call("NetClient_SendCommand");
    EXPECT_EQ(sent.ch, kAll);
    EXPECT_EQ(input(sent), Bytes(12).put(0, 12).put(4, 2).put(8, 1).data);
    EXPECT_EQ(log.messages(), (Lines{"set_linkage_single_screen host_id: dev-0001, ch:-1",
                                     "NetClient_SendCommand failed, host_id: dev-0001, ch:2147483647, ret_value: 3, "
                                     "err_code: 2a"}));

    fail("NetClient_SendCommand", 104, 6);
    Command bare(R"({"command":39,"ch":-3})");
    EXPECT_EQ(set(bare), 0);
    EXPECT_EQ(log.messages(), Lines{"NetClient_SendCommand failed ch:-3, ret:6"});
}

TEST_F(PtzTest, CruiseTemplateCarriesItsTimesAndStops) {
    sdk_sim_add_device(7, 16, SDK_SIM_CAMERA);
    Command cmd(R"({"command":78,"ch":2,"scene_type":1,"cruise_type":2,"cruise_id":3,"scene_id":4,"enable":1,)"
                R"("week":127,"detect_car_type":6,"start_time":"08:30","end_time":"17:05","time_range":)"
                R"([{"scene_id":1,"remain_time":60},{"scene_id":9},{"remain_time":20},null]})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(),
              (Lines{"cruise.ptInfo[1].iRemainTime == -1", "cruise.ptInfo[2].iSceneID == -1", "range_info == NULL"}));
    const int32_t words[] = {72, 2, 3, 1, 4, 1, 8, 30, 17, 5, 127, 4, 48};
    sdk_sim_call call = only_call("NetClient_SetDevConfig");
    EXPECT_EQ(call.cmd, 187);
    for (size_t i = 0; i < std::size(words); ++i)
        EXPECT_EQ(word_at(call.in, 4 * i), words[i]) << "offset " << 4 * i;
    EXPECT_EQ(word_at(call.in, 64), 6);

    // The device's copy of the stops, read back after the array is gone.
    uint8_t back[72 + 4 * 12] = {};
    std::memcpy(back + 8, &words[2], 4);
    int32_t returned = 0;
    ASSERT_EQ(NetClient_GetDevConfig(7, 187, 2, back, sizeof back, &returned), 0);
    ASSERT_EQ(returned, static_cast<int32_t>(sizeof back));
    const int32_t stops[] = {0, 1, 60, 0, 0, -1, 0, -1, 20, 0, 0, 0};
    for (size_t i = 0; i < std::size(stops); ++i)
        EXPECT_EQ(word_at(back, 72 + 4 * i), stops[i]) << "stop word " << i;

    // Times without a colon are 0:00; only the first seven digits count.
    Command odd(R"({"command":78,"ch":2,"scene_type":1,"cruise_type":2,"cruise_id":3,"scene_id":4,"enable":1,)"
                R"("week":127,"detect_car_type":6,"start_time":"0830","end_time":"123456789:12345678901",)"
                R"("time_range":[{"scene_id":1,"remain_time":60}]})");
    EXPECT_EQ(set(odd), 1);
    call = calls("NetClient_SetDevConfig").back();
    EXPECT_EQ(word_at(call.in, 24), 0);
    EXPECT_EQ(word_at(call.in, 28), 0);
    EXPECT_EQ(word_at(call.in, 32), 1234567);
    EXPECT_EQ(word_at(call.in, 36), 1234567);
}

}  // namespace
