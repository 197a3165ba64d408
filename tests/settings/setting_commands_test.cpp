// The settings described as data: record images, texts cut or split, lists
// into record slots, refusals, how failures are reported, read-modify-write,
// reply order, answers whose counts exceed their records, UTC times.
#include <cstdlib>
#include <ctime>

#include "portable.h"
#include "settings_fixture.h"

namespace {

using namespace settings_test;
using SettingCommandsTest = SettingsTest;

Bytes &put16(Bytes &b, size_t offset, int16_t value) { return b.raw(offset, &value, sizeof value); }

TEST_F(SettingCommandsTest, MembersLandAtTheirOffsets) {
    const std::string long_param(1300, 'p');
    Bytes ftp(48), schedule(52), irri(1292), transparent(4112), alias(1332), contact(140);
    ftp.put(0, 48)
        .put(4, 3)
        .put(8, 1)
        .put(12, 80)
        .text(16, "0123456789abcde")
        .put(32, 2)
        .put(36, 3)
        .put(40, 4)
        .put(44, 5);
    schedule.put(0, 1).put(4, 0).put(8, 2);
    for (int16_t i = 0; i < 10; ++i)
        put16(schedule, 12 + 2 * i, static_cast<int16_t>(i + 1));
    irri.put(0, 1).put(4, 2).put(8, 3);
    for (size_t part = 0; part < 5; ++part)
        irri.text(12 + 256 * part, std::string(255, 'p'));
    transparent.put(0, 4112).put(4, -1).put(8, 7).put(12, 2).text(16, "baud=9600").text(144, "parity=none");
    alias.put(0, 1332).put(4, 2).put(8, 0).text(12, "Gate").put(272, 1).text(276, "Yard");
    contact.put(0, 0).put(4, 7).text(8, "Field office").text(72, "555-0107").put(136, 1);
    const struct {
        std::string json;
        const char *function;
        int32_t cmd, ch;
        const Bytes &record;
    } cases[] = {
        {R"({"command":35,"ch":3,"enable_type":1,"quality":80,"interval":"0123456789abcdefXYZ","pic_size":2,)"
         R"("pic_count":3,"mode":4,"devtype":5})",
         "NetClient_SetFTPUploadConfig", 8, SDK_SIM_ANY, ftp},
        {R"({"command":34,"ch":6,"weekday":1,"devtype":0,"schedule_num":2,"schedule":[)"
         R"({"enable":1,"start_hour":2,"start_min":3,"end_hour":4,"end_min":5},)"
         R"({"enable":6,"start_hour":7,"start_min":8,"end_hour":9,"end_min":10}]})",
         "NetClient_SetDevConfig", 138, 6, schedule},
        {R"({"command":86,"ch":2,"platform_type":1,"data_sum":2,"data_type":3,"param":")" + long_param + "\"}",
         "NetClient_SetDevConfig", 344, 2, irri},
        {R"({"command":71,"ch":-1,"dzparam_type":7,"dzparams":[{"dzparam":"baud=9600"},{"dzparam":"parity=none"}]})",
         "NetClient_SetDzTransparentPara", SDK_SIM_ANY, SDK_SIM_ANY, transparent},
        {R"({"command":77,"ch_num":2,"channels":[{"ch":0,"ch_alias_name":"Gate"},{"ch":1,"ch_alias_name":"Yard"},)"
         R"({"ch":2,"ch_alias_name":"beyond the count"}]})",
         "NetClient_SetDevConfig", 343, kWholeDevice, alias},
        {R"({"command":87,"ch":1,"control_type":0,"people_id":7,"name":"Field office","phone_number":"555-0107",)"
         R"("type":1})",
         "NetClient_CmdConfig", 68, 1, contact},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 1) << c.json;
        EXPECT_EQ(err, test::kSentinelErrno);
        sdk_sim_call call = only_call(c.function);
        EXPECT_EQ(call.cmd, c.cmd) << c.json;
        EXPECT_EQ(call.ch, c.ch) << c.json;
        EXPECT_EQ(input(call), c.record.data) << c.json;
    }
    EXPECT_EQ(only_call().args[1], 144);  // the contact's answer record
}

TEST_F(SettingCommandsTest, RefusedMembersSendNothing) {
    const std::string schedule = R"({"command":34,"ch":0,"weekday":1,"devtype":0,)";
    const std::string segment = R"({"enable":1,"start_hour":2,"start_min":3,"end_hour":4,"end_min":5})";
    const std::string five = segment + "," + segment + "," + segment + "," + segment + "," + segment;
    std::string many_params;
    for (int i = 0; i < 33; ++i)
        many_params += std::string(i > 0 ? "," : "") + R"({"dzparam":"x"})";
    const std::pair<std::string, std::string> cases[] = {
        {schedule + R"("schedule_num":2,"schedule":[)" + segment + "]}",
         "json_object_array_length(schedules) != schedule_num"},
        {schedule + R"("schedule_num":5,"schedule":[)" + five + "]}",
         "schedule_num < 0 || schedule_num > MAX_TIMESEGMENT"},
        {schedule + R"("schedule_num":0})", "schedules == NULL"},
        {schedule + R"("schedule_num":1,"schedule":{"enable":1}})", "!json_object_is_type(schedules, json_type_array)"},
        {schedule + R"("schedule_num":1,"schedule":[{"enable":1,"start_hour":-2}]})", "start_hour == -1"},
        {R"({"command":71,"ch":0,"dzparam_type":1,"dzparams":[)" + many_params + "]}",
         "dzparam_num < 1 || dzparam_num >= MAX_DZTRANS_PARA_COUNT"},
        {R"({"command":71,"ch":0,"dzparam_type":1,"dzparams":[]})",
         "dzparam_num < 1 || dzparam_num >= MAX_DZTRANS_PARA_COUNT"},
        {R"({"command":71,"dzparam_type":1,"dzparams":[{"dzparam":"x"}]})", "ch < -1"},
        {R"({"command":71,"ch":0,"dzparam_type":1,"dzparams":[{"dzparam":7},{"other":"x"}]})", "dzparam == NULL"},
        {R"({"command":77,"ch_num":6,"channels":[]})", "ch_num > MAX_RECORDCHN_ALIAS_NUM"},
        {R"({"command":67,"ch":0,"scene_id":0,"control_cmd":0,"line_id":0,"start_distance":0,"bottom_altitude":0,)"
         R"("cofe_num":21,"cofe_info":[]})",
         "cofe_num < 0 || cofe_num > MAX_COFE_NUM"},
        {R"({"command":67,"ch":0,"scene_id":0,"control_cmd":0,"line_id":0,"start_distance":0,"bottom_altitude":0,)"
         R"("cofe_num":2,"cofe_info":[{"water_level":1,"cofe":2}]})",
         "water_level == -1"},
        {R"({"command":81,"ch":0,"type":1})", "set_thmscreen_sensorcorrect value == 65535"},
        {R"({"command":42,"ch":0,"type":"1","value":3})", "type == -1"},
        {R"({"command":33,"ch":0,"dz_type":1,"usrname":"u","password":"p"})", "url == NULL"},
        {R"({"command":85,"platform_type":1,"main_type":1,"sub_type":1,"enable":1,"interval":1})", "ch < 0"},
    };
    for (const auto &[json, message] : cases) {
        Command cmd(json);
        EXPECT_EQ(set(cmd), 0) << json;
        EXPECT_EQ(err, CMD_ZEL_EINVAL) << json;
        EXPECT_EQ(log.messages(), Lines{message}) << json;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);

    Command get_without_mode(R"({"command":26,"ch":0,"devtype":0,"enable_type":1})");
    EXPECT_EQ(get(get_without_mode), 0);
    EXPECT_EQ(get_without_mode.reply(), "");
    Command get_with_ret(R"({"command":45,"ch":0})");
    EXPECT_EQ(get(get_with_ret), 0);
    EXPECT_EQ(get_with_ret.reply(), R"({ "ret": -1 })");
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(SettingCommandsTest, DeviceFailuresAreReportedAsEachCommandSays) {
    const struct {
        bool is_set;
        std::string json;
        const char *function;
        int32_t cmd;
        int code;
        std::string line;
    } cases[] = {
        {true, R"({"command":33,"ch":0,"dz_type":1,"usrname":"u","password":"p","url":"x"})", "NetClient_SetDevConfig",
         171, CMD_ZEL_EDEVICE,
         "NetClient_SetDevConfig-NET_CLIENT_DZ_COMMON_EX failed, host_id:dev-0001, err_code:1f, ret_value:-2"},
        {true, R"({"command":37,"ch":0,"mode":1})", "NetClient_SetDevConfig", 159, test::kSentinelErrno,
         "!NetClient_SetDevConfig"},
        {true, R"({"command":82,"ch":0,"screen_bright":1,"switch_ctrl":1})", "NetClient_SetDevConfig", 349,
         test::kSentinelErrno,
         "set_thmscreen_system_para NetClient_SetDevConfig-NET_CLIENT_THMSCREEN_SYSTEM failed, ip:10.1.2.3, "
         "err_code:1f, ret_value:-2"},
        {true, R"({"command":71,"ch":0,"dzparam_type":1,"dzparams":[{"dzparam":"x"}]})",
         "NetClient_SetDzTransparentPara", SDK_SIM_ANY, test::kSentinelErrno,
         "NetClient_SetDzTransparentPara failed, host_id:dev-0001, err_code:1f, ret_value:-2"},
        {false, R"({"command":36,"ch":0,"res_ratio":0,"time_interval":0,"enable":0})", "NetClient_GetFTPUploadConfig",
         4, CMD_ZEL_EDEVICE,
         "NetClient_GetFTPUploadConfig-FTP_CMD_GET_SNAPSHOT failed, host_id:dev-0001, err_code:1f, ret_value:-2"},
        {false, R"({"command":77,"ch":0})", "NetClient_GetDevConfig", 349, test::kSentinelErrno,
         "get_thmscreen_system_para NetClient_GetDevConfig-NET_CLIENT_THMSCREEN_SYSTEM failed, ip:10.1.2.3, "
         "err_code:1f, ret_value:-2"},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        fail(c.function, c.cmd, -2, 0x1f);
        Command cmd(c.json);
        EXPECT_EQ(c.is_set ? set(cmd) : get(cmd), 0) << c.json;
        EXPECT_EQ(err, c.code) << c.json;
        EXPECT_EQ(log.messages(), Lines{c.line});
        EXPECT_EQ(cmd.reply(), "");
    }

    // The device took the call but refused the line.
    sdk_sim_reset();
    answer("NetClient_CmdConfig", 14, Bytes(272).put(4, 1));
    Command line(R"({"command":67,"ch":3,"scene_id":0,"control_cmd":0,"line_id":0,"start_distance":0,)"
                 R"("bottom_altitude":0,"cofe_num":0,"cofe_info":[]})");
    EXPECT_EQ(set(line), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(log.messages(), Lines{"set_verticalline_info result err, host_id:dev-0001, ch:3"});
}

TEST_F(SettingCommandsTest, ReadModifyWriteKeepsTheDeviceBytes) {
    const struct {
        std::string json;
        int32_t cmd;
        Bytes device, sent;
        Lines log;
    } cases[] = {
        {R"({"command":53,"ch":1,"touch_type":5,"touch_param":6})", 74,
         Bytes(16).put(0, 16).put(4, 1).put(8, 2).put(12, 7), Bytes(16).put(0, 16).put(4, 5).put(8, 6).put(12, 7),
         Lines{"pitch_level == -1, not set pitch_level"}},
        {R"({"command":53,"ch":1,"touch_type":5,"touch_param":6,"pitch_level":9})", 74, Bytes(16).put(0, 16).put(12, 7),
         Bytes(16).put(0, 16).put(4, 5).put(8, 6).put(12, 9), Lines{}},
        {R"({"command":68,"ch":1,"flow_coef":99})", 287,
         Bytes(28).put(0, 28).put(4, 11).put(8, 12).put(12, 13).put(16, 14).put(20, 15).put(24, 16),
         Bytes(28).put(0, 28).put(4, 11).put(8, 99).put(12, 13).put(16, 14).put(20, 15).put(24, 16), Lines{}},
    };
    for (const auto &c : cases) {
        sdk_sim_reset();
        answer("NetClient_GetDevConfig", c.cmd, c.device);
        Command cmd(c.json);
        EXPECT_EQ(set(cmd), 1) << c.json;
        EXPECT_EQ(log.messages(), c.log);
        sdk_sim_call sent = only_call("NetClient_SetDevConfig");
        EXPECT_EQ(sent.ch, 1);
        EXPECT_EQ(input(sent), c.sent.data) << c.json;
    }

    sdk_sim_reset();
    fail("NetClient_GetDevConfig", 287, -1);
    Command unread(R"({"command":68,"ch":1,"flow_coef":99})");
    EXPECT_EQ(set(unread), 0);
    EXPECT_TRUE(calls("NetClient_SetDevConfig").empty());
}

TEST_F(SettingCommandsTest, RepliesKeepTheirOrderAndRetPlace) {
    answer("NetClient_GetDevConfig", 287, Bytes(28).put(4, 9).put(8, 2).put(12, 3).put(16, 4).put(20, 5).put(24, 6));
    Command flow(R"({"command":45,"ch":0,"scene_id":9})");
    EXPECT_EQ(get(flow), 1);
    EXPECT_EQ(flow.reply(), R"({ "scene_id": 9, "flow_coef": 2, "flow_source": 3, "water_slope": 4, )"
                            R"("roughness": 5, "weir_flow": 6, "ret": 0 })");
    EXPECT_EQ(word_at(only_call().in, 4), 9);  // the scene is asked in the request

    answer("NetClient_GetDevConfig", 159, Bytes(8).put(0, 8).put(4, 3));
    Command mode(R"({"command":30,"ch":4})");
    EXPECT_EQ(get(mode), 1);
    EXPECT_EQ(mode.reply(), R"({ "host_id": "dev-0001", "ch": 4, "mode": 3 })");

    Bytes server(1292);
    server.put(0, 1).put(4, 2).put(8, 3).text(12, "alpha;").text(268, "beta");
    server.raw(524, std::string(256, 'g').data(), 256);  // a part filling its field
    answer("NetClient_GetDevConfig", 344, server);
    Command irri(R"({"command":82,"ch":0,"platform_type":1,"data_sum":2,"data_type":3})");
    EXPECT_EQ(get(irri), 1);
    std::string joined =
        R"({ "platform_type": 1, "data_sum": 2, "data_type": 3, "param": "alpha;beta)" + std::string(256, 'g') + "\" }";
    EXPECT_EQ(irri.reply(), joined);
    EXPECT_EQ(log.messages(), Lines{"****** jso_string:<" + joined + ">"});

    // The device time of a command record is UTC whatever the local zone.
    std::string saved = std::getenv("TZ") != nullptr ? std::getenv("TZ") : "";
    test::set_env("TZ", "JST-9");
    tzset();
    const uint16_t day_two[6] = {1970, 1, 2, 0, 0, 0};
    answer("NetClient_CmdConfig", 40, Bytes(28).put(4, 77).raw(8, day_two, sizeof day_two));
    Command record(R"({"command":41,"ch":2,"type":3})");
    EXPECT_EQ(get(record), 1);
    EXPECT_EQ(record.reply(), R"({ "ret": 0, "ch": 2, "type": 3, "value": 77, "time": 86400 })");
    saved.empty() ? test::unset_env("TZ") : test::set_env("TZ", saved.c_str());
    tzset();
    fail("NetClient_CmdConfig", 40, -5);
    Command failed(record.text);
    EXPECT_EQ(get(failed), 0);
    EXPECT_EQ(failed.reply(), R"({ "ret": -5 })");
}

TEST_F(SettingCommandsTest, AnswerCountsNeverReachPastTheirRecords) {
    Bytes contacts(3040);
    contacts.put(4, 500);
    for (size_t i = 0; i < 21; ++i)
        contacts.put(16 + 144 * i, static_cast<int32_t>(i)).raw(20 + 144 * i, std::string(64, 'n').data(), 64);
    Bytes schedule(52), transparent(4112);
    const struct {
        std::string json;
        const char *function;
        int32_t cmd;
        Bytes &answer;
        size_t count_offset;
        const char *key;
        int limit;
    } cases[] = {
        {R"({"command":83,"ch":0,"page_no":0,"people_id_start":0})", "NetClient_CmdConfig", 69, contacts, 8,
         "find_result", 21},
        {R"({"command":28,"ch":0,"weekday":1,"devtype":0})", "NetClient_GetDevConfig", 138, schedule, 8, "schedule", 4},
        {R"({"command":67,"ch":0,"dzparam_type":1})", "NetClient_GetDzTransparentPara", SDK_SIM_ANY, transparent, 12,
         "dzparams", 32},
    };
    for (const auto &c : cases) {
        for (int32_t reported : {c.limit, c.limit + 1, 100000, -3}) {
            sdk_sim_reset();
            answer(c.function, c.cmd, c.answer.put(c.count_offset, reported));
            Command cmd(c.json);
            EXPECT_EQ(get(cmd), 1) << c.json;
            EXPECT_EQ(array_length(cmd.reply(), c.key), reported < 0 ? 0 : c.limit) << c.json << " " << reported;
        }
    }
    // A name filling its 64-byte field is read within it.
    Command page(cases[0].json);
    answer("NetClient_CmdConfig", 69, contacts.put(8, 1));
    EXPECT_EQ(get(page), 1);
    EXPECT_NE(page.reply().find("\"name\": \"" + std::string(64, 'n') + "\", \"phone_number\": \"\""),
              std::string::npos);
}

}  // namespace
