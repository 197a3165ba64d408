// Settings carried as documents. HTTP-XML: the face-track switch written and
// read back as XML (set 70, get 46) and the court database's testimony list
// filling the platform's record (video_to_cmd_common_get_config type 1).
// XML-carried settings: structures at their offsets, the entries
// read-modify-write keeps, the schedule's day blocks, what the structures'
// capacities cut, and the refusals of faulty documents.
#include <algorithm>
#include <cstring>

#include "command_test.h"
#include "device_sdk_xml.h"

namespace {

using test::Bytes;
using test::Command;
using test::Lines;
using test::text_at;
using test::word_at;

class Xml : public test::CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    }
    // The structure of the last write.
    std::vector<uint8_t> written() { return test::input(calls("NetClient_XmlSetDevConfig").back()); }
    // The last HTTP exchange's request record: type, URL length, body
    // length, option, flag; then its URL and body.
    static std::string exchange() {
        sdk_sim_call c = calls("NetClient_HttpXmlConfig").back();
        EXPECT_EQ(c.in_len, 48);
        std::string out;
        for (size_t at : {0, 16, 32, 36, 44})
            out += std::to_string(word_at(c.in, at)) + " ";
        return out + c.text[0] + " " + (c.text[1] != nullptr ? c.text[1] : "");
    }
};

TEST_F(Xml, FaceTrackSwitchIsReadBackPerChannelAndScene) {
    Command on(R"({"command":70,"ch":7,"sence_id":0,"enabled":1})");
    EXPECT_EQ(set(on), 1);
    EXPECT_EQ(exchange(), R"(1 41 102400 0 1 /CGI/Smart/FaceTrack/1/Channels/8/Scene/0 <?xml version="1.0" )"
                          R"(encoding="UTF-8"?><FaceTrack><DeviceAddress>10.1.2.3</DeviceAddress><Enabled>1)"
                          R"(</Enabled></FaceTrack>)");
    Command same(R"({"command":46,"ch":7,"sence_id":0})");
    EXPECT_EQ(get(same), 1);
    EXPECT_EQ(same.reply(), R"({ "enabled": 1 })");
    EXPECT_EQ(exchange(), "0 1024 0 0 1 /CGI/Smart/FaceTrack/1/Channels/8/Scene/0 ");
    Command other(R"({"command":46,"ch":0,"sence_id":3})");
    EXPECT_EQ(get(other), 1);
    EXPECT_EQ(other.reply(), R"({ "enabled": 0 })");

    // A channel the device lacks, and answers that are no face-track document.
    Command missing(R"({"command":70,"ch":16,"sence_id":0,"enabled":1})");
    EXPECT_EQ(set(missing), 0);
    EXPECT_EQ(log.messages(), (Lines{"NetClient_HttpXmlConfig failed, host_id:dev-0001, ch:16, err:194",
                                     "!xml_to_set_face_track_enable"}));
    for (const char *reply : {"<FaceTrack><Enabled>1</Enabled>", "<FaceTrack/>", "{\"enabled\":1}"}) {
        sdk_sim_push_answer("NetClient_HttpXmlConfig", 0, 0, 0x33, reply, static_cast<int32_t>(strlen(reply)));
        Command cmd(R"({"command":46,"ch":0,"sence_id":0})");
        EXPECT_EQ(get(cmd), 0) << reply;
        EXPECT_EQ(cmd.reply(), "");
        EXPECT_EQ(log.messages(), (Lines{"Analysis_FaceTrackInfo failed, host_id:dev-0001, ch:0, err:33",
                                         "!xml_to_get_face_track_enable", "!xml_to_get_face_track_enable"}));
    }
}

// The platform's record, every byte preset so that untouched bytes show.
struct TestimonyRecord {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(sizeof(AsynOpIt_GetAllTestimonyChannelInfo), 0xEE);
    int32_t count() const { return word_at(bytes.data(), offsetof(AsynOpIt_GetAllTestimonyChannelInfo, count)); }
    const uint8_t *entry(size_t i) const { return bytes.data() + i * sizeof(testimony_channel_info); }
    bool untouched(size_t from, size_t to) const {
        return std::all_of(bytes.begin() + static_cast<ptrdiff_t>(from), bytes.begin() + static_cast<ptrdiff_t>(to),
                           [](uint8_t b) { return b == 0xEE; });
    }
    int32_t query(void *host, int32_t size = sizeof(AsynOpIt_GetAllTestimonyChannelInfo)) {
        return video_to_cmd_common_get_config(host, 1, bytes.data(), size);
    }
};

TEST_F(Xml, TestimonyListFillsTheRecordUpToItsCapacity) {
    TestimonyRecord record;
    errno = test::kSentinelErrno;
    EXPECT_EQ(record.query(host.data()), 1);
    EXPECT_EQ(errno, test::kSentinelErrno);
    EXPECT_EQ(exchange(), R"(2 21 38 10 1 /CGI/CourtDB/Database {"key":524291,"conditions":{"Type":2}})");
    EXPECT_EQ(record.count(), 16);
    EXPECT_EQ(word_at(record.entry(15), 0), 15);
    EXPECT_EQ(test::text_at(record.entry(15), 4, 60), "Testimony 16");
    EXPECT_EQ(word_at(record.entry(15), 64), 16);
    EXPECT_TRUE(record.untouched(15 * 132 + 68, 16 * 132));  // the entry's last 64 bytes
    EXPECT_TRUE(record.untouched(16 * 132, 42244));
    Lines lines = log.messages();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_TRUE(lines[0].starts_with("XML\xA3\xBA{"));
    EXPECT_EQ(lines[1], "testimony: i: 0, name: Testimony 1, ch: 0, ch_name_id: 1");
    EXPECT_EQ(lines[17], "NetClient_HttpXmlConfig succ!");

    std::string items = R"(null,{"Chid":1},{"ChInfo":{"Chid":2,"NameId":2}},)"
                        R"({"ChInfo":{"Chid":-1,"Name":"x","NameId":3}},{"ChInfo":{"Chid":4,"Name":7,"NameId":4}},)"
                        R"({"ChInfo":{"Chid":5,"Name":")" +
                        std::string(70, 'n') + R"(","NameId":5}})";
    for (int i = 6; i < 400; ++i)
        items += R"(,{"ChInfo":{"Chid":)" + std::to_string(i) + R"(,"Name":"c","NameId":1}})";
    const std::string reply = R"({"result":0,"info":{"ListChInfo":[)" + items + "]}}";
    answer_once("NetClient_HttpXmlConfig", 2, Bytes(reply.size()).text(0, reply));
    TestimonyRecord full;
    log.clear();
    full.query(host.data());
    EXPECT_EQ(full.count(), 320);
    EXPECT_TRUE(full.untouched(0, 4 * 132));
    EXPECT_EQ(test::text_at(full.entry(4), 4, 60), "7");
    EXPECT_EQ(test::text_at(full.entry(5), 4, 60), std::string(59, 'n'));
    EXPECT_EQ(word_at(full.entry(319), 0), 319);
    EXPECT_TRUE(full.untouched(320 * 132, 42244));
    lines = log.messages();
    EXPECT_EQ(Lines(lines.begin() + 1, lines.begin() + 4),
              (Lines{"jso_ch_info_item == NULL", "jso_ch_info == NULL", "name == NULL"}));
}

TEST_F(Xml, UnusableTestimonyAnswersLeaveTheRecordAsItWas) {
    const std::pair<std::string, std::string> cases[] = {
        {"<xml/>", "is_error(jso_all)"},
        {R"({"result":1,"info":{"ListChInfo":[]}})", "result != 0"},
        {R"({"result":0,"info":{}})", "jso_list_ch_info == NULL"},
        {R"({"result":0,"info":{"ListChInfo":{"ChInfo":{}}}})", "jso_list_ch_info == NULL"},
        {std::string(102400, '['), "is_error(jso_all)"},
    };
    for (const auto &[reply, message] : cases) {
        answer_once("NetClient_HttpXmlConfig", 2, Bytes(reply.size()).text(0, reply));
        TestimonyRecord record;
        log.clear();
        EXPECT_EQ(record.query(host.data()), 1);
        EXPECT_TRUE(record.untouched(0, record.bytes.size())) << message;
        EXPECT_EQ(log.messages().back(), message);
    }
    sdk_sim_push_answer("NetClient_HttpXmlConfig", 2, -1, 5, nullptr, 0);
    TestimonyRecord refused;
    log.clear();
    refused.query(host.data());
    EXPECT_EQ(log.messages(), Lines{"NetClient_HttpXmlConfig fail!"});
    log.clear();
    errno = test::kSentinelErrno;
    EXPECT_EQ(refused.query(host.data(), 42251), 1);
    EXPECT_EQ(errno, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), Lines{"opit == NULL || size != sizeof(AsynOpIt_GetAllTestimonyChannelInfo)"});
    EXPECT_TRUE(refused.untouched(0, refused.bytes.size()));
}

bool zero(const uint8_t *from, size_t len) {
    return std::all_of(from, from + len, [](uint8_t b) { return b == 0; });
}

std::string call(int id, const std::string &extra = "") {
    return R"({"set_type":1,"h323_call_id":)" + std::to_string(id) +
           R"(,"call_mode":3,"call_rate":4,"ip_address":"192.0.2.20")" + extra + "}";
}

TEST_F(Xml, ConferenceCallsAreSentAsGivenAndFaultyOnesStayZero) {
    Command cmd(
        R"({"command":50,"count":3,"h323_single_dev":[)" +
        call(2, R"(,"port":5,"net_name":")" + std::string(70, 'n') +
                    R"(","call_msg":"","stream_type":6,"h323_group_id":7,"call_type":8,"sip_net_link_type":9)") +
        "," + call(3) + "]}");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(), (Lines{"port == -1", "is_error(jso_tmp)"}));
    std::vector<uint8_t> rec = written();
    const uint8_t *first = rec.data() + offsetof(xml_h323_param, devs);
    EXPECT_EQ(word_at(rec.data(), 0), 3);
    const int32_t words[] = {1, 6, 2, 7, 8, 9, 3, 4};
    for (size_t i = 0; i < std::size(words); ++i)
        EXPECT_EQ(word_at(first, 4 * i), words[i]) << i;
    EXPECT_EQ(text_at(first, 32, 64), "192.0.2.20");
    EXPECT_EQ(word_at(first, 96), 5);
    EXPECT_EQ(text_at(first, 100, 64), std::string(63, 'n'));
    EXPECT_TRUE(zero(first + 228, rec.data() + rec.size() - first - 228));

    // The structure holds 16 calls.
    std::string many = call(0, R"(,"port":1)");
    for (int i = 1; i < 17; ++i)
        many.append(",").append(call(i, R"(,"port":1)"));
    Command capped(R"({"command":50,"count":17,"h323_single_dev":[)" + many + "]}");
    EXPECT_EQ(set(capped), 1);
    EXPECT_EQ(log.messages(), Lines{"count > 16, count:17"});
    EXPECT_EQ(word_at(written().data(), 0), 16);
}

TEST_F(Xml, SmallSettingsKeepTheirFieldOrderAndTheDevicesStatusDecides) {
    Command case_control(R"({"command":57,"ch":3,"part_in_num":5,"case_control":6})");
    EXPECT_EQ(set(case_control), 1);
    std::vector<uint8_t> rec = written();
    EXPECT_EQ((std::vector<int32_t>{word_at(rec.data(), 0), word_at(rec.data(), 4), word_at(rec.data(), 8),
                                    word_at(rec.data(), 12)}),
              (std::vector<int32_t>{3, 0, 5, 6}));

    const struct {
        int32_t result, status;
        bool ok;
    } outcomes[] = {{3, 1, true}, {0, 2, false}, {-1, 0, false}};
    for (const auto &o : outcomes) {
        sdk_sim_push_answer("NetClient_XmlSetDevConfig", SDK_SIM_ANY, o.result, 0x2A, &o.status, 4);
        Command cmd(case_control.text);
        EXPECT_EQ(set(cmd), o.ok ? 1 : 0) << o.result << " " << o.status;
        EXPECT_EQ(log.messages(),
                  o.ok ? Lines{}
                       : Lines{"ret_ex < 0 || (stu_res_status.iStatusCode != 0 && "
                               "stu_res_status.iStatusCode != 1), host_id: dev-0001, ch : 3, error: 2a"});
    }
}

TEST_F(Xml, AnalysisSwitchesChangeOnlyTheNamedTypes) {
    Command first(R"({"command":55,"ch":2,"type_count":1,"region_count":40,)"
                  R"("judge_any_param":[{"analye_type":3,"enable":1}]})");
    EXPECT_EQ(set(first), 1);
    EXPECT_EQ(log.messages(), Lines{"region_count > 37, region_count:40"});
    sdk_sim_call read = only_call("NetClient_XmlGetDevConfig");
    EXPECT_EQ(word_at(read.in, 0), 2);
    EXPECT_EQ(word_at(read.in, 24 + 7 * 164), 164);

    // The device kept the first change; the second names other types.
    Command second(R"({"command":55,"ch":2,"type_count":2,"region_count":2,"judge_any_param":[)"
                   R"({"analye_type":5,"enable":1},{"analye_type":6,"enable":2}]})");
    EXPECT_EQ(set(second), 1);
    EXPECT_EQ(log.messages(), Lines{"enable != 0 && enable != 1"});
    std::vector<uint8_t> rec = written();
    for (int32_t type = 1; type <= JUDGE_ANY_TYPES; ++type) {
        const uint8_t *entry = rec.data() + 24 + static_cast<size_t>(type - 1) * 164;
        EXPECT_EQ(word_at(entry, 4), type);
        EXPECT_EQ(word_at(entry, 8), type == 3 || type == 5 ? 1 : 0) << type;
        EXPECT_EQ(word_at(entry, 12), type == 3 ? 37 : type == 5 ? 2 : 0) << type;
    }
    EXPECT_EQ(word_at(rec.data(), 24 + 2 * 164 + 16 + 36 * 4), 37);

    sdk_sim_push_answer("NetClient_XmlGetDevConfig", SDK_SIM_ANY, -4, 0, nullptr, 0);
    Command unread(second.text);
    EXPECT_EQ(set(unread), 0);
    EXPECT_EQ(log.messages(),
              Lines{"NetClient_XmlGetDevConfig() NETXMLCFG_JUDGEANYINFO, host_id: dev-0001, ch : 2, error: 0"});
    EXPECT_EQ(calls("NetClient_XmlSetDevConfig").size(), 2u);
}

TEST_F(Xml, CourtChannelNamesChangeEveryMatchingEntry) {
    // A device reporting more entries than the structure holds, channel 5
    // twice: both are renamed, and nothing past the last slot is read.
    Bytes device(sizeof(xml_zf_ch_info));
    device.put(0, 1).put(4, 100000);
    for (int32_t i = 0; i < ZF_CH_MAX; ++i)
        device.put(8 + 8 * static_cast<size_t>(i), i == 359 ? 5 : i);
    answer_once("NetClient_XmlGetDevConfig", NETXMLCFG_COURT_ZFCHNINFO, device);
    Command named(R"({"command":64,"type":1,"count":2,"zf_ch_info":[{"ch_no":5,"ch_name_type":9},{"ch_no":-1}]})");
    EXPECT_EQ(set(named), 1);
    EXPECT_EQ(log.messages(), Lines{"ch_no < 0"});
    std::vector<uint8_t> rec = written();
    EXPECT_EQ(word_at(rec.data(), 4), 360);
    EXPECT_EQ(word_at(rec.data(), 8 + 5 * 8 + 4), 9);
    EXPECT_EQ(word_at(rec.data(), 8 + 6 * 8 + 4), 0);
    EXPECT_EQ(word_at(rec.data(), 8 + 359 * 8 + 4), 9);
}

TEST_F(Xml, MixAudioIsReadBackWithFaultyEntriesZero) {
    Command mix(R"({"command":66,"mix_audio_config_list":[{"output_src_name":"Hall","input_src_list":[)"
                R"({"input_src_name":"Mic","enable":1},{"input_src_name":"Aux","enable":2},{"enable":0}]},)"
                R"({"output_src_name":"Booth","input_src_list":[]}]})");
    EXPECT_EQ(set(mix), 1);
    EXPECT_EQ(log.messages(),
              (Lines{"enable err, value:2, host_id:dev-0001, j:1", "input_src_name == NULL, host_id:dev-0001, j:2",
                     "input_src_list_len err, value:0, host_id:dev-0001"}));
    EXPECT_EQ(word_at(written().data(), 0), 2);

    Command read(R"({"command":64})");
    EXPECT_EQ(get(read), 1);
    EXPECT_EQ(read.reply(), R"({ "mix_audio_config_list": [ { "output_src_name": "Hall", "input_src_list": [ )"
                            R"({ "input_src_name": "Mic", "enable": 1 }, { "input_src_name": "", "enable": 0 }, )"
                            R"({ "input_src_name": "", "enable": 0 } ] }, { "output_src_name": "Booth" } ] })");
    EXPECT_EQ(log.messages(), Lines{"iAudioSrcNum err, value:0, i:1, output_src_name:Booth, host_id:dev-0001"});

    answer_once("NetClient_XmlGetDevConfig", NETXMLCFG_CMD_MIXAUDIOCONFIG, Bytes(9508).put(0, 9));
    Command nine(R"({"command":64})");
    EXPECT_EQ(get(nine), 0);
    EXPECT_EQ(log.messages(), Lines{"iAudioConfigNum err, value:9, host_id:dev-0001"});
}

TEST_F(Xml, DefoggingDaysAreShiftedIntoBlocksOneToSeven) {
    std::string days = "[";
    for (int i = 0; i < 10; ++i)
        days += std::string(i ? "," : "") +
                R"({"time_ranges":[{"start_time":"06:00","end_time":"09:00","time_vaild":1},)" +
                R"({"start_time":"0123456789abcdefXYZ","end_time":"x"},{"start_time":"a","end_time":"b"},)" +
                R"({"start_time":"c","end_time":"d"},{"start_time":"e","end_time":"f"}]})";
    Command cmd(R"({"command":89,"ch":3,"enable":1,"time_schedule":)" + days + "]}");
    EXPECT_EQ(set(cmd), 1);
    std::vector<uint8_t> rec = written();
    EXPECT_TRUE(zero(rec.data() + 8, 144));
    const uint8_t *last_day = rec.data() + 8 + 7 * 144;
    EXPECT_EQ(text_at(last_day, 4, 16), "06:00");
    EXPECT_EQ(text_at(last_day, 36 + 4, 16), "0123456789abcde");
    EXPECT_EQ(word_at(last_day, 36), -1);

    Command read(R"({"command":87,"ch":3})");
    EXPECT_EQ(get(read), 1);
    EXPECT_EQ(word_at(calls("NetClient_XmlGetDevConfig").back().in, 0), 3);
    EXPECT_TRUE(read.reply().starts_with(R"({ "enable": 1, "time_schedule": [ { "time_ranges": [ { "start_time": )"
                                         R"("06:00", "end_time": "09:00", "time_vaild": 1 }, { "start_time": )"
                                         R"("0123456789abcde", "end_time": "x", "time_vaild": -1 }, )"));
    // Another channel: seven days of four empty ranges.
    Command other(R"({"command":87,"ch":4})");
    EXPECT_EQ(get(other), 1);
    std::string reply = other.reply(), empty = R"({ "start_time": "", "end_time": "", "time_vaild": 0 })";
    EXPECT_EQ(std::count(reply.begin(), reply.end(), '{'), 1 + 7 + 28);
    EXPECT_TRUE(reply.ends_with(empty + " ] } ] }"));
}

TEST_F(Xml, FaultyDocumentsAreRefusedBeforeTheDevice) {
    const std::string day = R"({"time_ranges":[{"start_time":"a","end_time":"b"}]})";
    const std::string defog = "json_to_set_defogging_configuration_parameters ";
    const struct {
        std::string json, message;
        int code;
        bool get = false;
    } cases[] = {
        {R"({"command":70,"sence_id":0,"enabled":1})", "ch == -1", CMD_ZEL_EINVAL},
        {R"({"command":70,"ch":0,"sence_id":"1","enabled":1})", "scene_id == -1", CMD_ZEL_EINVAL},
        {R"({"command":46,"ch":-3,"sence_id":0})", "ch < 0, host_id:dev-0001", test::kSentinelErrno, true},
        {R"({"command":46,"ch":1})", "sence_id < 0, host_id:dev-0001, ch:1", test::kSentinelErrno, true},
        {R"({"command":50,"count":0,"h323_single_dev":[]})", "count <= 0", CMD_ZEL_EINVAL},
        {R"({"command":55,"ch":0,"type_count":2,"region_count":0,"judge_any_param":[{}, {}, {}]})",
         "type_count != json_object_array_length(judge_any_param)", CMD_ZEL_EINVAL},
        {R"({"command":64,"type":0,"count":0,"zf_ch_info":[]})", "count < 0", CMD_ZEL_EINVAL},
        {R"({"command":66,"mix_audio_config_list":{}})", "is_error(jso_mix_audio_config_list), host_id:dev-0001",
         test::kSentinelErrno},
        {R"({"command":66,"mix_audio_config_list":[1,2,3,4,5,6,7,8,9]})",
         "mix_audio_config_list_len err, value:9, host_id:dev-0001", test::kSentinelErrno},
        {R"({"command":89,"ch":0,"enable":1,"time_schedule":"x"})",
         "set_defogging_configuration_parameters time_schedule == NULL || !json_object_is_type(time_schedule, "
         "json_type_array)",
         test::kSentinelErrno},
        {R"({"command":89,"ch":0,"enable":1,"time_schedule":[)" + day + ",null]}", defog + "time_range_obj  == NULL",
         test::kSentinelErrno},
        {R"({"command":89,"ch":0,"enable":1,"time_schedule":[)" + day + R"(,{"time_ranges":[{"start_time":"a"}]}]})",
         defog + "end_time == NULL", test::kSentinelErrno},
    };
    for (const auto &c : cases) {
        Command cmd(c.json);
        EXPECT_EQ(c.get ? get(cmd) : set(cmd), 0) << c.json;
        Lines messages = log.messages();
        ASSERT_FALSE(messages.empty()) << c.json;
        EXPECT_EQ(messages.front(), c.message);
        EXPECT_EQ(err, c.code) << c.json;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(Xml, ReportsCarryTheDevicesResult) {
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
    EXPECT_TRUE(calls_now.reply().starts_with(R"({ "gk_state": 1, "call_state": [ { "h323_call_id": 0,)"));
    EXPECT_NE(calls_now.reply().find(R"({ "h323_call_id": 15, "h323_group_id": 0, "ip_address": ")" +
                                     std::string(64, 'i') + R"(", "port": 0, )"),
              std::string::npos);

    for (const char *json : {R"({"command":51})", R"({"command":58})"}) {
        sdk_sim_push_answer("NetClient_XmlGetDevConfig", SDK_SIM_ANY, -3, 9, nullptr, 0);
        Command cmd(json);
        EXPECT_EQ(get(cmd), 0);
        EXPECT_EQ(cmd.reply(), R"({ "ret": -3 })");
        EXPECT_EQ(log.messages().size(), 1u);
    }
}

}  // namespace
