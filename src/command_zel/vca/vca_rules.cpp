// Analysis rules: the people-track rule with its enable word, the point-list
// rule kinds, alarm-statistic clearing, the people-counting picture interval,
// face mosaic and fight detection.
#include <algorithm>
#include <array>

#include "handler_support.h"
#include "host_view.h"
#include "vca_handlers.h"
#include "vca_support.h"

namespace zel {
namespace {

// The people-track rule's members in the order they are read and answered;
// the record keeps colour and alarm colour before show-target.
struct PeptMember {
    const char *key;
    int32_t VCAPeptRule::*field;
};
constexpr std::array<PeptMember, 14> kPeptMembers{{
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

// Sends a rule record; a negative result is a device failure. Returns the
// device's result.
template <typename Record> int32_t send_rule(const HostView &host, int32_t cmd, int32_t ch, const Record &record) {
    int32_t ret = NetClient_VCASetConfig(host.loginfd(), cmd, ch, &record, record_len<Record>());
    if (ret < 0)
        ZFAIL(CMD_ZEL_EDEVICE, "NetClient_VCASetConfig ret:%d < 0  cmd:%d", ret, cmd);
    return ret;
}

// Reads, checks and sends the people-track rule; -1 when refused.
int32_t send_pept_rule(const HostView &host, json_object *jso) {
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1"), -1;
    VCAPeptRule rule{};
    for (const PeptMember &m : kPeptMembers) {
        rule.*m.field = json_object_get_field_int(jso, m.key, -1);
        if (rule.*m.field == -1)
            return ZFAIL(CMD_ZEL_EINVAL, "%s == -1", m.key), -1;
    }
    json_object *points_member = nullptr;
    json_object *points = array_member(jso, "point", &points_member);
    if (points_member == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "jso_outs == NULL"), -1;
    if (points == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "!json_object_is_type(jso_outs, json_type_array)"), -1;
    size_t count = json_object_array_length(points);
    if (count > MAX_VCA_PEPT_POINT_NUM)
        return ZFAIL(CMD_ZEL_EINVAL, "piont_num  > MAX_VCA_PEPT_POINT_NUM"), -1;
    fill_points(points, std::span(rule.points, count));
    rule.point_num = static_cast<int32_t>(count);
    return send_rule(host, VCA_CMD_VCA_PEPT, ch, rule);
}

int32_t send_pept_enable(const HostView &host, json_object *jso) {
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1"), -1;
    VCAPeptEnable record{json_object_get_field_int(jso, "enable", -1)};
    if (record.enable == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "enable == -1"), -1;
    return send_rule(host, VCA_CMD_VCA_PEPT_ENABLE, ch, record);
}

// The set commands answering {"ret":%d}: a missing host record or command
// is still answered (with -1) when there is a reply slot.
int32_t set_with_ret_reply(void *host, json_object *jso, char **out_buf,
                           int32_t (*send)(const HostView &, json_object *)) {
    int32_t ret = -1;
    if (host == nullptr)
        ZFAIL(CMD_ZEL_ENOHOST, "host == NULL");
    else if (jso == nullptr)
        ZFAIL(CMD_ZEL_EINVAL, "is_error(jso)");
    else if (out_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "out_buf == NULL");
    else
        ret = send(HostView(host), jso);
    if (out_buf != nullptr)
        reply_ret(out_buf, ret);
    return ret >= 0 ? 1 : 0;
}

// The point list of the numbered rule kinds: `point_num` elements of
// `point_list` go into the record's slots.
bool fill_point_list(json_object *jso, int32_t point_num, std::span<VcaPoint> slots) {
    json_object *list_member = nullptr;
    json_object *list = array_member(jso, "point_list", &list_member);
    if (list_member == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "jso_outs == NULL");
    if (list == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "!json_object_is_type(jso_outs, json_type_array)");
    fill_points(list, slots.first(static_cast<size_t>(point_num)));
    return true;
}

int32_t set_push_rule(void *host, json_object *jso, int32_t cmd) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0, point_num = 0;
    VCAPointRule rule{};
    if (!read_non_negative(jso, "channel", ch) || !read_non_negative(jso, "scene_id", rule.scene_id) ||
        !read_non_negative(jso, "rule_id", rule.rule_id) || !read_non_negative(jso, "sensitiv", rule.third) ||
        !read_non_negative(jso, "push_mode", rule.fourth) || !read_non_negative(jso, "point_num", point_num))
        return 0;
    // The record has room for eight points; a longer list cannot be sent.
    if (point_num > MAX_VCA_PEPT_POINT_NUM)
        return ZFAIL(CMD_ZEL_EINVAL, "point_num(%d) > MAX_VCA_PEPT_POINT_NUM", point_num);
    if (!fill_point_list(jso, point_num, rule.points))
        return 0;
    rule.point_num = point_num;
    return send_rule(HostView(host), cmd, ch, rule) >= 0 ? 1 : 0;
}

int32_t set_zone_rule(void *host, json_object *jso, int32_t cmd) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0;
    VCAPointRule rule{};
    if (!read_non_negative(jso, "ch", ch) || !read_non_negative(jso, "scene_id", rule.scene_id) ||
        !read_non_negative(jso, "rule_id", rule.rule_id) || !read_non_negative(jso, "sensitiv", rule.fourth) ||
        !read_non_negative(jso, "enable", rule.third))
        return 0;
    int32_t point_num = json_object_get_field_int(jso, "point_num", -1);
    if (point_num < 3 || point_num > MAX_VCA_PEPT_POINT_NUM)
        return ZFAIL(CMD_ZEL_EINVAL, "point_num < 3 || point_num > 8");
    if (!fill_point_list(jso, point_num, rule.points))
        return 0;
    rule.point_num = point_num;
    return send_rule(HostView(host), cmd, ch, rule) >= 0 ? 1 : 0;
}

// Reads the people-track rule named by `ch`, `scene_id` and `rule_id`;
// -1 when refused, else the device's result.
int32_t read_pept_rule(const HostView &host, json_object *jso, VCAPeptRule &rule) {
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1"), -1;
    rule.scene_id = json_object_get_field_int(jso, "scene_id", -1);
    if (rule.scene_id == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "scene_id == -1"), -1;
    rule.rule_id = json_object_get_field_int(jso, "rule_id", -1);
    if (rule.rule_id == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "rule_id == -1"), -1;
    int32_t ret = NetClient_VCAGetConfig(host.loginfd(), VCA_CMD_VCA_PEPT, ch, &rule, record_len<VCAPeptRule>());
    if (ret != 0)
        ZFAIL(CMD_ZEL_EDEVICE, "NetClient_VCAGetConfig VCA_CMD_VCA_PEPT err!ret:%d", ret);
    return ret;
}

void add_pept_rule(json_object *reply, const VCAPeptRule &rule) {
    add_points(reply, "point", rule.points, rule.point_num, "is_error(points)", "is_error(point)");
    for (size_t i = 2; i < kPeptMembers.size(); ++i)
        add(reply, kPeptMembers[i].key, json_object_new_int(rule.*kPeptMembers[i].field));
}

int32_t read_pept_enable(const HostView &host, json_object *jso, VCAPeptEnable &record) {
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1"), -1;
    int32_t ret =
        NetClient_VCAGetConfig(host.loginfd(), VCA_CMD_VCA_PEPT_ENABLE, ch, &record, record_len<VCAPeptEnable>());
    if (ret != 0)
        ZFAIL(CMD_ZEL_EDEVICE, "NetClient_VCAGetConfig err!ret:%d", ret);
    return ret;
}

// The get commands whose reply carries the record's members (on success)
// and "ret": a refused request is still answered with "ret" -1.
template <typename Record>
int32_t get_with_ret_reply(void *host, json_object *jso, char **out_buf,
                           int32_t (*read)(const HostView &, json_object *, Record &),
                           void (*answer)(json_object *, const Record &)) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    Record record{};
    int32_t ret = read(HostView(host), jso, record);
    if (ret == 0)
        answer(reply.get(), record);
    add(reply.get(), "ret", json_object_new_int(ret));
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret >= 0 ? 1 : 0;
}

}  // namespace

int32_t set_vca_pept_rule(void *host, json_object *jso, char **out_buf) {
    return set_with_ret_reply(host, jso, out_buf, send_pept_rule);
}

int32_t set_vca_pept_enable(void *host, json_object *jso, char **out_buf) {
    return set_with_ret_reply(host, jso, out_buf, send_pept_enable);
}

int32_t get_vca_pept_rule(void *host, json_object *jso, char **out_buf) {
    return get_with_ret_reply<VCAPeptRule>(host, jso, out_buf, read_pept_rule, add_pept_rule);
}

int32_t get_vca_pept_enable(void *host, json_object *jso, char **out_buf) {
    return get_with_ret_reply<VCAPeptEnable>(host, jso, out_buf, read_pept_enable,
                                             [](json_object *reply, const VCAPeptEnable &record) {
                                                 add(reply, "enable", json_object_new_int(record.enable));
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
    if (!read_non_negative(jso, "channel", ch) || !read_non_negative(jso, "type", rule.type) ||
        !read_non_negative(jso, "scene_id", rule.scene_id) || !read_non_negative(jso, "rule_id", rule.rule_id) ||
        !read_non_negative(jso, "sensitiv", rule.sensitiv) || !read_non_negative(jso, "push_mode", rule.push_mode) ||
        !read_non_negative(jso, "point_num", rule.point_num))
        return 0;
    json_object *list_member = nullptr;
    json_object *list = array_member(jso, "point_list", &list_member);
    if (list_member == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "points == NULL");
    if (list == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "!json_object_is_type(points, json_type_array)");
    // Only eight slots exist; the count goes to the device as given.
    fill_points(list, std::span(rule.points, static_cast<size_t>(std::min(rule.point_num, MAX_VCA_PEPT_POINT_NUM))));
    return send_rule(HostView(host), VCA_CMD_TYPED_RULE_182, ch, rule) >= 0 ? 1 : 0;
}

int32_t clear_vca_alarm_statistic(void *host, json_object *jso) {
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_ENOHOST, "host == NULL");
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso)");
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
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL");
    HostView view(host);
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso), host_id:%s", view.id());
    int32_t ch = channel_or_whole_device(view, jso);
    VCACpcAdvancePart2 record{};
    record.scene_id = json_object_get_field_int(jso, "scene_id", -1);
    if (record.scene_id < 0)
        ZLOG(kLogError, "scene_id < 0, host_id:%s, ch:%d", view.id(), ch);
    record.pic_interval = json_object_get_field_int(jso, "pic_interval", -1);
    if (record.pic_interval < 0)
        ZLOG(kLogError, "pic_interval < 0, host_id:%s, ch:%d", view.id(), ch);
    int32_t ret = NetClient_VCASetConfig(view.loginfd(), VCA_CMD_CPC_ADVANCE_PART2, ch, &record,
                                         record_len<VCACpcAdvancePart2>());
    if (ret != 0) {
        ZLOG(kLogError, "NetClient_VCASetConfig--VCA_CMD_CPC_ADVANCE_PART2 failed, host_id:%s, ch:%d, ret:%d",
             view.id(), ch, ret);
        return 0;
    }
    return 1;
}

int32_t get_cpc_advance_part2(void *host, json_object *jso, char **out_buf) {
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL");
    HostView view(host);
    if (out_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "out_buf == NULL, host_id:%s", view.id());
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso), host_id:%s", view.id());
    int32_t ch = channel_or_whole_device(view, jso);
    VCACpcAdvancePart2 record{};
    record.scene_id = json_object_get_field_int(jso, "scene_id", -1);
    if (record.scene_id < 0)
        ZLOG(kLogError, "scene_id < 0, host_id:%s, ch:%d", view.id(), ch);
    int32_t ret = NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_CPC_ADVANCE_PART2, ch, &record,
                                         record_len<VCACpcAdvancePart2>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE,
                     "NetClient_VCAGetConfig-VCA_CMD_CPC_ADVANCE_PART2 failed, host_id:%s, ch:%d, ret_val:%d",
                     view.id(), ch, ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add(reply.get(), "scene_id", json_object_new_int(record.scene_id));
    add(reply.get(), "pic_interval", json_object_new_int(record.pic_interval));
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t set_face_mosaic(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    // From here on refusals are reported by the log line and the result only.
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        return ZREFUSE("ch == -1");
    int32_t valid = json_object_get_field_int(jso, "valid", -1);
    if (valid == -1)
        return ZREFUSE("valid == -1");
    int32_t mosaic_level = json_object_get_field_int(jso, "mosaic_level", -2);
    if (mosaic_level == -2)
        ZLOG(kLogInfo, "mosaic_level == -2, host_type is v8");
    if ((valid != 0 && valid != 1) || mosaic_level < -2)
        return ZREFUSE("(valid != 0 && valid != 1) || mosaic_level < -2");

    HostView view(host);
    auto mosaic = sized_record<VCAFaceMosaic>();
    if (NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_FACEMOSAIC, ch, &mosaic, record_len<VCAFaceMosaic>()) != 0)
        return ZREFUSE("NetClient_VCAGetConfig() VCA_CMD_FACEMOSAIC, host_id: %s, ch : %d, error: %lx", view.id(), ch,
                       sdk_error());
    mosaic.valid = valid;
    if (mosaic_level >= -1)
        mosaic.mosaic_level = mosaic_level;
    if (NetClient_VCASetConfig(view.loginfd(), VCA_CMD_FACEMOSAIC, ch, &mosaic, record_len<VCAFaceMosaic>()) != 0)
        return ZREFUSE("NetClient_VCASetConfig() VCA_CMD_FACEMOSAIC, host_id: %s, ch : %d, error: %lx", view.id(), ch,
                       sdk_error());
    return 1;
}

int32_t set_new_fight(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    // From here on refusals are reported by the log line and the result only.
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        return ZREFUSE("ch == -1");
    int32_t dev_type = json_object_get_field_int(jso, "dev_type", -1);
    if (dev_type == -1)
        return ZREFUSE("dev_type == -1");
    int32_t valid = json_object_get_field_int(jso, "valid", -1);
    if (valid == -1)
        return ZREFUSE("valid == -1");
    if (valid != 0 && valid != 1)
        return ZREFUSE("valid != 0 && valid != 1");

    HostView view(host);
    VCANewFight fight{};
    if (NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_NEW_FIGHT, ch, &fight, record_len<VCANewFight>()) != 0)
        return ZREFUSE("NetClient_VCAGetConfig() VCA_CMD_NEW_FIGHT, host_id: %s, ch : %d, error: %lx", view.id(), ch,
                       sdk_error());
    fight.dev_type = dev_type;
    fight.valid = valid;
    if (NetClient_VCASetConfig(view.loginfd(), VCA_CMD_NEW_FIGHT, ch, &fight, record_len<VCANewFight>()) != 0)
        return ZREFUSE("NetClient_VCASetConfig() VCA_CMD_NEW_FIGHT, host_id: %s, ch : %d, error: %lx", view.id(), ch,
                       sdk_error());
    return 1;
}

}  // namespace zel
