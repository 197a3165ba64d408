// The picture commands as the device receives and answers them: records at
// their offsets, the size table both ways, unknown codes, lists at their
// capacity, refusals, and the simulated device keeping each stream.
#include <json-c/json.h>

#include <initializer_list>

#include "command_test.h"
#include "video/video_sizes.h"

namespace {

using test::Bytes;
using test::Command;
using test::input;
using test::kSentinelErrno;
using test::Lines;

// Consecutive i32 values: how the device answers integer outputs and lists.
Bytes words(std::initializer_list<int32_t> values) {
    Bytes bytes(4 * values.size());
    for (size_t i = 0; i < values.size(); ++i)
        bytes.put(4 * i, values.begin()[i]);
    return bytes;
}

std::string n(int32_t value) { return std::to_string(value); }
std::string params(int32_t ch, int32_t data_type) {
    return R"({"command":78,"ch":)" + n(ch) + R"(,"data_type":)" + n(data_type) + "}";
}
std::string params_reply(int32_t definition, int32_t width, int32_t height, int32_t kbyte_rate) {
    return R"({ "video_sizes": { "video_size": )" + n(definition) + R"(, "width": )" + n(width) + R"(, "height": )" +
           n(height) + R"( }, "video_kbyterate": )" + n(kbyte_rate) + " }";
}
std::string set_size(int32_t ch, int32_t data_type, int32_t definition) {
    return R"({"command":83,"ch":)" + n(ch) + R"(,"data_type":)" + n(data_type) +
           R"(,"video_size_enable":1,"video_size":)" + n(definition) + "}";
}

class VideoTest : public test::CommandTest {
  protected:
    // The reply to one command, whose result is `expected`. The family's set
    // and get numbers differ, so the number (first member) tells the side.
    std::string reply_of(const std::string &json, int32_t expected = 1) {
        Command cmd(json);
        int32_t number = std::stoi(json.substr(json.find(':') + 1));
        bool is_set = number == 9 || number == 10 || number == 44 || number == 83;
        EXPECT_EQ(is_set ? set(cmd) : get(cmd), expected) << json;
        return cmd.reply();
    }
};

TEST_F(VideoTest, SharpnessGoesToEveryTimeRangeAndNeedsOneAccepted) {
    for (int32_t index = 0; index < 8; ++index)
        sdk_sim_push_answer("NetClient_SetHDTimeRangeParam", SDK_SIM_ANY, index == 5 ? 0 : -1, 0x17, nullptr, 0);
    reply_of(R"({"command":9,"ch":3,"sharp":128})");
    EXPECT_EQ(err, kSentinelErrno);
    EXPECT_EQ(log.messages().size(), 7u);
    EXPECT_TRUE(log.contains("NetClient_SetHDTimeRangeParam() failed, id:dev-0001, ch:3, sharp:128, index:7"));
    const Bytes record = Bytes(884).put(0, 7).put(208, 128);
    auto sent = calls("NetClient_SetHDTimeRangeParam");
    ASSERT_EQ(sent.size(), 8u);
    for (int32_t i = 0; i < 8; ++i)
        EXPECT_TRUE(sent[i].ch == 3 && sent[i].args[0] == i && input(sent[i]) == record.data) << "time range " << i;

    fail("NetClient_SetHDTimeRangeParam", SDK_SIM_ANY, -1);
    reply_of(R"({"command":9,"ch":3,"sharp":128})", 0);
    EXPECT_EQ(err, kSentinelErrno);
}

TEST_F(VideoTest, CombinationCutsTheChannelListToItsField) {
    reply_of(R"({"command":44,"pic_num":9,"rec":1,"chs":")" + std::string(400, '7') + R"(","vo_dev_id":2})");
    EXPECT_EQ(input(only_call()),
              Bytes(316).put(0, 316).put(4, 9).put(8, 1).text(12, std::string(299, '7')).put(312, 2).data);
}

TEST_F(VideoTest, RefusalsSendNothing) {
    const struct {
        const char *json, *message;
        int err;
    } cases[] = {
        {R"({"command":9,"ch":"2","sharp":1})", "ch < 0", CMD_ZEL_EINVAL},
        {R"({"command":9,"ch":0,"sharp":[1]})", "sharp == -1", CMD_ZEL_EINVAL},
        {R"({"command":10,"ch":0,"frame_rate":25,"stream_type":null})", "stream_type == -1", CMD_ZEL_EINVAL},
        {R"({"command":44,"pic_num":4,"rec":{},"chs":"1","vo_dev_id":0})", "rec == -1", CMD_ZEL_EINVAL},
        {R"({"command":44,"pic_num":4,"rec":0,"vo_dev_id":0})", "chs == NULL", CMD_ZEL_EINVAL},
        {R"({"command":74,"ch":-1})", "ch < 0", CMD_ZEL_EINVAL},
        {R"({"command":83,"ch":1,"video_size_enable":1})", "set_current_video_param data_type:-1 < 0", kSentinelErrno},
        {R"({"command":78,"ch":-2,"data_type":0})", "get_current_video_param ch:-2 < 0", kSentinelErrno},
        {R"({"command":79,"ch":0,"data_type":"1"})", "get_support_video_param_info data_type:-1 < 0", kSentinelErrno},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(reply_of(c.json, 0), "") << c.json;
        EXPECT_EQ(err, c.err) << c.json;
        EXPECT_EQ(log.messages(), Lines{c.message});
    }
    EXPECT_EQ(reply_of(R"({"command":62,"ch":-1})", 0), R"({ "ret": -1 })");
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(VideoTest, DeviceFailuresAreLoggedWithoutErrorCodes) {
    host.put<uint8_t>(test::host_offset::kHasAltIp, 1);
    host.put_text(test::host_offset::kAltIp, "198.51.100.7");
    fail("NetClient_SetVideoSize", SDK_SIM_ANY, -1, 0x3002);
    fail("NetClient_SetFrameRate", SDK_SIM_ANY, -1);
    sdk_sim_set_answer("NetClient_GetFrameRate", SDK_SIM_ANY, -5, 0x2A, words({30}).data.data(), 4);
    fail("NetClient_GetVideoSzList", SDK_SIM_ANY, -1, 0x51);
    const struct {
        const char *json, *reply, *message;
        int32_t result;
    } cases[] = {
        {R"({"command":83,"ch":3,"data_type":0,"video_size_enable":1,"video_size":13})", "",
         "set_current_video_param NetClient_SetVideoSize() failed, loginfd:7, id:dev-0001, ip:198.51.100.7, ch:3, "
         "data_type:0, err:3002",
         1},
        {R"({"command":10,"ch":2,"frame_rate":12,"stream_type":1})", "",
         "NetClient_SetFrameRate() failed, ch:2, stream_type:1, frame_rate:12", 0},
        {R"({"command":63,"ch":1})", R"({ "ret": -5 })",
         "NetClient_GetFrameRate() failed, host_id : dev-0001, ch : 1, stream_no : 0, error : 2a", 0},
        {R"({"command":79,"ch":4,"data_type":1})", "",
         "get_support_video_param_info NetClient_GetVideoSzList failed loginfd:7, id:dev-0001, ip:198.51.100.7, ch:4, "
         "data_type:1, err:51",
         0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(reply_of(c.json, c.result), c.reply);
        EXPECT_EQ(err, kSentinelErrno);
        EXPECT_TRUE(log.contains(c.message)) << c.json;
    }
}

TEST_F(VideoTest, SizeTableConvertsBothWays) {
    answer("NetClient_GetMaxKByteRate", SDK_SIM_ANY, words({2048}));
    for (const zel::video::PictureSize &row : zel::video::kPictureSizes) {
        // A definition is written as its code; 23 has two codes and is written as 3.
        reply_of(set_size(1, 0, row.definition));
        EXPECT_EQ(calls("NetClient_SetVideoSize").back().args[0], row.definition == 23 ? 3 : row.code);
        answer("NetClient_GetVideoSizeEx", SDK_SIM_ANY, words({row.code}));
        EXPECT_EQ(reply_of(params(1, 0)), params_reply(row.definition, row.width, row.height, 2048)) << row.code;
    }
}

TEST_F(VideoTest, UnknownSizesAreNotGuessed) {
    // A code carrying its size (bit 30) passes as it is in both directions.
    answer("NetClient_GetVideoSizeEx", SDK_SIM_ANY, words({14}));
    EXPECT_EQ(reply_of(params(0, 0)), params_reply(0, 0, 0, 0));
    answer("NetClient_GetVideoSizeEx", SDK_SIM_ANY, words({0x40F00280}));
    EXPECT_EQ(reply_of(params(0, 0)), params_reply(0x40F00280, 640, 480, 0));
    const std::pair<int32_t, int32_t> write_cases[] = {{19, -1}, {500, -1}, {0x40F00280, 0x40F00280}};
    for (const auto &[definition, code] : write_cases) {
        reply_of(set_size(0, 1, definition));
        EXPECT_EQ(calls("NetClient_SetVideoSize").back().args[0], code) << definition;
        EXPECT_EQ(log.contains("set_current_video_param convert_definition_video_size() failed, video_size:-1"),
                  code == -1);
    }
    // get 74 reports a client's numbers for some codes, others as they are.
    const std::pair<int32_t, int32_t> reported[] = {{0x100220, 110}, {0x43600C00, 111}, {0x800, 113}, {9, 9}};
    for (const auto &[code, number] : reported) {
        answer("NetClient_GetVideoSizeEx", SDK_SIM_ANY, words({code}));
        EXPECT_EQ(reply_of(R"({"command":74,"ch":0})"), R"({ "video_size": )" + n(number) + R"(, "kbyte_rate": -1 })");
    }
}

TEST_F(VideoTest, FailedReadsAreReportedAsNothingRead) {
    answer("NetClient_GetVideoSizeEx", SDK_SIM_ANY, words({0x100}), -1);
    answer("NetClient_GetMaxKByteRate", SDK_SIM_ANY, words({999}), -2);
    EXPECT_EQ(reply_of(R"({"command":74,"ch":2,"data_type":1})"), R"({ "video_size": -1, "kbyte_rate": -1 })");
    EXPECT_EQ(reply_of(params(2, 1)), params_reply(0, 0, 0, 0));
    EXPECT_TRUE(log.contains("get_current_video_param NetClient_GetVideoSizeEx failed loginfd:7, id:dev-0001, "
                             "ip:10.1.2.3, ch:2, data_type:1, err:0, video_size:256"));
}

TEST_F(VideoTest, SupportedSizesStopAtTheListAndSkipUnknownCodes) {
    const std::string ask = R"({"command":79,"ch":4,"data_type":1})";
    answer("NetClient_GetVideoSzList", SDK_SIM_ANY, words({3, 0x800, 14, 4}));
    EXPECT_EQ(reply_of(ask), R"({ "video_size_lists": { "video_size_count": 3, "video_size_list": [ )"
                             R"({ "video_size": 95, "width": 3840, "height": 2160 }, )"
                             R"({ "video_size": 22, "width": 704, "height": 576 } ] } })");

    // More codes reported than the list holds, or a negative count.
    Bytes many(4 * 41);
    for (int32_t i = 0; i <= 40; ++i)
        many.put(4 * i, i == 0 ? 40 : 12);
    answer("NetClient_GetVideoSzList", SDK_SIM_ANY, many);
    json_object *full = json_tokener_parse(reply_of(ask).c_str());
    json_object *lists = json_object_object_get(full, "video_size_lists");
    EXPECT_EQ(json_object_get_int(json_object_object_get(lists, "video_size_count")), 40);
    EXPECT_EQ(json_object_array_length(json_object_object_get(lists, "video_size_list")), 32u);
    json_object_put(full);
    answer("NetClient_GetVideoSzList", SDK_SIM_ANY, words({-7, 12}));
    EXPECT_EQ(reply_of(ask), R"({ "video_size_lists": { "video_size_count": -7, "video_size_list": [ ] } })");
}

TEST_F(VideoTest, SimulatedDeviceKeepsEachStreamApart) {
    sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    EXPECT_EQ(reply_of(params(1, 0)), params_reply(89, 2592, 1944, 4096));
    reply_of(R"({"command":83,"ch":1,"data_type":1,"video_size_enable":1,"video_size":22,)"
             R"("video_kbyterate_enable":1,"video_kbyterate":256})");
    reply_of(R"({"command":83,"ch":1,"data_type":1,"video_kbyterate_enable":1,"video_kbyterate":1024})");
    reply_of(set_size(1, 1, 95));  // a size the sub stream lacks: refused, the stream keeps its own
    EXPECT_EQ(reply_of(params(1, 1)), params_reply(22, 704, 576, 1024));
    EXPECT_EQ(reply_of(params(1, 0)), params_reply(89, 2592, 1944, 4096));
    EXPECT_EQ(reply_of(R"({"command":74,"ch":0})"), R"({ "video_size": 113, "kbyte_rate": 4096 })");
    reply_of(R"({"command":10,"ch":0,"frame_rate":31,"stream_type":0})", 0);
    reply_of(R"({"command":10,"ch":0,"frame_rate":12,"stream_type":0})");
    EXPECT_EQ(reply_of(R"({"command":63,"ch":0})"), R"({ "frame_rate": 12, "ret": 0 })");
}

// Every size a device lists, written by its definition, is then reported by
// the device in its own pixels: the table agrees with the device's sizes.
TEST_F(VideoTest, ListedSizesReadBackInTheDevicesOwnPixels) {
    sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    size_t checked = 0;
    for (int32_t ch = 0; ch < 3; ++ch) {
        for (int32_t stream = 0; stream < 2; ++stream) {
            json_object *doc = json_tokener_parse(
                reply_of(R"({"command":79,"ch":)" + n(ch) + R"(,"data_type":)" + n(stream) + "}").c_str());
            json_object *list =
                json_object_object_get(json_object_object_get(doc, "video_size_lists"), "video_size_list");
            for (size_t i = 0; i < json_object_array_length(list); ++i, ++checked) {
                json_object *entry = json_object_array_get_idx(list, i);
                auto member = [entry](const char *key) {
                    return n(json_object_get_int(json_object_object_get(entry, key)));
                };
                reply_of(set_size(ch, stream, std::stoi(member("video_size"))));
                EXPECT_EQ(reply_of(R"({"command":62,"ch":)" + n(ch) + R"(,"stream_no":)" + n(stream) + "}"),
                          R"({ "width": )" + member("width") + R"(, "height": )" + member("height") +
                              R"(, "ret": 0 })");
            }
            json_object_put(doc);
        }
    }
    EXPECT_GE(checked, 15u);
}

}  // namespace
