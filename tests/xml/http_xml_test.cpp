// The HTTP-XML exchanges: the face-track switch written and read back as XML
// (set 70, get 46), and the testimony channel list of the court database
// filling the platform's record (video_to_cmd_common_get_config type 1).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "command_test.h"
#include "device_sdk_xml.h"

namespace {

using test::Bytes;
using test::Command;
using test::Lines;
using test::text_at;
using test::word_at;

class HttpXml : public test::CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    }
};

using FaceTrack = HttpXml;
using Testimony = HttpXml;

// The request record of a logged exchange and the texts it pointed to.
struct Exchange {
    int32_t type, url_len, body_len, option, flag;
    std::string url, body;
};
Exchange exchange(const sdk_sim_call &call) {
    EXPECT_EQ(call.in_len, 48);
    EXPECT_EQ(call.args[0], 48);
    EXPECT_EQ(call.args[1], 32);
    return {word_at(call.in, 0),
            word_at(call.in, 16),
            word_at(call.in, 32),
            word_at(call.in, 36),
            word_at(call.in, 44),
            call.text[0],
            call.text[1] ? call.text[1] : ""};
}

TEST_F(FaceTrack, WrittenSwitchIsReadBackPerChannelAndScene) {
    Command on(R"({"command":70,"ch":7,"sence_id":0,"enabled":1})");
    EXPECT_EQ(set(on), 1);
    Exchange write = exchange(only_call("NetClient_HttpXmlConfig"));
    EXPECT_EQ(write.type, 1);
    EXPECT_EQ(write.url, "/CGI/Smart/FaceTrack/1/Channels/8/Scene/0");
    EXPECT_EQ(write.url_len, static_cast<int32_t>(write.url.size()));
    EXPECT_EQ(write.body, R"(<?xml version="1.0" encoding="UTF-8"?><FaceTrack><DeviceAddress>10.1.2.3)"
                          R"(</DeviceAddress><Enabled>1</Enabled></FaceTrack>)");
    EXPECT_EQ(write.body_len, 102400);
    EXPECT_EQ(write.option, 0);
    EXPECT_EQ(write.flag, 1);

    Command same(R"({"command":46,"ch":7,"sence_id":0})");
    EXPECT_EQ(get(same), 1);
    EXPECT_EQ(same.reply(), R"({ "enabled": 1 })");
    Exchange read = exchange(calls("NetClient_HttpXmlConfig").back());
    EXPECT_EQ(read.type, 0);
    EXPECT_EQ(read.url_len, 1024);
    EXPECT_EQ(read.body_len, 0);
    EXPECT_EQ(read.flag, 1);

    Command other(R"({"command":46,"ch":0,"sence_id":3})");
    EXPECT_EQ(get(other), 1);
    EXPECT_EQ(other.reply(), R"({ "enabled": 0 })");
    EXPECT_EQ(exchange(calls("NetClient_HttpXmlConfig").back()).url, "/CGI/Smart/FaceTrack/1/Channels/1/Scene/3");
    EXPECT_EQ(err, test::kSentinelErrno);
}

TEST_F(FaceTrack, RefusedMembersReachNoDevice) {
    const struct {
        bool is_set;
        const char *json, *message;
        int code;
    } cases[] = {
        {true, R"({"command":70,"sence_id":0,"enabled":1})", "ch == -1", CMD_ZEL_EINVAL},
        {true, R"({"command":70,"ch":0,"sence_id":"1","enabled":1})", "scene_id == -1", CMD_ZEL_EINVAL},
        {true, R"({"command":70,"ch":0,"sence_id":0})", "enabled == -1", CMD_ZEL_EINVAL},
        {false, R"({"command":46,"ch":-3,"sence_id":0})", "ch < 0, host_id:dev-0001", test::kSentinelErrno},
        {false, R"({"command":46,"ch":1})", "sence_id < 0, host_id:dev-0001, ch:1", test::kSentinelErrno},
    };
    for (const auto &c : cases) {
        Command cmd(c.json);
        EXPECT_EQ(c.is_set ? set(cmd) : get(cmd), 0) << c.json;
        EXPECT_EQ(log.messages(), Lines{c.message});
        EXPECT_EQ(err, c.code) << c.json;
        EXPECT_EQ(cmd.reply(), "");
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(FaceTrack, DeviceRefusalsAndUnreadableAnswersFailTheCommand) {
    Command missing(R"({"command":70,"ch":16,"sence_id":0,"enabled":1})");
    EXPECT_EQ(set(missing), 0);
    EXPECT_EQ(log.messages(), (Lines{"NetClient_HttpXmlConfig failed, host_id:dev-0001, ch:16, err:194",
                                     "!xml_to_set_face_track_enable"}));
    EXPECT_EQ(err, test::kSentinelErrno);

    const char *replies[] = {"<FaceTrack><Enabled>1</Enabled>", "<FaceTrack/>", "{\"enabled\":1}"};
    for (const char *reply : replies) {
        sdk_sim_push_answer("NetClient_HttpXmlConfig", 0, 0, 0x33, reply, static_cast<int32_t>(strlen(reply)));
        Command cmd(R"({"command":46,"ch":0,"sence_id":0})");
        EXPECT_EQ(get(cmd), 0) << reply;
        EXPECT_EQ(cmd.reply(), "");
        // The exchange and the command each name the failure.
        EXPECT_EQ(log.messages(), (Lines{"Analysis_FaceTrackInfo failed, host_id:dev-0001, ch:0, err:33",
                                         "!xml_to_get_face_track_enable", "!xml_to_get_face_track_enable"}));
    }
}

// The platform's record, every byte preset so that untouched bytes show.
struct TestimonyRecord {
    TestimonyRecord() : bytes(sizeof(AsynOpIt_GetAllTestimonyChannelInfo), 0xEE) {}
    int32_t count() const { return word_at(bytes.data(), offsetof(AsynOpIt_GetAllTestimonyChannelInfo, count)); }
    const uint8_t *entry(size_t i) const { return bytes.data() + i * sizeof(testimony_channel_info); }
    std::string name(size_t i) const { return text_at(entry(i), offsetof(testimony_channel_info, name), 60); }
    bool untouched(size_t from, size_t to) const {
        return std::all_of(bytes.begin() + static_cast<ptrdiff_t>(from), bytes.begin() + static_cast<ptrdiff_t>(to),
                           [](uint8_t b) { return b == 0xEE; });
    }
    int32_t query(void *host, int32_t size = sizeof(AsynOpIt_GetAllTestimonyChannelInfo)) {
        return video_to_cmd_common_get_config(host, 1, bytes.data(), size);
    }
    std::vector<uint8_t> bytes;
};

TEST_F(Testimony, DeviceChannelListFillsTheRecord) {
    TestimonyRecord record;
    errno = test::kSentinelErrno;
    EXPECT_EQ(record.query(host.data()), 1);
    EXPECT_EQ(errno, test::kSentinelErrno);
    Exchange query = exchange(only_call("NetClient_HttpXmlConfig"));
    EXPECT_EQ(query.type, 2);
    EXPECT_EQ(query.url, "/CGI/CourtDB/Database");
    EXPECT_EQ(query.url_len, 21);
    EXPECT_EQ(query.body, R"({"key":524291,"conditions":{"Type":2}})");
    EXPECT_EQ(query.body_len, static_cast<int32_t>(query.body.size()));
    EXPECT_EQ(query.option, 10);
    EXPECT_EQ(query.flag, 1);

    EXPECT_EQ(record.count(), 16);
    EXPECT_EQ(word_at(record.entry(15), 0), 15);
    EXPECT_EQ(record.name(15), "Testimony 16");
    EXPECT_EQ(word_at(record.entry(15), 64), 16);
    EXPECT_TRUE(record.untouched(15 * 132 + 68, 16 * 132));  // the entry's last 64 bytes
    EXPECT_TRUE(record.untouched(16 * 132, 42244));          // the entries beyond and the 4 bytes after them
    EXPECT_TRUE(record.untouched(42248, 42252));
    Lines lines = log.messages();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0].substr(0, 6), "XML\xA3\xBA{");
    EXPECT_EQ(lines[1], "testimony: i: 0, name: Testimony 1, ch: 0, ch_name_id: 1");
    EXPECT_EQ(lines[17], "NetClient_HttpXmlConfig succ!");
}

std::string list_reply(const std::string &items) { return R"({"result":0,"info":{"ListChInfo":[)" + items + "]}}"; }

TEST_F(Testimony, ElementsAreTakenOneByOneUpToTheRecordsCapacity) {
    sdk_sim_reset();  // the programmed answers speak for the device
    std::string items;
    for (int i = 0; i < 400; ++i)
        items +=
            (i ? "," : "") + std::string(R"({"ChInfo":{"Chid":)") + std::to_string(i) + R"(,"Name":"c","NameId":1}})";
    const std::string reply = list_reply(items);
    answer_once("NetClient_HttpXmlConfig", 2, Bytes(reply.size()).text(0, reply));
    TestimonyRecord full;
    full.query(host.data());
    EXPECT_EQ(full.count(), 320);
    EXPECT_EQ(word_at(full.entry(319), 0), 319);
    EXPECT_TRUE(full.untouched(320 * 132, 42244));

    const std::string faulty =
        list_reply(R"(null,{"Chid":1},{"ChInfo":{"Chid":2,"NameId":2}},{"ChInfo":{"Chid":-1,"Name":"x","NameId":3}},)"
                   R"({"ChInfo":{"Chid":4,"Name":7,"NameId":4}},{"ChInfo":{"Chid":5,"Name":")" +
                   std::string(70, 'n') + R"(","NameId":5}})");
    answer_once("NetClient_HttpXmlConfig", 2, Bytes(faulty.size()).text(0, faulty));
    TestimonyRecord record;
    log.clear();
    record.query(host.data());
    EXPECT_EQ(record.count(), 6);
    EXPECT_TRUE(record.untouched(0, 4 * 132));
    EXPECT_EQ(record.name(4), "7");
    EXPECT_EQ(record.name(5), std::string(59, 'n'));
    Lines lines = log.messages();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(Lines(lines.begin() + 1, lines.begin() + 4),
              (Lines{"jso_ch_info_item == NULL", "jso_ch_info == NULL", "name == NULL"}));
}

TEST_F(Testimony, UnusableAnswersLeaveTheRecordAsItWas) {
    sdk_sim_reset();
    const std::pair<std::string, std::string> cases[] = {
        {"<xml/>", "is_error(jso_all)"},
        {R"({"result":1,"info":{"ListChInfo":[]}})", "result != 0"},
        {R"({"result":0})", "jso_info == NULL"},
        {R"({"result":0,"info":[1]})", "jso_info == NULL"},
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
        ASSERT_EQ(log.messages().size(), 2u) << message;
        EXPECT_EQ(log.messages()[1], message);
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

}  // namespace
