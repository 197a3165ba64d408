// Fireworks (fire and smoke) and temperature detection settings, and the
// call of a scene.
#include <array>

#include "handler_support.h"
#include "host_view.h"
#include "vca_handlers.h"
#include "vca_support.h"

namespace zel {
namespace {

// The fireworks record's members, in record order (also the reply's order).
constexpr std::array<IntMember<VCAFireworks>, 12> kFireworksMembers{{
    {"scene_id", &VCAFireworks::scene_id, "scene_id < 0"},
    {"rule_id", &VCAFireworks::rule_id, "rule_id < 0"},
    {"valid", &VCAFireworks::valid, "valid < 0"},
    {"display_rule", &VCAFireworks::display_rule, "display_rule < 0"},
    {"display_state", &VCAFireworks::display_state, "display_state < 0"},
    {"display_target", &VCAFireworks::display_target, "display_target < 0"},
    {"color", &VCAFireworks::color, "color < 0"},
    {"alarm_color", &VCAFireworks::alarm_color, "alarm_color < 0"},
    {"fire_sensitiv", &VCAFireworks::fire_sensitiv, "fire_sensitiv < 0"},
    {"smoke_sensitiv", &VCAFireworks::smoke_sensitiv, "smoke_sensitiv < 0"},
    {"model_type", &VCAFireworks::model_type, "model_type < 0"},
    {"wait_time", &VCAFireworks::wait_time, "wait_time < 0"},
}};

// The temperature record's members in command and reply order; the record
// keeps the wait time before the temperature-loss switch.
constexpr std::array<IntMember<VCATemDetect>, 11> kTemDetectMembers{{
    {"scene_id", &VCATemDetect::scene_id, "scene_id < 0"},
    {"rule_id", &VCATemDetect::rule_id, "rule_id < 0"},
    {"valid", &VCATemDetect::valid, "valid < 0"},
    {"display_tem_scale_enable", &VCATemDetect::display_tem_scale_enable, "display_tem_scale_enable < 0"},
    {"high_tem_color", &VCATemDetect::high_tem_color, "high_tem_color< 0"},
    {"low_tem_color", &VCATemDetect::low_tem_color, "low_tem_color < 0"},
    {"model_type", &VCATemDetect::model_type, "model_type < 0"},
    {"tem_unit", &VCATemDetect::tem_unit, "tem_unit < 0"},
    {"tem_threshold", &VCATemDetect::tem_threshold, "tem_threshold < 0"},
    {"temp_lose_enable", &VCATemDetect::temp_lose_enable, "temp_lose_enable < 0"},
    {"wait_time", &VCATemDetect::wait_time, "wait_time < 0"},
}};

constexpr std::array<IntMember<CallAnyScene>, 3> kSceneMembers{{
    {"type", &CallAnyScene::type, "type < 0"},
    {"value", &CallAnyScene::value, "value < 0"},
    {"scene_type", &CallAnyScene::scene_type, "scene_type < 0"},
}};

}  // namespace

int32_t set_call_anyscene(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0;
    auto scene = sized_record<CallAnyScene>();
    if (!read_non_negative(jso, "channel", ch, "ch < 0") || !read_non_negative_members(jso, kSceneMembers, scene))
        return 0;
    HostView view(host);
    int32_t ret =
        NetClient_SetDevConfig(view.loginfd(), NET_CLIENT_CALL_ANYSCENE, ch, &scene, record_len<CallAnyScene>());
    if (ret != 0) {
        ZLOG(kLogInfo, "NetClient_SetDevConfig NET_CLIENT_CALL_ANYSCENE failed host_id:%s, err:%d", view.id(), ret);
        return 0;
    }
    return 1;
}

int32_t set_fireworks_param(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0;
    auto fireworks = sized_record<VCAFireworks>();
    if (!read_non_negative(jso, "ch", ch, "ch < 0") || !read_non_negative_members(jso, kFireworksMembers, fireworks))
        return 0;
    HostView view(host);
    int32_t ret = NetClient_VCASetConfig(view.loginfd(), VCA_CMD_FIREWORKS, ch, &fireworks, record_len<VCAFireworks>());
    if (ret < 0) {
        ZLOG(kLogInfo, "NetClient_VCASetConfig VCA_CMD_FIREWORKS failed host_id:%s, err:%d", view.id(), ret);
        return 0;
    }
    return 1;
}

int32_t get_fireworks_param(void *host, json_object *jso, char **out_buf) {
    // The reply slot is looked at before the command.
    if (!has_host_and_reply(host, out_buf) || !has_command(host, jso))
        return 0;
    int32_t ch = 0;
    auto fireworks = sized_record<VCAFireworks>();
    if (!read_non_negative(jso, "channel", ch, "ch  < 0") ||
        !read_non_negative(jso, "scene_id", fireworks.scene_id, "scene_id  < 0") ||
        !read_non_negative(jso, "rule_id", fireworks.rule_id, "rule_id  < 0"))
        return 0;
    HostView view(host);
    int32_t ret = NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_FIREWORKS, ch, &fireworks, record_len<VCAFireworks>());
    if (ret < 0) {
        ZLOG(kLogInfo, "NetClient_VCAGetConfig VCA_CMD_FIREWORKS failed host_id:%s, err:%d", view.id(), ret);
        return 0;
    }
    JsonPtr reply = new_object("is_error(jso_ret)");
    add(reply.get(), "host_id", field_string(view.id(), host_field::kIdSize));
    add_int(reply.get(), "ch", ch);
    add_members(reply.get(), kFireworksMembers, fireworks);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t set_tem_detect_param(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0;
    if (!read_non_negative(jso, "ch", ch, "ch < 0"))
        return 0;
    auto tem_detect = sized_record<VCATemDetect>();
    if (!read_non_negative_members(jso, kTemDetectMembers, tem_detect))
        return ZREFUSE("!form_tem_detect_param(&tem_detect, jso)");
    HostView view(host);
    int32_t ret = NetClient_VCASetConfig(view.loginfd(), VCA_CMD_TEMDETECT, ch, &tem_detect, tem_detect.size);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "NetClient_VCASetConfig VCA_CMD_TEMDETECT err!ret:%d,ch:%d,id:%s", ret, ch,
                     view.id());
    return 1;
}

int32_t get_tem_detect_param(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    int32_t ch = 0;
    auto tem_detect = sized_record<VCATemDetect>();
    if (!read_non_negative(jso, "channel", ch, "ch == -1") ||
        !read_non_negative(jso, "scene_id", tem_detect.scene_id) ||
        !read_non_negative(jso, "rule_id", tem_detect.rule_id) ||
        !read_non_negative(jso, "model_type", tem_detect.model_type))
        return 0;
    HostView view(host);
    const int32_t scene_id = tem_detect.scene_id, rule_id = tem_detect.rule_id;
    int32_t ret =
        NetClient_VCAGetConfig(view.loginfd(), VCA_CMD_TEMDETECT, ch, &tem_detect, record_len<VCATemDetect>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE,
                     "NetClient_VCAGetConfig VCA_CMD_TEMDETECT err!ret:%d,id:%s,ch:%d,scene_id:%d,rule_id:%d", ret,
                     view.id(), ch, scene_id, rule_id);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ch", ch);
    add_members(reply.get(), kTemDetectMembers, tem_detect);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
