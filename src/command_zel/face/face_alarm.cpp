// Face-alarm parameters of a channel: set 0 writes them, get 3 reads them.
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "face/face_handlers.h"
#include "face/face_support.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"

namespace zel {
namespace {

// Reads the members of set 0 into the device record, in the order they are
// checked; the first refused one is logged and fails the command.
bool read_alarm_param(json_object *jso, face_alarm_param &rec) {
    if (!read_non_negative(jso, "ch", rec.channel, {"ch == -1"}) || !read_required(jso, "alarm_type", rec.alarm_type) ||
        !read_required(jso, "param1", rec.param1))
        return false;
    read_optional(jso, "param2", rec.param2);
    read_optional(jso, "param3", rec.param3);
    if (!read_required(jso, "similar", rec.similar) || !read_required(jso, "devtype", rec.devtype) ||
        !read_required(jso, "recognition", rec.recognition))
        return false;
    const char *libuuid = nullptr;
    if (!read_text(jso, "libuuid", libuuid) || !read_required(jso, "enable", rec.enable) ||
        !read_required(jso, "libenable", rec.libenable))
        return false;
    copy_text(rec.libuuid, libuuid);
    // A frequency group is sent only when positive.
    if (int32_t freqgroup = json_object_get_field_int(jso, "freqgroup", -1); freqgroup > 0)
        rec.freqgroup = freqgroup;
    copy_text(rec.freqchannellist, json_object_get_field_string(jso, "freqchannellist"));
    return true;
}

// The ability answer as a number: leading decimal digits, clamped to i32.
int32_t ability_number(const char *text) {
    long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Asks whether the device keeps a stranger library. 1 when it does; else the
// failure is logged and errno set.
int32_t device_has_stranger_library(const HostView &dev) {
    auto ability = sized_record<FuncAbility>();
    ability.iMainFuncType = FACE_ABILITY_MAIN_STRANGER;
    ability.iSubFuncType = FACE_ABILITY_SUB_STRANGER;
    int32_t bytes_returned = -1;
    int32_t ret = NetClient_GetDevConfig(dev.loginfd(), NET_CLIENT_GET_FUNC_ABILITY, kAllChannels, &ability,
                                         record_len<FuncAbility>(), &bytes_returned);
    // The device may fill the whole text field.
    ability.cParam[sizeof ability.cParam - 1] = '\0';
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "!NetClient_GetDevConfig err:%d, strlen(ability_info.cParam):%zu", ret,
                     std::strlen(ability.cParam));
    int32_t supported = ability_number(ability.cParam);
    if (supported != 1)
        return ZFAIL(CMD_ZEL_ENOTSUPPORTED, "host not support! %d != 0 || %d != 1, host_id:%s, host_ip:%s", ret,
                     supported, dev.id(), dev.ip());
    return 1;
}

// After validation, set 0 answers only a failure, with the error code.
int32_t fail_with_code_reply(char **out_buf) {
    reply_ret(out_buf, errno);
    return 0;
}

}  // namespace

int32_t set_face_alarm_param(void *host, json_object *jso, char **out_buf) {
    auto rec = sized_record<face_alarm_param>();
    if (!has_command_and_reply(host, jso, out_buf, {.host_code = CMD_ZEL_ENOHOST}) || !read_alarm_param(jso, rec))
        return 0;
    HostView dev(host);
    const char *stranger = json_object_get_field_string(jso, "libuuid_stranger");
    if (stranger != nullptr && stranger[0] != '\0') {
        if (device_has_stranger_library(dev) == 0)
            return fail_with_code_reply(out_buf);
        copy_text(rec.libuuid_stranger, stranger);
    }
    int32_t ret =
        NetClient_SetAlarmConfig(dev.loginfd(), rec.channel, rec.alarm_type, NET_CLIENT_FACE_ALARM_PARAM, &rec);
    if (ret < 0) {
        ZFAIL(CMD_ZEL_EDEVICE, "NetClient_SetAlarmConfig ret:%d < 0  loginfd:%d  alarm_type:%d  cmd:%d", ret,
              dev.loginfd(), rec.alarm_type, NET_CLIENT_FACE_ALARM_PARAM);
        return fail_with_code_reply(out_buf);
    }
    return 1;
}

namespace {

constexpr IntMember<face_alarm_param> kAlarmInfo[] = {
    {"recognition", &face_alarm_param::recognition}, {"similar", &face_alarm_param::similar},
    {"devtype", &face_alarm_param::devtype},         {"enable", &face_alarm_param::enable},
    {"libenable", &face_alarm_param::libenable},     {"param2", &face_alarm_param::param2},
    {"param3", &face_alarm_param::param3},
};

// The alarm parameters the device answered, up to its first empty record.
void add_alarm_info(json_object *reply, const face_alarm_param *params) {
    const char *what = "is_error(jso_param_info)";
    JsonPtr list = new_array("is_error(jso_param)");
    for (int32_t i = 0; i < FACE_ALARM_PARAM_ENTRIES && params[i].size >= 1; ++i) {
        JsonPtr info = new_object(what);
        add_members<face_alarm_param>(info.get(), kAlarmInfo, params[i], what);
        add_text(info.get(), "libuuid", params[i].libuuid, what);
        add_int(info.get(), "freqgroup", params[i].freqgroup, what);
        add_text(info.get(), "freqchannellist", params[i].freqchannellist, what);
        append(list.get(), info.release());
    }
    add(reply, "alarm_info", list.release());
}

}  // namespace

int32_t get_face_alarm_param(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t ret = -1;
    // Members not read because an earlier one was refused answer -1.
    int32_t ch = -1;
    int32_t alarm_type = -1;
    int32_t param1 = -1;
    if (read_non_negative(jso, "ch", ch, {"ch == -1"}) && read_required(jso, "alarm_type", alarm_type) &&
        read_required(jso, "param1", param1)) {
        auto query = sized_record<face_alarm_param_query>();
        query.param1 = param1;
        auto params = zeroed_records<face_alarm_param>(FACE_ALARM_PARAM_ENTRIES, "alarm_param == NULL");
        ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_ALARM_PARAM, ch, &query,
                                   record_len<face_alarm_param_query>(), params.get(), record_len<face_alarm_param>());
        if (ret != 0)
            ZFAIL(CMD_ZEL_EDEVICE, "NetClient_FaceConfig FACE_CMD_ALARM_PARAM err!ret:%d", ret);
        else
            add_alarm_info(reply.get(), params.get());
    }
    add_int(reply.get(), "ret", ret);
    add_int(reply.get(), "ch", ch);
    add_int(reply.get(), "alarm_type", alarm_type);
    add_int(reply.get(), "param1", param1);
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret >= 0 ? 1 : 0;
}

}  // namespace zel
