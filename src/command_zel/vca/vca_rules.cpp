// Analysis rules: the people-track rule with its enable word, the point-list
// rule kinds, alarm-statistic clearing, the people-counting picture interval,
// face mosaic and fight detection.
#include <array>

#include "handler_support.h"
#include "host_view.h"
#include "vca_handlers.h"
#include "vca_support.h"

namespace zel {
namespace {

// The people-track rule's members in the order they are read and answered
// (the record keeps colour and alarm colour before show-target). The reply
// repeats all but the first two.
constexpr std::array<IntMember<VCAPeptRule>, 14> kPeptMembers{{
    {"scene_id", &VCAPeptRule::scene_id},
    {"rule_id", &VCAPeptRule::rule_id},
    {"valid", &VCAPeptRule::valid},
    {"display_rule", &VCAPeptRule::display_rule},
    {"display_stat", &VCAPeptRule::display_stat},
    {"display_target", &VCAPeptRule::display_target},
    {"color", &VCAPeptRule::color},
    {"alarm_color", &VCAPeptRule::alarm_color},
    {"max_size", &VCAPeptRule::max_size},
    {"min_size", &VCAPeptRule::min_size},
    {"sensitiv", &VCAPeptRule::sensitiv},
    {"model_type", &VCAPeptRule::model_type},
    {"tgt_type", &VCAPeptRule::tgt_type},
    {"time_thres_hold", &VCAPeptRule::time_thres_hold},
}};
constexpr size_t kPeptReplyFrom = 2;

// The point-list rules: push rules keep sensitivity and push mode in the
// third and fourth fields, zone rules the enable flag and sensitivity.
constexpr std::array<IntMember<VCAPointRule>, 4> kPushMembers{{
    {"scene_id", &VCAPointRule::scene_id},
    {"rule_id", &VCAPointRule::rule_id},
    {"sensitiv", &VCAPointRule::third},
    {"push_mode", &VCAPointRule::fourth},
}};
constexpr std::array<IntMember<VCAPointRule>, 4> kZoneMembers{{
    {"scene_id", &VCAPointRule::scene_id},
    {"rule_id", &VCAPointRule::rule_id},
    {"sensitiv", &VCAPointRule::fourth},
    {"enable", &VCAPointRule::third},
}};
constexpr std::array<IntMember<VCAPointRuleTyped>, 6> kTypedMembers{{
    {"type", &VCAPointRuleTyped::type},
    {"scene_id", &VCAPointRuleTyped::scene_id},
    {"rule_id", &VCAPointRuleTyped::rule_id},
    {"sensitiv", &VCAPointRuleTyped::sensitiv},
    {"push_mode", &VCAPointRuleTyped::push_mode},
    {"point_num", &VCAPointRuleTyped::point_num},
}};

// Sends a rule record; a negative result is a device failure. Returns the
// device's result.
template <typename Record> int32_t send_rule(void *host, int32_t cmd, int32_t ch, const Record &record) {
    int32_t ret = NetClient_VCASetConfig(HostView(host).loginfd(), cmd, ch, &record, record_len<Record>());
    if (ret < 0)
        ZFAIL(CMD_ZEL_EDEVICE, "NetClient_VCASetConfig ret:%d < 0  cmd:%d", ret, cmd);
    return ret;
}

// The point-list member `key`, refused when absent ("<name> == NULL") or not
// an array ("!json_object_is_type(<name>, json_type_array)").
json_object *point_array(json_object *jso, const char *key, const char *name) {
    json_object *member = nullptr;
    json_object *list = array_member(jso, key, &member);
    if (member == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "%s == NULL", name), nullptr;
    if (list == nullptr)
        ZFAIL(CMD_ZEL_EINVAL, "!json_object_is_type(%s, json_type_array)", name);
    return list;
}

// Reads, checks and sends the people-track rule; -1 when refused.
int32_t send_pept_rule(void *host, json_object *jso) {
    int32_t ch = 0;
    VCAPeptRule rule{};
    if (!read_non_negative(jso, "ch", ch) || !read_required_members(jso, kPeptMembers, rule))
        return -1;
    json_object *points = point_array(jso, "point", "jso_outs");
    if (points == nullptr)
        return -1;
    size_t count = json_object_array_length(points);
    if (count > MAX_VCA_PEPT_POINT_NUM)
        return ZFAIL(CMD_ZEL_EINVAL, "piont_num  > MAX_VCA_PEPT_POINT_NUM"), -1;
    fill_points(points, std::span(rule.points, count));
    rule.point_num = static_cast<int32_t>(count);
    return send_rule(host, VCA_CMD_VCA_PEPT, ch, rule);
}

int32_t send_pept_enable(void *host, json_object *jso) {
    int32_t ch = 0;
    VCAPeptEnable record{};
    if (!read_non_negative(jso, "ch", ch) || !read_required(jso, "enable", record.enable))
        return -1;
    return send_rule(host, VCA_CMD_VCA_PEPT_ENABLE, ch, record);
}

// Sends a point-list rule whose members are read: `point_num` elements of
// `point_list` go into the record's slots.
int32_t send_point_rule(void *host, json_object *jso, int32_t cmd, int32_t ch, int32_t point_num, VCAPointRule &rule) {
    json_object *list = point_array(jso, "point_list", "jso_outs");
    if (list == nullptr)
        return 0;
    fill_points(list, std::span(rule.points).first(static_cast<size_t>(point_num)));
    rule.point_num = point_num;
    return send_rule(host, cmd, ch, rule) >= 0 ? 1 : 0;
}

int32_t set_push_rule(void *host, json_object *jso, int32_t cmd) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0, point_num = 0;
    VCAPointRule rule{};
    if (!read_non_negative(jso, "channel", ch) || !read_non_negative_members(jso, kPushMembers, rule) ||
        !read_non_negative(jso, "point_num", point_num))
        return 0;
    // The record has room for eight points; a longer list cannot be sent.
    if (point_num > MAX_VCA_PEPT_POINT_NUM)
        return ZFAIL(CMD_ZEL_EINVAL, "point_num(%d) > MAX_VCA_PEPT_POINT_NUM", point_num);
    return send_point_rule(host, jso, cmd, ch, point_num, rule);
}

int32_t set_zone_rule(void *host, json_object *jso, int32_t cmd) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0, point_num = 0;
    VCAPointRule rule{};
    if (!read_non_negative(jso, "ch", ch) || !read_non_negative_members(jso, kZoneMembers, rule) ||
        !read_in_range(jso, "point_num", point_num, 3, MAX_VCA_PEPT_POINT_NUM, "point_num < 3 || point_num > 8"))
        return 0;
    return send_point_rule(host, jso, cmd, ch, point_num, rule);
}

// Reads the device's record, lets `change` set the fields the command names
// and writes the record back, so every other byte stays as the device holds
// it. Device failures are reported by the log line and the result only.
template <typename Record, typename Change>
int32_t rewrite_record(void *host, int32_t cmd, const char *cmd_name, int32_t ch, Record record, Change change) {
    HostView view(host);
    if (NetClient_VCAGetConfig(view.loginfd(), cmd, ch, &record, record_len<Record>()) != 0)
        return ZREFUSE("NetClient_VCAGetConfig() %s, host_id: %s, ch : %d, error: %lx", cmd_name, view.id(), ch,
                       sdk_error());
    change(record);
    if (NetClient_VCASetConfig(view.loginfd(), cmd, ch, &record, record_len<Record>()) != 0)
        return ZREFUSE("NetClient_VCASetConfig() %s, host_id: %s, ch : %d, error: %lx", cmd_name, view.id(), ch,
                       sdk_error());
    return 1;
}

// The refusals of face mosaic and fight detection set no error code.
const Refusal kUncoded{nullptr, kKeepErrno};

}  // namespace

int32_t set_vca_pept_rule(void *host, json_object *jso, char **out_buf) {
    return run_with_ret_reply(host, jso, out_buf, {.host_code = CMD_ZEL_ENOHOST}, send_pept_rule);
}

int32_t set_vca_pept_enable(void *host, json_object *jso, char **out_buf) {
    return run_with_ret_reply(host, jso, out_buf, {.host_code = CMD_ZEL_ENOHOST}, send_pept_enable);
}

int32_t get_vca_pept_rule(void *host, json_object *jso, char **out_buf) {
    return run_with_document_reply(host, jso, out_buf, {}, [](void *dev, json_object *cmd, json_object *reply) {
        int32_t ch = 0;
        VCAPeptRule rule{};
        if (!read_non_negative(cmd, "ch", ch) || !read_required(cmd, "scene_id", rule.scene_id) ||
            !read_required(cmd, "rule_id", rule.rule_id))
            return -1;
        int32_t ret =
            NetClient_VCAGetConfig(HostView(dev).loginfd(), VCA_CMD_VCA_PEPT, ch, &rule, record_len<VCAPeptRule>());
        if (ret != 0)
            return ZFAIL(CMD_ZEL_EDEVICE, "NetClient_VCAGetConfig VCA_CMD_VCA_PEPT err!ret:%d", ret), ret;
        add_points(reply, "point", rule.points, rule.point_num, "is_error(points)", "is_error(point)");
        add_members(reply, std::span(kPeptMembers).subspan(kPeptReplyFrom), rule);
        return ret;
    });
}

int32_t get_vca_pept_enable(void *host, json_object *jso, char **out_buf) {
    return run_with_document_reply(host, jso, out_buf, {}, [](void *dev, json_object *cmd, json_object *reply) {
        int32_t ch = 0;
        if (!read_non_negative(cmd, "ch", ch))
            return -1;
        VCAPeptEnable record{};
        int32_t ret = NetClient_VCAGetConfig(HostView(dev).loginfd(), VCA_CMD_VCA_PEPT_ENABLE, ch, &record,
                                             record_len<VCAPeptEnable>());
        if (ret != 0)
            return ZFAIL(CMD_ZEL_EDEVICE, "NetClient_VCAGetConfig err!ret:%d", ret), ret;
        add_int(reply, "enable", record.enable);
        return ret;
    });
}

int32_t set_vca_push_rule_167(void *host, json_object *jso) { return set_push_rule(host, jso, VCA_CMD_PUSH_RULE_167); }
int32_t set_vca_push_rule_168(void *host, json_object *jso) { return set_push_rule(host, jso, VCA_CMD_PUSH_RULE_168); }
int32_t set_vca_zone_rule_173(void *host, json_object *jso) { return set_zone_rule(host, jso, VCA_CMD_ZONE_RULE_173); }
int32_t set_vca_zone_rule_174(void *host, json_object *jso) { return set_zone_rule(host, jso, VCA_CMD_ZONE_RULE_174); }

int32_t set_vca_typed_rule_182(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0;
    VCAPointRuleTyped rule{};
    if (!read_non_negative(jso, "channel", ch) || !read_non_negative_members(jso, kTypedMembers, rule))
        return 0;
    json_object *list = point_array(jso, "point_list", "points");
    if (list == nullptr)
        return 0;
    // Only eight slots exist; the count goes to the device as given.
    auto filled = static_cast<size_t>(clamp_count(rule.point_num, MAX_VCA_PEPT_POINT_NUM));
    fill_points(list, std::span(rule.points).first(filled));
    return send_rule(host, VCA_CMD_TYPED_RULE_182, ch, rule) >= 0 ? 1 : 0;
}

int32_t clear_vca_alarm_statistic(void *host, json_object *jso) {
    if (!has_command(host, jso, {.host_code = CMD_ZEL_ENOHOST}))
        return 0;
    int32_t ch = 0;
    if (!read_non_negative(jso, "channel", ch))
        return 0;
    int32_t rule_id = json_object_get_field_int(jso, "rule_id", -1);
    if (rule_id == -1 || rule_id >= VCA_MAX_RULE_NUM)
        return ZFAIL(CMD_ZEL_EINVAL, "rule_id == -1 || rule_id(%d) >= VCA_MAX_RULE_NUM", rule_id);
    // The device keeps its statistics per rule and scene; all of them are
    // cleared, whatever rule was named.
    HostView view(host);
    int32_t ret = 0;
    for (int32_t rule = 0; rule < 16; ++rule) {
        for (int32_t scene = 0; scene < 32; ++scene) {
            ZLOG(kLogInfo, "NetClient_VCASetConfig iRuleID %d, iSceneID %d", rule, scene);
            auto clear = sized_record<VCAAlarmStatisticClear>();
            clear.scene_id = scene;
            clear.rule_id = rule;
            ret = NetClient_VCASetConfig(view.loginfd(), VCA_CMD_ALARM_STATISTIC, ch, &clear,
                                         record_len<VCAAlarmStatisticClear>());
            if (ret != 0)
                ZLOG(kLogError,
                     "NetClient_VCASetConfig(host->loginfd, VCA_CMD_ALARM_STATISTIC, chan_no, &vcaclear, "
                     "sizeof(VCAAlarmStatisticClear)) != 0, result: %d, cmd: %d, i %d, j %d",
                     ret, VCA_CMD_ALARM_STATISTIC, rule, scene);
        }
    }
    return ret == 0 ? 1 : 0;
}

int32_t set_cpc_advance_part2(void *host, json_object *jso) {
    if (!has_command(host, jso, kWithHostId))
        return 0;
    HostView view(host);
    int32_t ch = channel_or_whole_device(view, jso);
    VCACpcAdvancePart2 record{};
    record.scene_id = read_reported(jso, "scene_id", view, ch);
    record.pic_interval = read_reported(jso, "pic_interval", view, ch);
    int32_t ret = NetClient_VCASetConfig(view.loginfd(), VCA_CMD_CPC_ADVANCE_PART2, ch, &record,
                                         record_len<VCACpcAdvancePart2>());
    if (ret != 0)
        return ZREFUSE("NetClient_VCASetConfig--VCA_CMD_CPC_ADVANCE_PART2 failed, host_id:%s, ch:%d, ret:%d", view.id(),
                       ch, ret);
    return 1;
}

int32_t get_cpc_advance_part2(void *host, json_object *jso, char **out_buf) {
    // The reply slot is looked at before the command.
    if (!has_host_and_reply(host, out_buf, kWithHostId) || !has_command(host, jso, kWithHostId))
        return 0;
    HostView view(host);
    int32_t ch = channel_or_whole_device(view, jso);
    VCACpcAdvancePart2 record{};
    record.scene_id = read_reported(jso, "scene_id", view, ch);
    int32_t ret = NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_CPC_ADVANCE_PART2, ch, &record,
                                         record_len<VCACpcAdvancePart2>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE,
                     "NetClient_VCAGetConfig-VCA_CMD_CPC_ADVANCE_PART2 failed, host_id:%s, ch:%d, ret_val:%d",
                     view.id(), ch, ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "scene_id", record.scene_id);
    add_int(reply.get(), "pic_interval", record.pic_interval);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t set_face_mosaic(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0, valid = 0;
    if (!read_required(jso, "ch", ch, kUncoded) || !read_required(jso, "valid", valid, kUncoded))
        return 0;
    int32_t mosaic_level = json_object_get_field_int(jso, "mosaic_level", -2);
    if (mosaic_level == -2)
        ZLOG(kLogInfo, "mosaic_level == -2, host_type is v8");
    if ((valid != 0 && valid != 1) || mosaic_level < -2)
        return ZREFUSE("(valid != 0 && valid != 1) || mosaic_level < -2");
    return rewrite_record(host, VCA_CMD_FACEMOSAIC, "VCA_CMD_FACEMOSAIC", ch, sized_record<VCAFaceMosaic>(),
                          [&](VCAFaceMosaic &mosaic) {
                              mosaic.valid = valid;
                              if (mosaic_level >= -1)  // -2: the device keeps its level
                                  mosaic.mosaic_level = mosaic_level;
                          });
}

int32_t set_new_fight(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0, dev_type = 0, valid = 0;
    if (!read_required(jso, "ch", ch, kUncoded) || !read_required(jso, "dev_type", dev_type, kUncoded) ||
        !read_required(jso, "valid", valid, kUncoded))
        return 0;
    if (valid != 0 && valid != 1)
        return ZREFUSE("valid != 0 && valid != 1");
    return rewrite_record(host, VCA_CMD_NEW_FIGHT, "VCA_CMD_NEW_FIGHT", ch, VCANewFight{}, [&](VCANewFight &fight) {
        fight.dev_type = dev_type;
        fight.valid = valid;
    });
}

}  // namespace zel
