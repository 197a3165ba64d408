// Storage and recording commands as the device receives and answers them:
// record images at their offsets, refusals with their texts and codes, and
// device answers at and beyond what their records hold.
#include "command_test.h"
#include "device_sdk.h"
#include "device_sdk_storage.h"

namespace {

namespace host_offset = test::host_offset;
using test::Bytes;
using test::Command;
using test::input;
using test::Lines;
using test::word_at;

class StorageTest : public test::CommandTest {
  protected:
    void recorder() { sdk_sim_add_device(host.get<int32_t>(host_offset::kLoginfd), 16, SDK_SIM_RECORDER); }
    // Runs `json` on its side and returns the reply ("" when there is none).
    std::string reply_of(bool is_set, const std::string &json, int32_t expected_result = 1) {
        Command cmd(json);
        EXPECT_EQ(is_set ? set(cmd) : get(cmd), expected_result) << json;
        return cmd.reply();
    }
};

TEST_F(StorageTest, DiskGroupsSetTheirBitsInLowAndExtensionWords) {
    std::string groups;
    for (int i = 0; i < 17; ++i)
        groups += i == 0   ? R"({"group_no":2,"disks":[{"diskno":3},{"diskno":70},{"diskno":0},{"diskno":192}],)"
                             R"("channel":[{"ch":5},{"ch":200},{"ch":0},{"ch":512}]})"
                  : i == 1 ? R"(,{"group_no":-4,"disks":[{"diskno":1}]})"
                  : i == 2 ? R"(,{"group_no":1})"
                           : R"(,{"group_no":1,"disks":[],"channel":[]})";
    Command cmd(R"({"command":14,"param":[)" + groups + "]}");
    EXPECT_EQ(set(cmd), 1);
    EXPECT_EQ(log.messages(),
              (Lines{"value is too large diskno:192", "value is too large ch:512", "group_no == -1",
                     "json_object_object_get jso_disks error", "json_object_object_get jso_channels error",
                     "group_count > MAX_DISK_GROUP_NUM -1"}));
    sdk_sim_call call = only_call("NetClient_SetDiskGroup");
    EXPECT_EQ(call.args[0], 16);
    ASSERT_EQ(call.in_len, 1600);
    Bytes first(100);
    first.put(0, 100).put(4, 2).put(8, 1 << 3).put(32, 1 << 6).put(16, 1 << 5).put(48 + 4 * 2, 1 << 8);
    EXPECT_EQ(std::vector<uint8_t>(call.in, call.in + 100), first.data);
    EXPECT_EQ(std::vector<uint8_t>(call.in + 100, call.in + 200), Bytes(100).put(0, 100).data);
    EXPECT_EQ(word_at(call.in, 1500), 100);
    EXPECT_EQ(word_at(call.in, 1504), 1);

    fail("NetClient_SetDiskGroup", SDK_SIM_ANY, -3);
    Command failed(R"({"command":14,"param":[]})");
    EXPECT_EQ(set(failed), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(log.messages(), Lines{"!NetClient_SetDiskGroup err:-3"});
}

TEST_F(StorageTest, DiskGroupListingFollowsTheDiskCountAndTheFirstDiskWord) {
    answer("NetClient_GetDevConfig", NET_CLIENT_DISK_COUNT, Bytes(24).put(4, 66));
    Bytes groups(1600);
    groups.put(4, 3).put(8, 0b1010).put(12, 1 << 1).put(32, 1 << 1).put(16, 1 << 7).put(48 + 4 * 11, 1 << 31);
    groups.put(104, 4).put(112, 1 << 1);  // disks 32..63 only: not listed
    groups.put(204, 16).put(208, 1);      // number outside 0..15: not listed
    groups.put(304, 5).put(308, 1);       // no channel: no "channels"
    answer("NetClient_GetDiskGroup", SDK_SIM_ANY, groups);
    EXPECT_EQ(reply_of(false, R"({"command":14})"),
              R"({ "content": [ { "group_no": 3, "disks": [ 1, 3, 33, 65 ], "channels": [ 7, 511 ] }, )"
              R"({ "group_no": 5, "disks": [ 0 ] } ] })");
    sdk_sim_call count = only_call("NetClient_GetDevConfig");
    EXPECT_EQ(count.ch, 0);
    EXPECT_EQ(word_at(only_call("NetClient_GetDiskGroup").in, 900), 100);

    // A disk count beyond what a group can name reads no further than its bits.
    answer("NetClient_GetDevConfig", NET_CLIENT_DISK_COUNT, Bytes(24).put(4, 1 << 30));
    answer("NetClient_GetDiskGroup", SDK_SIM_ANY, Bytes(100).put(4, 0).put(8, 1).put(44, 1 << 31));
    EXPECT_EQ(reply_of(false, R"({"command":14})"), R"({ "content": [ { "group_no": 0, "disks": [ 0, 191 ] } ] })");

    fail("NetClient_GetDiskGroup", SDK_SIM_ANY, 2);
    EXPECT_EQ(reply_of(false, R"({"command":14})", 0), "");
    EXPECT_EQ(log.messages(), Lines{"NetClient_GetDiskGroup() failed,host id is dev-0001"});
}

TEST_F(StorageTest, RefusedMembersLeaveTheDeviceAlone) {
    const struct {
        bool is_set;
        const char *json;
        const char *message;
        int code;
    } cases[] = {
        {true, R"({"command":14,"param":{"group_no":1}})", "json_object_object_get jso_array error", CMD_ZEL_EINVAL},
        {true, R"({"command":15,"ch":-1,"record_quota":1,"picture_quota":1})", "ch == -1", CMD_ZEL_EINVAL},
        {true, R"({"command":15,"ch":0,"record_quota":"80","picture_quota":1})", "record_quota == -1", CMD_ZEL_EINVAL},
        {true, R"({"command":16,"ch":0,"type":1})", "value == -1", CMD_ZEL_EINVAL},
        {false, R"({"command":16,"ch":-3,"type":1})", "ch == -3", CMD_ZEL_EINVAL},
        {false, R"({"command":16,"ch":0,"type":-2})", "type == -2", CMD_ZEL_EINVAL},
        {false, R"({"command":17,"ch":0})", "weekday == -1", CMD_ZEL_EINVAL},
        {true, R"({"command":60,"cmd":1,"cdromid":0})", "flagbits < 0, host_id:dev-0001", CMD_ZEL_EINVAL},
        {false, R"({"command":61,"cdromid":-2147483648})", "cdromid < 0, host_id:dev-0001", CMD_ZEL_EINVAL},
        {true, R"({"command":62,"file_size":1,"file_md5":"x"})", "check_file_path == NULL", test::kSentinelErrno},
        {true, R"({"command":62,"file_path":"a","file_md5":"x"})", "file_size == -1", test::kSentinelErrno},
        {true, R"({"command":62,"file_path":"a","file_size":5})", "(file_md5 == \tNULL", test::kSentinelErrno},
        {true, R"({"command":69,"lock":1})", "filename == NULL ", test::kSentinelErrno},
        {true, R"({"command":69,"filename":"f","lock":2})", "lock != 0 && lock != 1, host_id:dev-0001",
         test::kSentinelErrno},
        {false, R"({"command":72,"ch":0})", "mission_id == NULL", test::kSentinelErrno},
        {true, R"({"command":80,"mission_id":"m","ctrl":-1})", "set_host_replenish_rec_stop ctrl:-1 < 0",
         test::kSentinelErrno},
        {false, R"({"command":86,"ch":-7})", "get_host_replenish_video_task_list ch:-7, host_id:dev-0001",
         test::kSentinelErrno},
        {false, R"({"command":84,"disk_no":-1e12})",
         "disk_smart_info: disk_no < 0, host_id:dev-0001, disk_no:-2147483648", test::kSentinelErrno},
        {false, R"({"command":89,"disk_num":"3"})", "get_host_disk_status disk_num:-1 < 0", test::kSentinelErrno},
        {true, R"({"command":61,"usage":1})", "disk_no == -1", test::kSentinelErrno},
    };
    for (const auto &c : cases) {
        Command cmd(c.json);
        EXPECT_EQ(c.is_set ? set(cmd) : get(cmd), 0) << c.json;
        EXPECT_EQ(err, c.code) << c.json;
        EXPECT_EQ(log.messages(), Lines{c.message}) << c.json;
    }
    EXPECT_EQ(sdk_sim_call_count(), 0);
}

TEST_F(StorageTest, ChannelSettingsRoundTripOnTheRecorder) {
    recorder();
    reply_of(true, R"({"command":15,"ch":3,"record_quota":80,"picture_quota":20})");
    EXPECT_EQ(log.messages(), Lines{"nvr_set_diskquota_state Record_quota:80,Picture_quota:20"});
    EXPECT_EQ(reply_of(false, R"({"command":15,"ch":3})"),
              R"({ "ret": 0, "param": { "total": 16767, "record_quota": 80, "picture_quota": 20 } })");
    auto quota_calls = calls("NetClient_GetDiskQuotaState");
    ASSERT_EQ(quota_calls.size(), 2u);
    EXPECT_EQ(quota_calls[0].cmd, 2);
    EXPECT_EQ(word_at(quota_calls[0].in, 0), -1);
    EXPECT_EQ(input(quota_calls[1]), Bytes(12).put(0, 12).data);

    // Parameters are kept by type; reading sends a zero size.
    reply_of(true, R"({"command":16,"ch":3,"type":1,"value":30})");
    reply_of(true, R"({"command":16,"ch":3,"type":2,"value":7})");
    EXPECT_EQ(reply_of(false, R"({"command":16,"ch":3,"type":1})"), R"({ "ret": 0, "param": { "value": 30 } })");
    EXPECT_EQ(input(calls("NetClient_NetFileGetChannelParam").back()), Bytes(12).put(4, 1).data);

    // Weekdays 0 and 6 are the schedule's ends; 7 and channel 16 are refused by the device.
    EXPECT_EQ(reply_of(false, R"({"command":17,"ch":3,"weekday":6})"),
              R"({ "ret": 0, "param": [ { "template": 0, "enable": 1 }, { "template": 1, "enable": 0 }, )"
              R"({ "template": 2, "enable": 1 }, { "template": 3, "enable": 0 } ] })");
    EXPECT_NE(reply_of(false, R"({"command":17,"ch":3,"weekday":0})").find(R"("template": 2, "enable": 1)"),
              std::string::npos);
    for (const char *json : {R"({"command":17,"ch":3,"weekday":7})", R"({"command":17,"ch":16,"weekday":1})"}) {
        EXPECT_EQ(reply_of(false, json, 0), "");
        EXPECT_EQ(err, CMD_ZEL_EINVAL);
        EXPECT_EQ(log.messages(), Lines{"NetClient_NetFileGetSchedule failed ret == -1"});
    }
    Command beyond(R"({"command":15,"ch":16,"record_quota":1,"picture_quota":1})");
    EXPECT_EQ(set(beyond), 0);
    EXPECT_EQ(err, CMD_ZEL_EDEVICE);
}

std::string mission(const std::string &extra) {
    return R"({"command":73,"dev_id":")" + std::string(300, 'd') +
           R"(","dev_sup_id":"s1","client_sup_id":"s2","client_sup_ip":"192.0.2.200.long","mission_id":"m-1",)"
           R"("alias_name":"gate","rec_host_id":"nvr","storage_ms_ip":"192.0.2.30","cmd_type":"record",)"
           R"("storage_ms_port":9000,"rec_ch":1,"client_sup_port":9100,"file_type":2,"disk_group_no":0,"ch":1,)" +
           extra + "}";
}

TEST_F(StorageTest, MissionRecordCarriesCutTextsAndWidenedTimes) {
    recorder();
    reply_of(true, mission(R"("start_time":1796461200,"end_time":-5,"data_type":3)"), 0);
    EXPECT_EQ(log.messages(), Lines{"record_result.iRetCode:3, id:dev-0001, ch:1"});  // the recorder refuses
    sdk_sim_call call = only_call("NetClient_CmdConfig");
    EXPECT_EQ(call.cmd, 0x3E);
    EXPECT_EQ(call.ch, 1);
    ASSERT_EQ(call.in_len, 1480);
    EXPECT_EQ(word_at(call.in, 0), 1480);
    EXPECT_EQ(test::text_at(call.in, 4, 64), "m-1");
    EXPECT_EQ(word_at(call.in, 72), 1796461200);
    EXPECT_EQ(word_at(call.in, 76), 0);
    EXPECT_EQ(word_at(call.in, 80), -5);
    EXPECT_EQ(word_at(call.in, 84), -1);  // sign-extended
    EXPECT_EQ(test::text_at(call.in, 92, 16), "192.0.2.30");
    EXPECT_EQ(test::text_at(call.in, 944, 16), "192.0.2.200.lon");
    EXPECT_EQ(test::text_at(call.in, 176, 256), std::string(255, 'd'));
    EXPECT_EQ(Bytes(48).data, std::vector<uint8_t>(call.in + 128, call.in + 176));  // data_type is not carried
    EXPECT_EQ(word_at(call.in, 1476), 0);

    Command missing(R"({"command":73,"dev_id":"d","dev_sup_id":"s","client_sup_id":"c","client_sup_ip":"i",)"
                    R"("mission_id":"m","ch":0})");
    EXPECT_EQ(set(missing), 0);
    EXPECT_EQ(err, test::kSentinelErrno);
    EXPECT_EQ(log.messages(), Lines{"alias_name == NULL"});
    Command no_ch(mission(R"("start_time":1,"end_time":2,"data_type":0,"ch":-9)"));
    EXPECT_EQ(set(no_ch), 0);
    EXPECT_EQ(err, CMD_ZEL_EINVAL);
    EXPECT_EQ(log.messages(), Lines{"ch < 0, id: dev-0001, ch: -9"});
}

TEST_F(StorageTest, BackfillTasksReportProgressStateAndStopTime) {
    recorder();
    // Progress in ten-thousandths is reported in percent: 2500 -> 25.
    EXPECT_EQ(reply_of(false, R"({"command":72,"ch":0,"mission_id":"rep-0001"})"),
              R"({ "progress": 25, "state": [ 1 ], "last_stop_time": 1796458500 })");
    EXPECT_EQ(calls("NetClient_GetDevConfig").back().ch, NETCLIENT_ALL_CHANNELS);
    EXPECT_EQ(reply_of(true, R"({"command":80,"mission_id":"rep-0001","ctrl":0})"), "");
    EXPECT_EQ(reply_of(true, R"({"command":80,"mission_id":"rep-0001","ctrl":2})"), R"({"last_stop_time":1796458500})");
    EXPECT_EQ(calls("NetClient_CmdConfig").back().ch, NETCLIENT_ALL_CHANNELS);
    EXPECT_EQ(reply_of(true, R"({"command":80,"mission_id":"nobody","ctrl":1})", 0), "");
    EXPECT_EQ(log.messages(), Lines{"set_host_replenish_rec_stop record_result.iRetCode:1, id:dev-0001"});

    // Raw progress when the device does not count in ten-thousandths.
    sdk_sim_reset();
    Bytes state(88);
    answer("NetClient_CmdConfig", CMD_REPLENISH_QUERY, state.put(68, 2345).put(72, 0b101).put(80, -2).put(84, -1));
    answer("NetClient_GetDevConfig", NET_CLIENT_GET_FUNC_ABILITY, Bytes(1036).text(12, "7"));
    EXPECT_EQ(reply_of(false, R"({"command":72,"ch":0,"mission_id":"m"})"),
              R"({ "progress": 2345, "state": [ 1, 3 ], "last_stop_time": -2 })");
    answer("NetClient_CmdConfig", CMD_REPLENISH_QUERY, state.put(68, 2345).put(72, 0));
    answer("NetClient_GetDevConfig", NET_CLIENT_GET_FUNC_ABILITY, Bytes(1036, '8'));  // no terminator
    EXPECT_EQ(reply_of(false, R"({"command":72,"ch":0,"mission_id":"m"})"),
              R"({ "progress": 23, "state": [ 0 ], "last_stop_time": -2 })");
    EXPECT_EQ(err, test::kSentinelErrno);  // the oversized number leaves errno alone
}

TEST_F(StorageTest, TaskListAndAbilitiesStayWithinTheirRecords) {
    Bytes list(556);
    list.put(4, 12);
    for (int i = 0; i < 8; ++i)
        list.text(12 + 68 * i, "task-" + std::to_string(i)).put(12 + 68 * i + 64, i);
    answer("NetClient_CmdConfig", CMD_REPLENISH_TASK_LIST, list);
    std::string reply = reply_of(false, R"({"command":86,"ch":2})");
    EXPECT_EQ(reply.find(R"({ "task_count": 8, "task_list": [ { "mission": "task-0", "task_state": 0 }, )"), 0u);
    EXPECT_NE(reply.find(R"({ "mission": "task-7", "task_state": 7 } ] })"), std::string::npos);
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.in_len, 0);
    EXPECT_EQ(call.args[1], 556);

    answer("NetClient_GetDevConfig", NET_CLIENT_GET_FUNC_ABILITY, Bytes(1036).text(12, "1"));
    EXPECT_EQ(reply_of(false, R"({"command":75,"ch":-4})"),
              R"({ "is_support_replenishrec": 1, "is_support_replenishrec_v2": 1, "is_short_replenishrec": 0, )"
              R"("is_long_replenishrec": 0, "is_progress_ten_thousand": 0 })");
    auto asked = calls("NetClient_GetDevConfig");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].ch, NETCLIENT_ALL_CHANNELS);
    EXPECT_EQ(word_at(asked[0].in, 8), 167);
    EXPECT_EQ(word_at(asked[1].in, 8), 189);
    EXPECT_EQ(asked[1].in[12], 0);  // the text of the first answer is cleared

    fail("NetClient_GetDevConfig", NET_CLIENT_GET_FUNC_ABILITY, -1);
    EXPECT_NE(reply_of(false, R"({"command":75,"ch":1})").find(R"("is_support_replenishrec": 0)"), std::string::npos);
    EXPECT_EQ(log.messages(), (Lines{"!NetClient_GetDevConfig err:-1, strlen(ability_info.cParam):0",
                                     "!NetClient_GetDevConfig err:-1, strlen(ability_info.cParam):0",
                                     R"(jso_string   { "is_support_replenishrec": 0, "is_support_replenishrec_v2": 0, )"
                                     R"("is_short_replenishrec": 0, "is_long_replenishrec": 0, )"
                                     R"("is_progress_ten_thousand": 0 })"}));
}

TEST_F(StorageTest, InventoryListsDisksWithSpaceAndKeepsUnsignedSizes) {
    Bytes info(93196);
    info.put(0, 3).put(12 + 364 * 0 + 8, 0);                                            // no space: skipped
    info.put(12 + 364 * 1 + 4, 9).put(12 + 364 * 1 + 8, -1).put(12 + 364 * 1 + 12, 5);  // 4294967295
    info.put(12 + 364 * 255 + 4, 255).put(12 + 364 * 255 + 8, 10).put(12 + 364 * 255 + 16, 0x00030002);
    answer("NetClient_GetDevConfig_V5", NETCLIENT_GET_HARDDISKINFO_V5, info);
    EXPECT_EQ(reply_of(false, R"({"command":66})"),
              R"({ "disk_info": [ { "iDiskType": 0, "iDiskNumber": 9, "uiTotalSpace": 4294967295, )"
              R"("uiFreeSpace": 5, "wPartNum": 0, "wStatus": 0, "wUsage": 0, "iExpCabinetNo": 0 }, )"
              R"({ "iDiskType": 0, "iDiskNumber": 255, "uiTotalSpace": 10, "uiFreeSpace": 0, "wPartNum": 2, )"
              R"("wStatus": 3, "wUsage": 0, "iExpCabinetNo": 0 } ] })");

    Bytes status(348);
    status.put(0, 0).put(4, 2).raw(20, std::string(256, 'f').data(), 256).raw(276, std::string(64, 'm').data(), 64);
    answer("NetClient_GetCDBurnConfig", CDBURN_CMD_GET_STATUS, status.put(340, 1).put(344, 4));
    std::string burner = reply_of(false, R"({"command":61,"cdromid":0})");
    EXPECT_NE(burner.find(R"("filename": ")" + std::string(256, 'f') + R"(", "filemd5": ")" + std::string(64, 'm') +
                          R"(", "driverstate": 1, "diskstate": 4 })"),
              std::string::npos);
    EXPECT_EQ(only_call("NetClient_GetCDBurnConfig").ch, -1);
}

}  // namespace
