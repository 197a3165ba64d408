// Device settings that are one record each: access accounts, local snapshot
// schedules, FTP snapshot upload, channel mode, volume, audio tone,
// transparent parameters, channel alias names, command records and the
// scene algorithm. Each handler runs the Setting that describes it.
#include <limits>

#include "device_sdk_settings.h"
#include "device_sdk_settings_query.h"
#include "settings/setting_engine.h"
#include "settings/settings_handlers.h"

namespace zel {

using namespace settings;

// Tables are constexpr, so each stays local to this file.
constexpr Field kChannel = non_negative("ch", kChannelArg);
constexpr Field kAnyChannel = required("ch", kChannelArg);

// ---- Access account --------------------------------------------------------------

constexpr Setting kDzCommon = dev_config<dz_common>(SDK_SUB(NET_CLIENT_DZ_COMMON_EX));
constexpr Field kDzCommonMembers[] = {
    kChannel,
    non_negative("dz_type", offsetof(dz_common, dz_type)),
    text("usrname", offsetof(dz_common, username), sizeof(dz_common::username)),
    text("password", offsetof(dz_common, password), sizeof(dz_common::password)),
    text("url", offsetof(dz_common, url), sizeof(dz_common::url)),
};
int32_t set_dz_common(void *host, json_object *jso) {
    return apply_setting(host, jso, kDzCommon.reading(kDzCommonMembers).failing_with(CMD_ZEL_EDEVICE));
}

constexpr Field kDzCommonQuery[] = {kAnyChannel, required("dz_type", offsetof(dz_common, dz_type))};
int32_t get_dz_common(void *host, json_object *jso, char **out_buf) {
    return query_setting(host, jso, out_buf,
                         kDzCommon.reading(kDzCommonQuery).answering(std::span(kDzCommonMembers).subspan(2)));
}

// ---- Local snapshot schedule ----------------------------------------------------

constexpr Setting kSchedule = dev_config<localsnap_schedule>(SDK_SUB(NET_CLIENT_LOCALSNAP_SCHEDULE));
constexpr Field kSegmentMembers[] = {
    non_negative16("enable", offsetof(localsnap_segment, enable)),
    non_negative16("start_hour", offsetof(localsnap_segment, start_hour)),
    non_negative16("start_min", offsetof(localsnap_segment, start_min)),
    non_negative16("end_hour", offsetof(localsnap_segment, end_hour)),
    non_negative16("end_min", offsetof(localsnap_segment, end_min)),
};
constexpr List kSegments = slots<localsnap_segment>("schedule", offsetof(localsnap_schedule, segments), MAX_TIMESEGMENT,
                                                    offsetof(localsnap_schedule, schedule_num), kSegmentMembers)
                               .refusing("schedules == NULL", "!json_object_is_type(schedules, json_type_array)")
                               .exactly("json_object_array_length(schedules) != schedule_num")
                               .counted_by_member("schedule_num < 0 || schedule_num > MAX_TIMESEGMENT");
constexpr Field kScheduleMembers[] = {
    kChannel,
    non_negative("weekday", offsetof(localsnap_schedule, weekday)),
    non_negative("devtype", offsetof(localsnap_schedule, devtype)),
    field("schedule_num", offsetof(localsnap_schedule, schedule_num)),
    list(kSegments),
};
int32_t set_localsnap_schedule(void *host, json_object *jso) {
    return apply_setting(host, jso, kSchedule.reading(kScheduleMembers).failing_with(CMD_ZEL_EDEVICE));
}

constexpr Field kScheduleQuery[] = {
    kChannel,
    required("weekday", offsetof(localsnap_schedule, weekday)),
    required("devtype", offsetof(localsnap_schedule, devtype)),
};
int32_t get_localsnap_schedule(void *host, json_object *jso, char **out_buf) {
    return query_setting(host, jso, out_buf,
                         kSchedule.reading(kScheduleQuery).answering(std::span(kScheduleMembers).subspan(3)));
}

// ---- FTP snapshot upload -----------------------------------------------------------

constexpr Setting kFtpSnapshot = ftp_upload<ftp_snapshot_ex>(SDK_SUB(FTP_COMMON_CMD_SNAPSHOT_EX));
constexpr Field kFtpSnapshotMembers[] = {
    non_negative("ch", offsetof(ftp_snapshot_ex, channel)),
    non_negative("enable_type", offsetof(ftp_snapshot_ex, enable_type)),
    non_negative("quality", offsetof(ftp_snapshot_ex, quality)),
    text("interval", offsetof(ftp_snapshot_ex, interval), sizeof(ftp_snapshot_ex::interval)),
    non_negative("pic_size", offsetof(ftp_snapshot_ex, pic_size)),
    non_negative("pic_count", offsetof(ftp_snapshot_ex, pic_count)),
    non_negative("mode", offsetof(ftp_snapshot_ex, mode)),
    non_negative("devtype", offsetof(ftp_snapshot_ex, devtype)),
};
int32_t set_ftp_snapshot(void *host, json_object *jso) {
    return apply_setting(host, jso, kFtpSnapshot.reading(kFtpSnapshotMembers).failing_with(CMD_ZEL_EDEVICE));
}

constexpr Field kFtpSnapshotQuery[] = {
    required("ch", offsetof(ftp_snapshot_ex, channel)),
    required("devtype", offsetof(ftp_snapshot_ex, devtype)),
    required("enable_type", offsetof(ftp_snapshot_ex, enable_type)),
    required("mode", offsetof(ftp_snapshot_ex, mode)),
};
int32_t get_ftp_snapshot(void *host, json_object *jso, char **out_buf) {
    return query_setting(host, jso, out_buf,
                         kFtpSnapshot.reading(kFtpSnapshotQuery).answering(std::span(kFtpSnapshotMembers).subspan(1)));
}

// The timed snapshot is written with one sub-command and read with another;
// both take the same members.
constexpr Field kFtpTimingMembers[] = {
    non_negative("ch", offsetof(ftp_snapshot, channel)),
    non_negative("res_ratio", offsetof(ftp_snapshot, res_ratio)),
    non_negative("time_interval", offsetof(ftp_snapshot, time_interval)),
    non_negative("enable", offsetof(ftp_snapshot, enable)),
};
int32_t set_ftp_snapshot_timing(void *host, json_object *jso) {
    return apply_setting(host, jso,
                         ftp_upload<ftp_snapshot>(SDK_SUB(FTP_CMD_SET_SNAPSHOT))
                             .reading(kFtpTimingMembers)
                             .failing_with(CMD_ZEL_EDEVICE));
}
int32_t get_ftp_snapshot_timing(void *host, json_object *jso, char **out_buf) {
    return query_setting(host, jso, out_buf,
                         ftp_upload<ftp_snapshot>(SDK_SUB(FTP_CMD_GET_SNAPSHOT))
                             .reading(kFtpTimingMembers)
                             .failing_with(CMD_ZEL_EDEVICE)
                             .answering(std::span(kFtpTimingMembers).subspan(1)));
}

// ---- Channel mode, volume, audio tone --------------------------------------------------

constexpr Setting kChannelMode = dev_config<channel_mode>(SDK_SUB(NET_CLIENT_CHANNEL_MODE));
constexpr Field kChannelModeMembers[] = {kChannel, non_negative("mode", offsetof(channel_mode, mode))};
int32_t set_channel_mode(void *host, json_object *jso) {
    return apply_setting(host, jso, kChannelMode.reading(kChannelModeMembers).failure_line("!NetClient_SetDevConfig"));
}

constexpr Field kChannelModeQuery[] = {kAnyChannel};
constexpr Field kChannelModeReply[] = {host_id("host_id"), kAnyChannel, field("mode", offsetof(channel_mode, mode))};
int32_t get_channel_mode(void *host, json_object *jso, char **out_buf) {
    return query_setting(host, jso, out_buf, kChannelMode.reading(kChannelModeQuery).answering(kChannelModeReply));
}

constexpr Field kVolumeMembers[] = {
    kAnyChannel,
    required("type", offsetof(volume_ctrl, type)),
    required("value", offsetof(volume_ctrl, value)),
};
int32_t set_volume_ctrl(void *host, json_object *jso) {
    return apply_setting(host, jso,
                         dev_config<volume_ctrl>(SDK_SUB(NET_CLIENT_DEV_VOLUME_CTRL)).reading(kVolumeMembers));
}

// The tone is changed in the device's own record; an absent pitch level
// keeps the device's.
constexpr Field kPonticelloMembers[] = {
    kAnyChannel,
    required("touch_type", offsetof(audio_ponticello, touch_type)),
    required("touch_param", offsetof(audio_ponticello, touch_param)),
    optional("pitch_level", offsetof(audio_ponticello, pitch_level), "pitch_level == -1, not set pitch_level"),
};
int32_t set_audio_ponticello(void *host, json_object *jso) {
    return apply_setting(host, jso,
                         dev_config<audio_ponticello>(SDK_SUB(NET_CLIENT_AUDIO_PONTICELLO))
                             .reading(kPonticelloMembers)
                             .changing_device_record());
}

// ---- Transparent parameters ------------------------------------------------------------

constexpr Setting kDzTransparent = dz_transparent<dz_transparent_para>();
constexpr Field kDzParamMembers[] = {text("dzparam", 0, sizeof(dz_transparent_para::dzparams[0]))};
constexpr List kDzParams = slots<char[128]>("dzparams", offsetof(dz_transparent_para, dzparams), MAX_DZTRANS_PARA_SLOTS,
                                            offsetof(dz_transparent_para, dzparam_num), kDzParamMembers)
                               .refusing("jso_dzparams == NULL", "!json_object_is_type(jso_dzparams, json_type_array)")
                               .counted_by_length(1, "dzparam_num < 1 || dzparam_num >= MAX_DZTRANS_PARA_COUNT");
static_assert(MAX_DZTRANS_PARA_COUNT - 1 == MAX_DZTRANS_PARA_SLOTS);

// "ch" -1 is passed as it is; a missing one reads -2 and is refused.
constexpr Field kDzTransparentMembers[] = {
    in_range("ch", offsetof(dz_transparent_para, channel), -1, std::numeric_limits<int32_t>::max(), "ch < -1", -2),
    non_negative("dzparam_type", offsetof(dz_transparent_para, dzparam_type)),
    list(kDzParams),
};
int32_t set_dz_transparent_para(void *host, json_object *jso) {
    return apply_setting(host, jso, kDzTransparent.reading(kDzTransparentMembers));
}
int32_t get_dz_transparent_para(void *host, json_object *jso, char **out_buf) {
    std::span members(kDzTransparentMembers);
    return query_setting(host, jso, out_buf, kDzTransparent.reading(members.first(2)).answering(members.subspan(2)));
}

// ---- Channel alias names ---------------------------------------------------------------

constexpr Field kAliasMembers[] = {
    required("ch", offsetof(recordchn_alias, channel)),
    text("ch_alias_name", offsetof(recordchn_alias, alias_name), sizeof(recordchn_alias::alias_name)),
};
// The record holds five channels: a larger "ch_num" is refused rather than
// read past them.
constexpr List kAliasChannels =
    slots<recordchn_alias>("channels", offsetof(recordchn_aliasname, channels), MAX_RECORDCHN_ALIAS_NUM,
                           offsetof(recordchn_aliasname, ch_num), kAliasMembers)
        .refusing("jso_channels == NULL", "!json_object_is_type(jso_channels, json_type_array)")
        .counted_by_member("ch_num > MAX_RECORDCHN_ALIAS_NUM", std::numeric_limits<int32_t>::min());
constexpr Field kAliasNameMembers[] = {required("ch_num", offsetof(recordchn_aliasname, ch_num)), list(kAliasChannels)};
int32_t set_record_channel_alias(void *host, json_object *jso) {
    return apply_setting(
        host, jso, dev_config<recordchn_aliasname>(SDK_SUB(NET_CLIENT_RECORDCHN_ALIASNAME)).reading(kAliasNameMembers));
}

// ---- Command records, scene algorithm ---------------------------------------------------

constexpr Field kCmdRecordsQuery[] = {kAnyChannel, required("type", offsetof(cmd_records_query, type))};
constexpr Field kCmdRecordsReply[] = {
    kAnyChannel,
    from_request("type", offsetof(cmd_records_query, type)),
    field("value", offsetof(cmd_records_answer, value)),
    utc_time("time", offsetof(cmd_records_answer, time)),
};
int32_t get_cmd_records(void *host, json_object *jso, char **out_buf) {
    return query_setting(host, jso, out_buf,
                         cmd_config<cmd_records_query, cmd_records_answer>(SDK_SUB(CMD_COMMAND_RECORDS))
                             .reading(kCmdRecordsQuery)
                             .answering(kCmdRecordsReply, Ret::First));
}

constexpr Field kSceneAlgorithmQuery[] = {kChannel, non_negative("scene_id", offsetof(scene_algorithm, scene_id))};
constexpr Field kSceneAlgorithmReply[] = {
    field("algorithm_type", offsetof(scene_algorithm, algorithm_type)),
    field("scene_id", offsetof(scene_algorithm, scene_id)),
    text("scene_name", offsetof(scene_algorithm, scene_name), sizeof(scene_algorithm::scene_name)),
};
int32_t get_scene_algorithm(void *host, json_object *jso, char **out_buf) {
    return query_setting(host, jso, out_buf,
                         dev_config<scene_algorithm>(SDK_SUB(NET_CLIENT_SCENE_ALGORITHM))
                             .reading(kSceneAlgorithmQuery)
                             .answering(kSceneAlgorithmReply));
}

}  // namespace zel
