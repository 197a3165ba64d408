// Settings carried as XML documents: structures at their offsets, the
// entries read-modify-write keeps, the schedule's day blocks, what the
// structures' capacities cut, and the refusals of faulty documents.
#include <algorithm>
#include <cstddef>
#include <memory>

#include <json-c/json.h>

#include "command_test.h"
#include "device_sdk_xml.h"

namespace {

using test::Bytes;
using test::Command;
using test::input;
using test::Lines;
using test::text_at;
using test::word_at;

class XmlSettings : public test::CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    }
    // The structure of the last write of `cmd`.
    std::vector<uint8_t> written(int32_t cmd) {
        std::vector<uint8_t> last;
        for (const sdk_sim_call &c : calls("NetClient_XmlSetDevConfig"))
            if (c.cmd == cmd)
                last = input(c);
        return last;
    }
    static void status_once(int32_t result, int32_t status) {
        sdk_sim_push_answer("NetClient_XmlSetDevConfig", SDK_SIM_ANY, result, 0x2A, &status, sizeof status);
    }
};

using WriteShape = XmlSettings;
using ReadModifyWrite = XmlSettings;
using MixAudio = XmlSettings;
using Defogging = XmlSettings;
using Reports = XmlSettings;

constexpr size_t kCall = offsetof(xml_h323_param, devs);
constexpr size_t kCallSize = sizeof(xml_h323_single_dev);

TEST_F(WriteShape, ConferenceCallsAreSentAsGivenAndFaultyOnesStayZero) {
    Command cmd(
        R"({"command":50,"count":3,"h323_single_dev":[)"
        R"({"set_type":1,"h323_call_id":2,"call_mode":3,"call_rate":4,"port":5,"ip_address":"192.0.2.20",)"
        R"("net_name":")" +
        std::string(70, 'n') +
        R"(","uri":"sip:a","call_msg":"","stream_type":6,"h323_group_id":7,"call_type":8,"sip_net_link_type":9},)"
        R"({"set_type":1,"h323_call_id":2,"call_mode":3,"call_rate":4,"ip_address":"x"}]})");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(), (Lines{"port == -1", "is_error(jso_tmp)"}));
    EXPECT_EQ(err, test::kSentinelErrno);
    std::vector<uint8_t> rec = written(NETXMLCFG_H323_PARAM);
    ASSERT_EQ(rec.size(), sizeof(xml_h323_param));
    EXPECT_EQ(word_at(rec.data(), 0), 3);
    const int32_t words[] = {1, 6, 2, 7, 8, 9, 3, 4};
    for (size_t i = 0; i < std::size(words); ++i)
        EXPECT_EQ(word_at(rec.data(), kCall + 4 * i), words[i]) << i;
    EXPECT_EQ(text_at(rec.data(), kCall + 32, 64), "192.0.2.20");
    EXPECT_EQ(word_at(rec.data(), kCall + 96), 5);
    EXPECT_EQ(text_at(rec.data(), kCall + 100, 64), std::string(63, 'n'));
    EXPECT_EQ(text_at(rec.data(), kCall + 164, 64), "sip:a");
    EXPECT_EQ(text_at(rec.data(), kCall + 228, 64), "");
    EXPECT_TRUE(std::all_of(rec.begin() + kCall + kCallSize, rec.end(), [](uint8_t b) { return b == 0; }));

    // The structure holds 16 calls.
    std::string many = R"({"command":50,"count":40,"h323_single_dev":[)";
    for (int i = 0; i < 40; ++i)
        many += (i ? "," : "") + std::string(R"({"set_type":1,"h323_call_id":)") + std::to_string(i) +
                R"(,"call_mode":0,"call_rate":0,"port":1,"ip_address":"y"})";
    Command capped(many + "]}");
    EXPECT_EQ(set(capped), 1);
    EXPECT_EQ(log.messages(), Lines{"count > 16, count:40"});
    rec = written(NETXMLCFG_H323_PARAM);
    EXPECT_EQ(word_at(rec.data(), 0), 16);
    EXPECT_EQ(word_at(rec.data(), kCall + 15 * kCallSize + 8), 15);
}

TEST_F(WriteShape, SmallSettingsKeepTheirFieldOrder) {
    Command type_value(R"({"command":56,"type":4,"enable":0,"value":")" + std::string(40, 'v') + R"("})");
    EXPECT_EQ(set(type_value), 1);
    std::vector<uint8_t> rec = written(NETXMLCFG_TYPE_VALUE);
    EXPECT_EQ(word_at(rec.data(), 0), 4);
    EXPECT_EQ(word_at(rec.data(), 4), 0);
    EXPECT_EQ(text_at(rec.data(), 8, 32), std::string(31, 'v'));

    Command case_control(R"({"command":57,"ch":3,"part_in_num":5,"case_control":6})");
    EXPECT_EQ(set(case_control), 1);
    rec = written(NETXMLCFG_CASE_CONTROL);
    EXPECT_EQ(std::vector<int32_t>(
                  {word_at(rec.data(), 0), word_at(rec.data(), 4), word_at(rec.data(), 8), word_at(rec.data(), 12)}),
              (std::vector<int32_t>{3, 0, 5, 6}));
}

TEST_F(WriteShape, TheDevicesStatusDecidesTheOutcome) {
    const struct {
        int32_t result, status;
        bool ok;
    } outcomes[] = {{0, 0, true}, {3, 1, true}, {0, 2, false}, {-1, 0, false}};
    for (const auto &o : outcomes) {
        status_once(o.result, o.status);
        Command cmd(R"({"command":56,"type":1,"enable":1})");
        EXPECT_EQ(set(cmd), o.ok ? 1 : 0) << o.result << " " << o.status;
        EXPECT_EQ(log.messages(),
                  o.ok ? Lines{}
                       : Lines{"ret_ex < 0 || (stu_res_status.iStatusCode != 0 && stu_res_status.iStatusCode != 1), "
                               "host_id: dev-0001, error: 2a"});
    }
    status_once(0, 7);
    Command mix(R"({"command":66,"mix_audio_config_list":[{"output_src_name":"o","input_src_list":[]}]})");
    EXPECT_EQ(set(mix), 0);
    EXPECT_EQ(log.messages().back(), "NetClient_XmlSetDevConfig()-NETXMLCFG_CMD_MIXAUDIOCONFIG failed, ret:0, "
                                     "iStatusCode:7, host_id:dev-0001");
}

constexpr size_t kJudgeEntry = offsetof(xml_judge_any_info, entries);

TEST_F(ReadModifyWrite, AnalysisSwitchesChangeOnlyTheNamedTypes) {
    Command first(
        R"({"command":55,"ch":2,"type_count":1,"region_count":40,"judge_any_param":[{"analye_type":3,"enable":1}]})");
    EXPECT_EQ(set(first), 1);
    EXPECT_EQ(log.messages(), Lines{"region_count > 37, region_count:40"});
    sdk_sim_call read = only_call("NetClient_XmlGetDevConfig");
    EXPECT_EQ(word_at(read.in, 0), 2);
    EXPECT_EQ(word_at(read.in, kJudgeEntry + 7 * 164), 164);

    Command second(R"({"command":55,"ch":2,"type_count":2,"region_count":2,"judge_any_param":[)"
                   R"({"analye_type":5,"enable":1},{"analye_type":6,"enable":2}]})");
    EXPECT_EQ(set(second), 1);
    EXPECT_EQ(log.messages(), Lines{"enable != 0 && enable != 1"});
    std::vector<uint8_t> rec = written(NETXMLCFG_JUDGEANYINFO);
    for (int32_t i = 0; i < JUDGE_ANY_TYPES; ++i) {
        const uint8_t *entry = rec.data() + kJudgeEntry + static_cast<size_t>(i) * 164;
        int32_t type = i + 1;
        EXPECT_EQ(word_at(entry, 4), type);
        EXPECT_EQ(word_at(entry, 8), type == 3 || type == 5 ? 1 : 0) << type;
        EXPECT_EQ(word_at(entry, 12), type == 3 ? 37 : type == 5 ? 2 : 0) << type;
    }
    const uint8_t *third = rec.data() + kJudgeEntry + 2 * 164;
    EXPECT_EQ(word_at(third, 16 + 36 * 4), 37);

    answer_once("NetClient_XmlGetDevConfig", NETXMLCFG_JUDGEANYINFO, Bytes(0), -4);
    Command unread(second.text);
    EXPECT_EQ(set(unread), 0);
    EXPECT_EQ(log.messages(), Lines{"NetClient_XmlGetDevConfig() NETXMLCFG_JUDGEANYINFO, host_id: dev-0001, ch : 2, "
                                    "error: 0"});
    EXPECT_EQ(calls("NetClient_XmlSetDevConfig").size(), 2u);
}

TEST_F(ReadModifyWrite, CourtChannelNamesChangeEveryMatchingEntry) {
    Command named(
        R"({"command":64,"type":1,"count":2,"zf_ch_info":[{"ch_no":2,"ch_name_type":7},{"ch_no":-1,"ch_name_type":1}]})");
    EXPECT_EQ(set(named), 1);
    EXPECT_EQ(log.messages(), Lines{"ch_no < 0"});
    std::vector<uint8_t> rec = written(NETXMLCFG_COURT_ZFCHNINFO);
    EXPECT_EQ(word_at(rec.data(), 0), 1);
    EXPECT_EQ(word_at(rec.data(), 4), 16);
    EXPECT_EQ(word_at(rec.data(), 8 + 2 * 8 + 4), 7);
    EXPECT_EQ(word_at(rec.data(), 8 + 3 * 8 + 4), 0);

    // A device reporting more entries than the structure holds, channel 5
    // twice: both are renamed, and nothing past the last slot is read.
    Bytes device(sizeof(xml_zf_ch_info));
    device.put(0, 1).put(4, 100000);
    for (int32_t i = 0; i < ZF_CH_MAX; ++i)
        device.put(8 + 8 * static_cast<size_t>(i), i == 359 ? 5 : i);
    answer_once("NetClient_XmlGetDevConfig", NETXMLCFG_COURT_ZFCHNINFO, device);
    Command twice(R"({"command":64,"type":1,"count":1,"zf_ch_info":[{"ch_no":5,"ch_name_type":9}]})");
    EXPECT_EQ(set(twice), 1);
    rec = written(NETXMLCFG_COURT_ZFCHNINFO);
    EXPECT_EQ(word_at(rec.data(), 4), 360);
    EXPECT_EQ(word_at(rec.data(), 8 + 5 * 8 + 4), 9);
    EXPECT_EQ(word_at(rec.data(), 8 + 359 * 8 + 4), 9);
}

TEST_F(MixAudio, ConfigurationIsReadBackWithFaultyEntriesZero) {
    Command mix(R"({"command":66,"mix_audio_config_list":[{"output_src_name":"Hall","input_src_list":[)"
                R"({"input_src_name":"Mic","enable":1},{"input_src_name":"Aux","enable":2},{"enable":0}]},)"
                R"({"output_src_name":"Booth","input_src_list":[]}]})");
    EXPECT_EQ(set(mix), 1);
    EXPECT_EQ(log.messages(),
              (Lines{"enable err, value:2, host_id:dev-0001, j:1", "input_src_name == NULL, host_id:dev-0001, j:2",
                     "input_src_list_len err, value:0, host_id:dev-0001"}));
    std::vector<uint8_t> rec = written(NETXMLCFG_CMD_MIXAUDIOCONFIG);
    EXPECT_EQ(word_at(rec.data(), 0), 2);
    EXPECT_EQ(word_at(rec.data(), 4), 3);
    EXPECT_EQ(text_at(rec.data(), 4 + 1188 + 4, 32), "Booth");
    EXPECT_EQ(word_at(rec.data(), 4 + 1188), 0);

    Command read(R"({"command":64})");
    EXPECT_EQ(get(read), 1);
    EXPECT_EQ(read.reply(), R"({ "mix_audio_config_list": [ { "output_src_name": "Hall", "input_src_list": [ )"
                            R"({ "input_src_name": "Mic", "enable": 1 }, { "input_src_name": "", "enable": 0 }, )"
                            R"({ "input_src_name": "", "enable": 0 } ] }, { "output_src_name": "Booth" } ] })");
    EXPECT_EQ(log.messages(), Lines{"iAudioSrcNum err, value:0, i:1, output_src_name:Booth, host_id:dev-0001"});

    answer_once("NetClient_XmlGetDevConfig", NETXMLCFG_CMD_MIXAUDIOCONFIG, Bytes(9508).put(0, 9));
    Command nine(R"({"command":64})");
    EXPECT_EQ(get(nine), 0);
    EXPECT_EQ(nine.reply(), "");
    EXPECT_EQ(log.messages(), Lines{"iAudioConfigNum err, value:9, host_id:dev-0001"});
}

std::string schedule(int days, const std::string &day) {
    std::string out = "[";
    for (int i = 0; i < days; ++i)
        out += (i ? "," : "") + day;
    return out + "]";
}

TEST_F(Defogging, SevenDaysAreShiftedIntoBlocksOneToSeven) {
    const std::string day = R"({"time_ranges":[{"start_time":"06:00:00","end_time":"09:00:00","time_vaild":1},)"
                            R"({"start_time":"0123456789abcdefXYZ","end_time":"x"},{"start_time":"a","end_time":"b"},)"
                            R"({"start_time":"c","end_time":"d"},{"start_time":"e","end_time":"f"}]})";
    Command cmd(R"({"command":89,"ch":3,"enable":1,"time_schedule":)" + schedule(10, day) + "}");
    EXPECT_EQ(set(cmd), 1);
    std::vector<uint8_t> rec = written(NETXMLCFG_DEFOGGING_PARAM);
    EXPECT_EQ(word_at(rec.data(), 0), 3);
    EXPECT_TRUE(std::all_of(rec.begin() + 8, rec.begin() + 8 + 144, [](uint8_t b) { return b == 0; }));
    const uint8_t *sunday = rec.data() + 8 + 7 * 144;
    EXPECT_EQ(text_at(sunday, 4, 16), "06:00:00");
    EXPECT_EQ(text_at(sunday, 36 + 4, 16), "0123456789abcde");
    EXPECT_EQ(word_at(sunday, 36), -1);

    Command read(R"({"command":87,"ch":3})");
    EXPECT_EQ(get(read), 1);
    EXPECT_EQ(input(calls("NetClient_XmlGetDevConfig").back()).size(), 1160u);
    std::unique_ptr<json_object, decltype(&json_object_put)> doc(json_tokener_parse(read.reply().c_str()),
                                                                 json_object_put);
    ASSERT_NE(doc.get(), nullptr);
    json_object *days = json_object_object_get(doc.get(), "time_schedule");
    ASSERT_EQ(json_object_array_length(days), 7u);
    for (size_t d = 0; d < 7; ++d)
        EXPECT_EQ(json_object_array_length(json_object_object_get(json_object_array_get_idx(days, d), "time_ranges")),
                  4u);
    EXPECT_EQ(read.reply().rfind(R"({ "enable": 1, "time_schedule": [ { "time_ranges": [ { "start_time": )"
                                 R"("06:00:00", "end_time": "09:00:00", "time_vaild": 1 }, { "start_time": )"
                                 R"("0123456789abcde", "end_time": "x", "time_vaild": -1 }, )",
                                 0),
              0u);
    EXPECT_EQ(word_at(calls("NetClient_XmlGetDevConfig").back().in, 0), 3);

    // An untouched channel: every day's four ranges, empty.
    Command empty(R"({"command":87,"ch":4})");
    EXPECT_EQ(get(empty), 1);
    EXPECT_NE(empty.reply().find(R"({ "time_ranges": [ { "start_time": "", "end_time": "", "time_vaild": 0 }, )"),
              std::string::npos);
}

TEST_F(Defogging, AFaultAnywhereInTheScheduleWritesNothing) {
    const std::string good = R"({"time_ranges":[{"start_time":"a","end_time":"b"}]})";
    const std::string prefix = "json_to_set_defogging_configuration_parameters ";
    const std::pair<std::string, std::string> cases[] = {
        {R"("ch":-1,"enable":1,"time_schedule":[])", "set_defogging_configuration_parameters ch:-1 < 0"},
        {R"("ch":0,"time_schedule":[])", "set_defogging_configuration_parameters enable:-1 < 0"},
        {R"("ch":0,"enable":1,"time_schedule":"x")",
         "set_defogging_configuration_parameters time_schedule == NULL || !json_object_is_type(time_schedule, "
         "json_type_array)"},
        {R"("ch":0,"enable":1,"time_schedule":[])", prefix + "len <= 0, len: 0"},
        {R"("ch":0,"enable":1,"time_schedule":[)" + good + ",null]", prefix + "time_range_obj  == NULL"},
        {R"("ch":0,"enable":1,"time_schedule":[{"time_ranges":{}}])",
         prefix + "time_ranges == NULL || !json_object_is_type(time_ranges, json_type_array)"},
        {R"("ch":0,"enable":1,"time_schedule":[{"time_ranges":[]}])", prefix + "len_time <= 0, len_time: 0"},
        {R"("ch":0,"enable":1,"time_schedule":[{"time_ranges":[null]}])", prefix + "time_range == NULL"},
        {R"("ch":0,"enable":1,"time_schedule":[)" + good + R"(,{"time_ranges":[{"end_time":"b"}]}])",
         prefix + "start_time == NULL"},
        {R"("ch":0,"enable":1,"time_schedule":[{"time_ranges":[{"start_time":"a"}]}])", prefix + "end_time == NULL"},
    };
    for (const auto &[members, message] : cases) {
        Command cmd(R"({"command":89,)" + members + "}");
        EXPECT_EQ(set(cmd), 0) << members;
        EXPECT_EQ(log.messages(), Lines{message});
        EXPECT_EQ(err, test::kSentinelErrno);
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(Reports, DeviceAnswersAndFailures) {
    Command bestir(R"({"command":58})");
    EXPECT_EQ(get(bestir), 1);
    EXPECT_EQ(bestir.reply(), R"({ "mode": 0, "audio_ch": 1, "video_ch": 1, "mute": 0, "volume": 50, "ret": 0 })");

    Bytes state(sizeof(xml_call_state));
    state.put(0, 1).put(4, 99);
    for (size_t i = 0; i < 16; ++i)
        state.put(8 + 88 * i, static_cast<int32_t>(i)).text(8 + 88 * i + 8, std::string(64, 'i'));
    answer_once("NetClient_XmlGetDevConfig", NETXMLCFG_COURTAVP_CALLSTATE, state);
    Command calls_now(R"({"command":51})");
    EXPECT_EQ(get(calls_now), 1);
    EXPECT_NE(calls_now.reply().find(R"({ "h323_call_id": 15, "h323_group_id": 0, "ip_address": ")" +
                                     std::string(64, 'i') + R"(", "port": 0, )"),
              std::string::npos);
    EXPECT_NE(calls_now.reply().find(R"("call_state": 0 } ], "ret": 0 })"), std::string::npos);
    EXPECT_EQ(calls_now.reply().rfind(R"({ "gk_state": 1, "call_state": [ { "h323_call_id": 0,)", 0), 0u);

    const std::pair<const char *, std::string> failing[] = {
        {R"({"command":51})",
         "NetClient_XmlGetDevConfig(), NETXMLCFG_COURTAVP_CALLSTATE, host_id : dev-0001, error = 9"},
        {R"({"command":58})", "NetClient_XmlGetDevConfig(), NETXMLCFG_BESTIR_PARAM, host_id : dev-0001, error : 9"},
    };
    for (const auto &[json, message] : failing) {
        sdk_sim_push_answer("NetClient_XmlGetDevConfig", SDK_SIM_ANY, -3, 9, nullptr, 0);
        Command cmd(json);
        EXPECT_EQ(get(cmd), 0);
        EXPECT_EQ(cmd.reply(), R"({ "ret": -3 })");
        EXPECT_EQ(log.messages(), Lines{message});
    }
}

TEST_F(XmlSettings, FaultyDocumentsAreRefusedBeforeTheDevice) {
    const struct {
        std::string json, message;
        int code;
    } cases[] = {
        {R"({"command":50,"count":0,"h323_single_dev":[]})", "count <= 0", CMD_ZEL_EINVAL},
        {R"({"command":50,"count":1,"h323_single_dev":{}})",
         "is_error(h323_single_dev) || !json_object_is_type(h323_single_dev, json_type_array)", CMD_ZEL_EINVAL},
        {R"({"command":55,"ch":0,"type_count":2,"region_count":0,"judge_any_param":[{}, {}, {}]})",
         "type_count != json_object_array_length(judge_any_param)", CMD_ZEL_EINVAL},
        {R"({"command":55,"ch":0,"type_count":0,"region_count":0,"judge_any_param":[]})", "type_count <= 0",
         CMD_ZEL_EINVAL},
        {R"({"command":55,"ch":0,"type_count":1,"judge_any_param":[{}]})", "region_count < 0", CMD_ZEL_EINVAL},
        {R"({"command":56,"enable":1})", "type == -1", CMD_ZEL_EINVAL},
        {R"({"command":57,"ch":0,"part_in_num":1})", "case_control == -1", CMD_ZEL_EINVAL},
        {R"({"command":64,"type":0,"count":0,"zf_ch_info":[]})", "count < 0", CMD_ZEL_EINVAL},
        {R"({"command":64,"type":0,"count":1,"zf_ch_info":"x"})",
         "type_count != json_object_array_length(zf_ch_info_param)", CMD_ZEL_EINVAL},
        {R"({"command":66,"mix_audio_config_list":{}})", "is_error(jso_mix_audio_config_list), host_id:dev-0001",
         test::kSentinelErrno},
        {R"({"command":66,"mix_audio_config_list":[1,2,3,4,5,6,7,8,9]})",
         "mix_audio_config_list_len err, value:9, host_id:dev-0001", test::kSentinelErrno},
    };
    for (const auto &c : cases) {
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 0) << c.json;
        Lines messages = log.messages();
        ASSERT_FALSE(messages.empty()) << c.json;
        EXPECT_EQ(messages.front(), c.message);
        EXPECT_EQ(err, c.code) << c.json;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

}  // namespace
