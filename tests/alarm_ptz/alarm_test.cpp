// Alarm commands as the device receives them: port records and their
// defaults, the water-level record member by member, the active-alarm area
// full, empty and over-counted, switches and their refusals.
#include <iterator>
#include <sstream>

#include "command_test.h"

namespace {

using test::Bytes;
using test::Command;
using test::input;
using test::Lines;
using test::word_at;

constexpr int32_t kAll = 0x7FFFFFFF;
constexpr int kKept = test::kSentinelErrno;

using AlarmTest = test::CommandTest;

Bytes float_at(Bytes bytes, size_t offset, float value) { return bytes.raw(offset, &value, sizeof value); }

TEST_F(AlarmTest, PortRecordsAndTheirDefaults) {
    sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    Command typed(R"({"command":36,"channel":2,"mode":1,"type":2,"param":1.5,"inport":4})");
    EXPECT_EQ(set(typed), 1);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, 113);
    EXPECT_EQ(call.ch, 2);
    EXPECT_EQ(call.args[0], 1);
    EXPECT_EQ(input(call), float_at(Bytes(24).put(0, 24).put(4, 1).put(8, 2).put(16, 2).put(20, 4), 12, 1.5f).data);

    // Another type sends no parameter; no channel is every channel.
    Command untyped(R"({"command":36,"type":1,"param":7.25})");
    EXPECT_EQ(set(untyped), 1);
    EXPECT_EQ(calls().back().ch, kAll);
    EXPECT_EQ(input(calls().back()), Bytes(24).put(0, 24).put(8, 1).put(16, kAll).data);

    Command read(R"({"command":29,"channel":2,"inport":4})");
    EXPECT_EQ(get(read), 1);
    EXPECT_EQ(read.reply(), R"({ "ret": 0, "mode": 1, "type": 2, "param": 1.5 })");
    EXPECT_EQ(input(calls().back()), Bytes(24).put(0, 24).put(16, 2).put(20, 4).data);

    Command output(R"({"command":40,"pulsewidth":3})");
    EXPECT_EQ(set(output), 1);
    EXPECT_EQ(input(calls().back()), Bytes(20).put(0, 20).put(4, -1).put(8, 3).put(12, kAll).put(16, -1).data);
    EXPECT_EQ(log.messages(), Lines{"portpara.iChannelNo: 2147483647, iPortNo: -1, mode: -1"});

    sdk_sim_push_answer("NetClient_GetAlarmConfig", 113, -3, 0, nullptr, 0);
    Command failed(R"({"command":29,"channel":2,"inport":4})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(failed.reply(), "");
    EXPECT_EQ(log.messages(), Lines{"NetClient_GetAlarmConfig cmd:CMD_ALARM_IN_PORT_PARA result:-3"});
}

// The water-level members in record order, 4 bytes each from offset 4; the
// five levels (offsets 64 to 83) follow "water_num".
const std::vector<std::string> kWaterMembers = [] {
    std::istringstream names(
        "alert_water_value alarm_link_time scene_id rule_id is_main_channel check_stand default_upload_time "
        "first_water_level_upload_time second_water_level_upload_time third_water_level_upload_time "
        "first_water_level_thershold second_water_level_thershold third_water_level_thershold algorithm_type "
        "water_num water_low_value warn_high_value warn_low_value water_filter_enable water_filter_level "
        "water_filter_time threshold_enable threshold_level alarm_high_add_enable alarm_high_add_interval "
        "threshold_add_report_enable threshold_add_report_value threshold_add_report_interval "
        "threshold_growth_rate_enable threshold_growth_rate water_correct_val");
    return std::vector<std::string>(std::istream_iterator<std::string>(names), {});
}();
size_t water_offset(size_t index) { return 4 + 4 * index + (index >= 15 ? 20 : 0); }

TEST_F(AlarmTest, WaterLevelRecordMemberByMember) {
    std::string members;
    for (size_t i = 0; i < kWaterMembers.size(); ++i)
        members += "\"" + kWaterMembers[i] + "\":" + std::to_string(1000 + water_offset(i)) + ",";
    Command cmd(R"({"command":84,"ch":-1,"dev_param":{)" + members + R"("water_alarm":[1,null,3,4,5,6,7]}})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(), (Lines{"i: 0, 1", "is_error(water_alarm)", "i: 2, 3", "i: 3, 4", "i: 4, 5"}));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.ch, kAll);
    EXPECT_EQ(call.args[0], 24);
    Bytes want(152);
    want.put(0, 152).put(64, 1).put(72, 3).put(76, 4).put(80, 5);
    for (size_t i = 0; i < kWaterMembers.size(); ++i)
        want.put(water_offset(i), 1000 + static_cast<int32_t>(water_offset(i)));
    EXPECT_EQ(input(call), want.data);

    // Absent members are -1, absent levels 0.
    Command bare(R"({"command":84,"ch":3,"dev_param":{}})");
    EXPECT_EQ(set(bare), 1);
    Bytes defaults(152, 0xFF);
    defaults.put(0, 152).put(64, 0).put(68, 0).put(72, 0).put(76, 0).put(80, 0).put(148, 0);
    EXPECT_EQ(input(calls().back()), defaults.data);

    // Read back: levels as many as "water_num" says, never more than five.
    for (int32_t num : {9, 2, 0, -4}) {
        answer("NetClient_GetAlarmConfig", 115, Bytes(want).put(60, num));
        Command read(R"({"command":80,"ch":5,"scene_id":1,"rule_id":2,"algorithm_type":3})");
        ASSERT_EQ(get(read), 1);
        const std::string levels = num == 9 ? "[ 1, 0, 3, 4, 5 ]" : num == 2 ? "[ 1, 0 ]" : "[ ]";
        EXPECT_NE(read.reply().find(R"("water_num": )" + std::to_string(num) + R"(, "water_alarm": )" + levels +
                                    R"(, "water_low_value": 1084)"),
                  std::string::npos)
            << read.reply();
        EXPECT_EQ(read.reply().find("\"ret\""), std::string::npos);
        EXPECT_EQ(log.messages(), Lines{"******jso_string:<" + read.reply() + ">"});
    }
    EXPECT_EQ(input(calls().back()), Bytes(152).put(0, 152).put(12, 1).put(16, 2).put(56, 3).data);
}

TEST_F(AlarmTest, RefusalsTheirLinesAndCodes) {
    const struct {
        bool set;
        std::string json, line;
        int code;
        std::string reply;
    } cases[] = {
        {true, R"({"command":84,"dev_param":{}})", "ch[-2] < 0, host_id:[dev-0001]", CMD_ZEL_EINVAL, ""},
        {true, R"({"command":84,"ch":0})", "is_error(dev_param), host_id:[dev-0001]", CMD_ZEL_EINVAL, ""},
        {false, R"({"command":80,"ch":0,"rule_id":0,"algorithm_type":0})", "sence_id[-1] < 0, host_id:[dev-0001]",
         CMD_ZEL_EINVAL, ""},
        {false, R"({"command":80,"ch":0,"scene_id":0,"rule_id":0,"algorithm_type":"0"})",
         "algorithm_type[-1] < 0, host_id:[dev-0001]", CMD_ZEL_EINVAL, ""},
        {true, R"({"command":76,"alarm_type":1,"ch":0})", "enable < 0", kKept, ""},
        {true, R"({"command":76,"enable":1,"alarm_type":1,"ch":-2})", "ch < -1", kKept, ""},
        {true, R"({"command":88,"ch":-1,"alarm_state":1,"reserved_params":{}})", "set_remote_control_alarm ch:-1 < 0",
         kKept, ""},
        {true, R"({"command":88,"ch":0,"alarm_state":0})", "set_remote_control_alarm is_error(reserved_params)", kKept,
         ""},
        {true, R"({"command":25,"enable":1})", "ch == -1, host_id:dev-0001", CMD_ZEL_EINVAL, ""},
        {true, R"({"command":25,"ch":0,"enable":3})", "enable < 0 || enable > 2, host_id:dev-0001, ch:0",
         CMD_ZEL_EINVAL, ""},
        {false, R"({"command":21,"ch":-1})", "ch == -1", CMD_ZEL_EINVAL, R"({ "ret": -1, "enable": -1 })"},
    };
    for (const auto &c : cases) {
        Command cmd(c.json);
        EXPECT_EQ(c.set ? set(cmd) : get(cmd), 0) << c.json;
        EXPECT_EQ(err, c.code) << c.json;
        EXPECT_EQ(log.messages(), Lines{c.line}) << c.json;
        EXPECT_EQ(cmd.reply(), c.reply) << c.json;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(AlarmTest, SwitchesAndWhatTheDeviceAnswers) {
    answer("NetClient_CmdConfig", 64, Bytes(16).put(12, 3));
    Command type(R"({"command":76,"enable":1,"alarm_type":2})");
    EXPECT_EQ(set(type), 0);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.ch, kAll);
    EXPECT_EQ(input(call), Bytes(16).put(0, 16).put(4, kAll).put(8, 2).put(12, 1).data);
    EXPECT_EQ(log.messages(), Lines{"NetClient_CmdConfig failed, host_id: dev-0001, ch:2147483647, ret_value: 0, "
                                    "out_info.iRes:3, err_code: 0"});

    answer("NetClient_CmdConfig", 72, Bytes(4).put(0, 5));
    const std::string long_text(300, 'x');
    Command remote(R"({"command":88,"ch":1,"alarm_state":2,"reserved_params":{"param2":4,"param5":")" + long_text +
                   R"("}})");
    EXPECT_EQ(set(remote), 0);
    EXPECT_EQ(log.messages(), Lines{"NetClient_CmdConfig faild, i_ret:5 < 0, host_id: dev-0001, ch: 1, err_code: 0"});
    EXPECT_EQ(input(calls().back()), Bytes(792).put(8, 2).put(16, 4).text(280, std::string(255, 'x')).data);

    // The switch is the device's: set on a channel, read on all of them.
    sdk_sim_reset();
    sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    Command on(R"({"command":25,"ch":4,"enable":2})");
    EXPECT_EQ(set(on), 1);
    Command read(R"({"command":21,"ch":5})");
    EXPECT_EQ(get(read), 1);
    EXPECT_EQ(read.reply(), R"({ "ret": 0, "enable": 2 })");
    EXPECT_EQ(calls().back().ch, kAll);
    EXPECT_EQ(calls().back().cmd, 0xE00C);

    sdk_sim_push_answer("NetClient_GetCommonEnable", 0xE00C, -1, 0, nullptr, 0);
    Command failed(R"({"command":21,"ch":5})");
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(failed.reply(), R"({ "ret": -1, "enable": -1 })");
}

// An active-alarm area: the analysis part at 0, the other part at 2236424.
class CurrentAlarms : public test::CommandTest {
  protected:
    static constexpr size_t kOther = 2236424;
    void TearDown() override {
        sdk_sim_set_call_log(1);
        CommandTest::TearDown();
    }
    Bytes area{2240656};
    void vca(int32_t index, int32_t type, int32_t event, int32_t mask) {
        size_t at = 8 + 48 * static_cast<size_t>(index);
        area.put(at, 1).put(at + 4, 2).text(at + 8, "2026-12-05 08:30:00").put(at + 28, type);
        area.put(at + 32, 3).put(at + 36, 4).put(at + 40, event).put(at + 44, mask);
    }
    void other(int32_t index, int32_t event) {
        size_t at = kOther + 8 + 44 * static_cast<size_t>(index);
        area.put(at, 5).put(at + 4, 6).text(at + 8, std::string(20, 'T')).put(at + 28, 7).put(at + 40, event);
    }
};

TEST_F(CurrentAlarms, FullEmptyAndOverCountedAnswers) {
    vca(0, 4, 10, 0x41 | 0x100);
    vca(1, 3, 10, 1);  // not an analysis alarm
    vca(2, 4, 16, 0);  // no sub-type
    vca(3, 4, 90, 0x81);
    other(0, 11);
    answer("NetClient_GetDevConfig", 321, Bytes(area).put(4, 4).put(kOther + 4, 1));
    Command cmd(R"({"command":59,"ch":6})");
    EXPECT_EQ(get(cmd), 1);
    const std::string common = R"("device_type": 1, "alarm_state": 2, "alarm_time": "2026-12-05 08:30:00", )"
                               R"("alarm_type": 4, "scene_id": 3, "rule_id": 4, )";
    auto sub = [&](int n) {
        return "{ " + common + "\"event_type\": " + std::to_string(n) + ", \"sub_event\": " + std::to_string(n) + " }";
    };
    const std::string other = R"({ "device_type": 5, "alarm_state": 6, "alarm_time": "TTTTTTTTTTTTTTTTTTTT", )"
                              R"("alarm_type": 7, "scene_id": 0, "rule_id": 0, "event_type": 11 })";
    EXPECT_EQ(cmd.reply(), R"({ "cur_vca_alarm_info": [ )" + sub(30) + ", " + sub(31) + ", " + sub(518) + ", " +
                               sub(521) + R"( ], "cur_no_vca_alarm_info": [ )" + other + R"( ], "ret": 0 })");
    EXPECT_EQ(log.messages(),
              (Lines{"cur_vca_alarm_info->iAlarmType != ALARM_VCA_INFO", "get_mp_vca_event_type() failed",
                     "sub_type == 0", "get_mp_vca_event_type() failed"}));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.ch, 6);
    ASSERT_EQ(call.in_len, 2240656);
    EXPECT_EQ(word_at(call.in, 0), 2236420);
    EXPECT_EQ(word_at(call.in, kOther), 4228);

    answer("NetClient_GetDevConfig", 321, Bytes(0));
    Command empty(cmd.text);
    EXPECT_EQ(get(empty), 1);
    EXPECT_EQ(empty.reply(), R"({ "ret": 0 })");

    fail("NetClient_GetDevConfig", 321, -3, 0x1F);
    Command failed(cmd.text);
    EXPECT_EQ(get(failed), 1);
    EXPECT_EQ(failed.reply(), R"({ "ret": -3 })");
    EXPECT_EQ(log.messages(),
              Lines{"NetClient_GetDevConfig(), NET_CLIENT_GETCURALARMINFO,host_id : dev-0001, ch : 6, error : 1f"});

    sdk_sim_reset();
    Command whole(R"({"command":59})");
    EXPECT_EQ(get(whole), 1);
    EXPECT_EQ(err, kKept);
    EXPECT_EQ(whole.reply(), R"({ "ret": -1 })");
    EXPECT_EQ(log.messages(), Lines{"ch == -1"});
    EXPECT_EQ(sdk_sim_call_count(), 0);

    // Counts beyond the area's capacity stop at its last entry: analysis
    // alarms whose sub-type has no event are quietly skipped, and one entry
    // more would be read from the other part (and logged as no analysis
    // alarm).
    sdk_sim_set_call_log(0);  // keeps the large areas out of the call log
    area = Bytes(2240656);
    for (int32_t i = 0; i < 46592; ++i)
        vca(i, 4, 16, 0x4);
    answer("NetClient_GetDevConfig", 321, area.put(4, 46593).put(kOther + 4, 1000));
    Command over(cmd.text);
    EXPECT_EQ(get(over), 1);
    EXPECT_EQ(log.messages(), Lines{});
    size_t listed = 0;
    for (size_t at = over.reply().find("\"event_type\""); at != std::string::npos;
         at = over.reply().find("\"event_type\"", at + 1))
        ++listed;
    EXPECT_EQ(listed, 96u);
    EXPECT_EQ(over.reply().rfind(R"({ "cur_vca_alarm_info": [ ], "cur_no_vca_alarm_info": [ { "device_type": 0,)", 0),
              0u);
}

}  // namespace
