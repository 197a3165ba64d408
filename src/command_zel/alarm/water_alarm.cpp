// The water-level alarm of a scene rule: set 84 writes it from the members
// of "dev_param", get 80 reads it and answers every field under the name of
// its member. A "ch" of -1 addresses the whole device.
#include <span>

#include "alarm/alarm_handlers.h"
#include "device_sdk_alarm.h"
#include "handler_support.h"
#include "host_view.h"

namespace zel {
namespace {

using Member = IntMember<water_alarm_para>;
using W = water_alarm_para;

// The record's members before and after its alarm levels, in record order.
constexpr Member kLeadingMembers[] = {
    {"alert_water_value", &W::alert_water_value},
    {"alarm_link_time", &W::alarm_link_time},
    {"scene_id", &W::scene_id},
    {"rule_id", &W::rule_id},
    {"is_main_channel", &W::is_main_channel},
    {"check_stand", &W::check_stand},
    {"default_upload_time", &W::default_upload_time},
    {"first_water_level_upload_time", &W::first_water_level_upload_time},
    {"second_water_level_upload_time", &W::second_water_level_upload_time},
    {"third_water_level_upload_time", &W::third_water_level_upload_time},
    {"first_water_level_thershold", &W::first_water_level_thershold},
    {"second_water_level_thershold", &W::second_water_level_thershold},
    {"third_water_level_thershold", &W::third_water_level_thershold},
    {"algorithm_type", &W::algorithm_type},
    {"water_num", &W::water_num},
};
constexpr Member kTrailingMembers[] = {
    {"water_low_value", &W::water_low_value},
    {"warn_high_value", &W::warn_high_value},
    {"warn_low_value", &W::warn_low_value},
    {"water_filter_enable", &W::water_filter_enable},
    {"water_filter_level", &W::water_filter_level},
    {"water_filter_time", &W::water_filter_time},
    {"threshold_enable", &W::threshold_enable},
    {"threshold_level", &W::threshold_level},
    {"alarm_high_add_enable", &W::alarm_high_add_enable},
    {"alarm_high_add_interval", &W::alarm_high_add_interval},
    {"threshold_add_report_enable", &W::threshold_add_report_enable},
    {"threshold_add_report_value", &W::threshold_add_report_value},
    {"threshold_add_report_interval", &W::threshold_add_report_interval},
    {"threshold_growth_rate_enable", &W::threshold_growth_rate_enable},
    {"threshold_growth_rate", &W::threshold_growth_rate},
    {"water_correct_val", &W::water_correct_val},
};

constexpr Opening kOpening{.host_id = ", host_id:[%s]"};

// Every member of the table, -1 when absent; nothing is refused.
void read_members(json_object *dev_param, std::span<const Member> members, water_alarm_para &para) {
    for (const Member &m : members)
        para.*m.field = json_object_get_field_int(dev_param, m.key, -1);
}

// The first five elements of "water_alarm", each into its own level.
void read_levels(json_object *levels, water_alarm_para &para) {
    if (levels == nullptr || !json_object_is_type(levels, json_type_array))
        return;
    size_t count = std::min<size_t>(json_object_array_length(levels), WATER_ALARM_LEVELS);
    for (size_t i = 0; i < count; ++i) {
        json_object *level = json_object_array_get_idx(levels, i);
        if (level == nullptr) {
            ZLOG(kLogError, "is_error(water_alarm)");
            continue;
        }
        para.water_alarm[i] = json_object_get_int(level);
        ZLOG(kLogError, "i: %d, %d", static_cast<int>(i), para.water_alarm[i]);
    }
}

int32_t device_channel(int32_t ch) { return ch == -1 ? kAllChannels : ch; }

}  // namespace

int32_t set_water_alarm_param(void *host, json_object *jso) {
    if (!has_command(host, jso, kOpening))
        return 0;
    HostView dev(host);
    int32_t ch = json_object_get_field_int(jso, "ch", -2);
    if (ch < -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ch[%d] < 0, host_id:[%s]", ch, dev.id());
    json_object *dev_param = json_object_object_get(jso, "dev_param");
    if (dev_param == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(dev_param), host_id:[%s]", dev.id());

    auto para = sized_record<water_alarm_para>();
    read_members(dev_param, kLeadingMembers, para);
    read_members(dev_param, kTrailingMembers, para);
    read_levels(json_object_object_get(dev_param, "water_alarm"), para);
    ch = device_channel(ch);
    int32_t ret =
        NetClient_SetAlarmConfig(dev.loginfd(), ch, ALARM_TYPE_WATER_LEVEL, CMD_ALARM_WATER_LEVEL_PARA, &para);
    if (ret != 0)
        return ZREFUSE("sdk_ret[%d] < 0, host_id: [%s], loginfd: [%d], ch: [%d], sence_id: [%d], rule_id: [%d], "
                       "err_code: [%lx]",
                       ret, dev.id(), dev.loginfd(), ch, para.scene_id, para.rule_id, sdk_error());
    return 1;
}

int32_t get_water_alarm_param(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, kOpening))
        return 0;
    HostView dev(host);
    auto para = sized_record<water_alarm_para>();
    int32_t ch = json_object_get_field_int(jso, "ch", -2);
    if (ch < -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ch[%d] < 0, host_id:[%s]", ch, dev.id());
    if ((para.scene_id = json_object_get_field_int(jso, "scene_id", -1)) < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "sence_id[%d] < 0, host_id:[%s]", para.scene_id, dev.id());
    if ((para.rule_id = json_object_get_field_int(jso, "rule_id", -1)) < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "rule_id[%d] < 0, host_id:[%s]", para.rule_id, dev.id());
    if ((para.algorithm_type = json_object_get_field_int(jso, "algorithm_type", -1)) < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "algorithm_type[%d] < 0, host_id:[%s]", para.algorithm_type, dev.id());

    ch = device_channel(ch);
    const int32_t scene_id = para.scene_id, rule_id = para.rule_id;
    int32_t ret =
        NetClient_GetAlarmConfig(dev.loginfd(), ch, ALARM_TYPE_WATER_LEVEL, CMD_ALARM_WATER_LEVEL_PARA, &para);
    if (ret != 0)
        return ZREFUSE("sdk_ret[%d] < 0, host_id: [%s], ch: [%d], sence_id[%d], rule_id[%d], err_code:%lx", ret,
                       dev.id(), ch, scene_id, rule_id, sdk_error());

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_members<water_alarm_para>(reply.get(), kLeadingMembers, para);
    JsonPtr levels = new_array("is_error(jso_ret)");
    for (int32_t i = 0; i < clamp_count(para.water_num, WATER_ALARM_LEVELS); ++i)
        append(levels.get(), json_object_new_int(para.water_alarm[i]), "is_error(jso_ret)");
    add(reply.get(), "water_alarm", levels.release());
    add_members<water_alarm_para>(reply.get(), kTrailingMembers, para);
    if (const char *text = json_object_to_json_string(reply.get()))
        ZLOG(kLogError, "******jso_string:<%s>", text);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
