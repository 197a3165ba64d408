// The hand-written settings: abilities, report records, dormancy with the
// host's connection, vertical-line pages, alarm ports, versions, enable
// switches; and the simulated device keeping what was set.
#include <cstdint>

#include "settings_fixture.h"

namespace {

using namespace settings_test;
using DeviceInfoTest = SettingsTest;

Bytes ability(const std::string &param) { return Bytes(1036).put(0, 1036).text(12, param); }

TEST_F(DeviceInfoTest, HostAbilityReadsTheTextAsANumber) {
    const struct {
        std::string param;
        int32_t result;
        std::string reply;
    } cases[] = {
        {"12", 0, R"({ "param": "12", "reason": "", "ret": 0 })"},
        {"0", 0, R"({ "param": "0", "reason": "not support", "ret": 0 })"},
        {"", 0, R"({ "param": "0", "reason": "not support", "ret": 0 })"},
        {std::string(1024, '7'), 0, R"({ "param": ")" + std::string(1024, '7') + R"(", "reason": "", "ret": 0 })"},
        {"12", -6, R"({ "ret": -1 })"},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        answer("NetClient_GetDevConfig", 99, ability(c.param), c.result);
        Command cmd(R"({"command":7,"subtype":5,"ch":-1})");
        EXPECT_EQ(get(cmd), c.result == 0 ? 1 : 0);
        EXPECT_EQ(err, c.result == 0 ? test::kSentinelErrno : CMD_ZEL_EDEVICE);
        EXPECT_EQ(cmd.reply(), c.reply);
        EXPECT_EQ(log.messages().front(), "ch == -1 get host ability");
        sdk_sim_call call = only_call();
        EXPECT_EQ(call.ch, kWholeDevice);
        EXPECT_EQ(word_at(call.in, 4), 9);
        EXPECT_EQ(word_at(call.in, 8), 5);
    }
}

TEST_F(DeviceInfoTest, FunctionAbilityFollowsTheProductType) {
    const struct {
        int32_t product, main_type, sub_type;
        std::string param, reply;
    } cases[] = {
        {1, 20, 116, "8", R"({ "is_support": 1 })"},  {1, 20, 116, "4", R"({ "is_support": 0 })"},
        {2, 64, 105, "16", R"({ "is_support": 1 })"}, {2, 64, 105, "39", R"({ "is_support": 0 })"},
        {7, 0, 0, "24", R"({ "is_support": 0 })"},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        answer("NetClient_GetProductTypeEx", SDK_SIM_ANY, Bytes(4).put(0, c.product));
        answer("NetClient_GetDevConfig", 99, ability(c.param));
        Command cmd(R"({"command":43,"ch":1})");
        EXPECT_EQ(get(cmd), 1);
        EXPECT_EQ(cmd.reply(), c.reply) << c.product << " " << c.param;
        auto asked = calls("NetClient_GetDevConfig");
        ASSERT_EQ(asked.size(), c.main_type != 0 ? 1u : 0u);
        if (c.main_type == 0) {
            EXPECT_EQ(log.messages(), Lines{"unknown product_type:7"});
            continue;
        }
        EXPECT_EQ(word_at(asked[0].in, 4), c.main_type);
        EXPECT_EQ(word_at(asked[0].in, 8), c.sub_type);
    }
}

TEST_F(DeviceInfoTest, ReportRecordsCarrySixtyFourBitSequenceNumbers) {
    answer("NetClient_CmdConfig", 22, Bytes(48).put(44, 1234));
    Command cmd(R"({"command":31,"type":4,"seqstart":4294967296,"seqstop":9007199254740993,"pageno":2,"pagesize":20})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(cmd.reply(), R"({ "ret": 0, "maxseqno": 1234 })");
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.ch, kWholeDevice);
    EXPECT_EQ(call.args[0], 64);
    EXPECT_EQ(call.args[1], 48);
    const int64_t start = 4294967296, stop = 9007199254740993;
    Bytes expected(64);
    expected.put(0, 64).put(4, 4).raw(8, &start, 8).raw(16, &stop, 8).put(24, 2).put(28, 20);
    EXPECT_EQ(input(call), expected.data);

    Command refused(R"({"command":31,"type":4,"seqstart":-5,"seqstop":1,"pageno":0,"pagesize":1})");
    EXPECT_EQ(get(refused), 0);
    EXPECT_EQ(refused.reply(), R"({ "ret": -1 })");
    EXPECT_EQ(log.messages(), Lines{"<get_reprot_records> seqstart < -1"});
    fail("NetClient_CmdConfig", 22, -1);
    Command failed(cmd.text);
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(failed.reply(), "");
}

TEST_F(DeviceInfoTest, DormancyTellsTheDeviceHowItIsReached) {
    host.put_text(test::host_offset::kConnText, "relay.example:9000");
    const struct {
        uint32_t conn_type;
        int32_t value;
        bool get_text;
    } cases[] = {{5, 2, true}, {6, 1, true}, {4, 0, false}};
    for (const auto &c : cases) {
        sdk_sim_reset();
        host.put<uint32_t>(test::host_offset::kConnType, c.conn_type);
        Command sleep(R"({"command":46,"ch":-3,"dormancy_type":3,"enable":1})");
        EXPECT_EQ(set(sleep), 1);
        EXPECT_EQ(log.messages(), Lines{"ch < 0"});
        sdk_sim_call sent = only_call();
        EXPECT_EQ(sent.ch, kWholeDevice);
        Bytes expected(84);
        expected.put(0, 84).put(4, 1).put(12, 3).put(16, c.value).text(20, "relay.example:9000");
        EXPECT_EQ(input(sent), expected.data) << c.conn_type;

        answer("NetClient_GetDevConfig", 219, Bytes(84).put(4, 1).put(8, 3).put(80, 600));
        Command state(R"({"command":33,"ch":2})");
        EXPECT_EQ(get(state), 1);
        EXPECT_EQ(state.reply(), R"({ "dormancy_type": 3, "enable": 1, "wakeup_time": 600 })");
        sdk_sim_call asked = calls().back();
        EXPECT_EQ(word_at(asked.in, 76), c.value);
        EXPECT_EQ(text_at(asked.in, 12, 60), c.get_text ? "relay.example:9000" : "");
    }
    // Types other than 2 and 3 send no connection.
    Command plain(R"({"command":46,"ch":1,"dormancy_type":1,"enable":0})");
    sdk_sim_reset();
    EXPECT_EQ(set(plain), 1);
    EXPECT_EQ(input(only_call()), Bytes(84).put(0, 84).put(12, 1).data);

    fail("NetClient_CmdConfig", 2, -7);
    EXPECT_EQ(set(plain), 0);
    EXPECT_EQ(
        log.messages(),
        Lines{"NetClient_CmdConfig  iRet:-7, CMD_DORMANCY_SET failed: id: dev-0001, ch:1, dormancy_set.iResult:0"});
    Command refused(R"({"command":46,"ch":1,"enable":0})");
    EXPECT_EQ(set(refused), 0);
    EXPECT_EQ(log.messages(), Lines{"-1 == dormancy_type"});
}

TEST_F(DeviceInfoTest, VerticalLinePageStopsAtTwentyLinesAndTwentyCoefficients) {
    Bytes area(20 * 284);
    area.put(8, 57).put(16, 25);
    for (size_t i = 0; i < 20; ++i) {
        area.put(284 * i + 20, static_cast<int32_t>(i)).put(284 * i + 24, static_cast<int32_t>(100 + i));
        area.put(284 * i + 36, 1).put(284 * i + 40, 5).put(284 * i + 44, 95);
    }
    area.put(284 * 3 + 36, 30);  // more coefficients than a line holds
    answer("NetClient_CmdConfig", 15, area);
    Command cmd(R"({"command":44,"ch":1,"scene_id":2,"page_no":0,"each_page_size":20,"line_id_start":0})");
    EXPECT_EQ(get(cmd), 1);
    EXPECT_EQ(array_length(cmd.reply(), "ver_info"), 20);
    EXPECT_EQ(log.messages(), Lines{"tResultData[i].iCoefNum > MAX_COFE_NUM, host_id:dev-0001, ch:1"});
    EXPECT_NE(cmd.reply().find(R"({ "index": 0, "line_id": 100, "sd": 0, "ba": 0, "ci": [ { "water_level": 5, )"
                               R"("cofe": 95 } ] })"),
              std::string::npos);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.args[0], 20);
    EXPECT_EQ(call.args[1], 284);

    fail("NetClient_CmdConfig", 15, -1);
    Command failed(cmd.text);
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
}

TEST_F(DeviceInfoTest, PortsVersionsAndEnableSwitches) {
    Bytes ports(147460);
    ports.put(0, 5000);
    answer("NetClient_GetDevConfig_V5", 1, ports);
    fail("NetClient_GetDevConfig_V5", 2, -3);
    Command alarms(R"({"command":65})");
    EXPECT_EQ(get(alarms), 0);
    EXPECT_EQ(array_length(alarms.reply(), "alarm_ins"), 1024);
    EXPECT_TRUE(alarms.reply().ends_with(R"(} ], "ret": -3 })")) << alarms.reply().substr(0, 80);
    EXPECT_EQ(array_length(alarms.reply(), "alarm_outs"), -1);

    fail("NetClient_GetServerVersion_V1", SDK_SIM_ANY, -1);
    Command versions(R"({"command":70})");
    EXPECT_EQ(get(versions), 0);
    EXPECT_EQ(versions.reply(), "");

    fail("NetClient_SetCommonEnable", 0xE01D, 3);
    Command positive(R"({"command":65,"enable_value":2})");
    EXPECT_EQ(set(positive), 1);  // only a negative result is a failure
    fail("NetClient_SetCommonEnable", 0xE01D, -1, 7);
    EXPECT_EQ(set(positive), 0);
    EXPECT_EQ(log.messages(), Lines{"enable < 0, host_id: dev-0001, error: 7"});

    Command any(R"({"command":74,"enable_id":57356,"enable":1})");
    EXPECT_EQ(set(any), 1);
    EXPECT_EQ(calls().back().ch, kWholeDevice);
    EXPECT_EQ(log.messages().front(), "set_host_common_enable host_id: dev-0001, ch:2147483647, enable_id: 57356, "
                                      "enable: 1");
}

TEST_F(DeviceInfoTest, TheSimulatedDeviceKeepsWhatWasSet) {
    sdk_sim_add_device(7, 16, SDK_SIM_RECORDER);
    const std::pair<std::string, std::string> steps[] = {
        {R"({"command":87,"ch":1,"control_type":0,"people_id":5,"name":"Gate","phone_number":"555-0105","type":1})",
         ""},
        {R"({"command":87,"ch":1,"control_type":2,"people_id":1,"name":"","phone_number":"","type":0})", ""},
        {R"({"command":83,"ch":1,"page_no":0,"people_id_start":2})",
         R"({ "total_num": 2, "current_num": 2, "find_result": [ { "people_id": 2, "name": "Maintenance", )"
         R"("phone_number": "555-0101", "type": 2 }, { "people_id": 5, "name": "Gate", "phone_number": "555-0105", )"
         R"("type": 1 } ] })"},
        {R"({"command":67,"ch":0,"scene_id":1,"control_cmd":0,"line_id":4,"start_distance":10,"bottom_altitude":2,)"
         R"("cofe_num":1,"cofe_info":[{"water_level":3,"cofe":90}]})",
         ""},
        {R"({"command":44,"ch":0,"scene_id":1,"page_no":0,"each_page_size":20,"line_id_start":0})",
         R"({ "total_num": 1, "ver_info": [ { "index": 0, "line_id": 4, "sd": 10, "ba": 2, "ci": [ )"
         R"({ "water_level": 3, "cofe": 90 } ] } ] })"},
        {R"({"command":46,"ch":3,"dormancy_type":1,"enable":1})", ""},
        {R"({"command":33,"ch":3})", R"({ "dormancy_type": 1, "enable": 1, "wakeup_time": 0 })"},
    };
    for (const auto &[json, reply] : steps) {
        Command cmd(json);
        bool is_get = !reply.empty();
        EXPECT_EQ(is_get ? get(cmd) : set(cmd), 1) << json;
        EXPECT_EQ(cmd.reply(), is_get ? reply : "") << json;
    }
}

}  // namespace
