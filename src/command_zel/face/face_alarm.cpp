// Face-alarm parameters of a channel: set 0 writes them, get 3 reads them.
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "face/face_handlers.h"
#include "face/face_records.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"

namespace zel {

using namespace face_data;

namespace {

// The members of set 0, read and checked in the order the device record
// needs them.
struct AlarmParamInput {
    int32_t ch = -1;
    int32_t alarm_type = -1;
    int32_t param1 = -1;
    int32_t param2 = -1;
    int32_t param3 = -1;
    int32_t similar = -1;
    int32_t devtype = -1;
    int32_t recognition = -1;
    const char *libuuid = nullptr;
    int32_t enable = -1;
    int32_t libenable = -1;
    int32_t freqgroup = -1;
    const char *freqchannellist = nullptr;
    const char *libuuid_stranger = nullptr;
};

// A required integer member: absent or unusable (-1) is refused.
bool required_int(json_object *jso, const char *key, int32_t &value) {
    value = json_object_get_field_int(jso, key, -1);
    if (value != -1)
        return true;
    ZFAIL(CMD_ZEL_EINVAL, "%s == -1", key);
    return false;
}

// The first refused member is logged and fails the command.
int32_t read_alarm_param(json_object *jso, AlarmParamInput &in) {
    in.ch = json_object_get_field_int(jso, "ch", -1);
    if (in.ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1");
    if (!required_int(jso, "alarm_type", in.alarm_type) || !required_int(jso, "param1", in.param1))
        return 0;
    in.param2 = json_object_get_field_int(jso, "param2", -1);
    in.param3 = json_object_get_field_int(jso, "param3", -1);
    if (!required_int(jso, "similar", in.similar) || !required_int(jso, "devtype", in.devtype) ||
        !required_int(jso, "recognition", in.recognition))
        return 0;
    in.libuuid = json_object_get_field_string(jso, "libuuid");
    if (in.libuuid == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "libuuid == NULL");
    if (!required_int(jso, "enable", in.enable) || !required_int(jso, "libenable", in.libenable))
        return 0;
    in.freqgroup = json_object_get_field_int(jso, "freqgroup", -1);
    in.freqchannellist = json_object_get_field_string(jso, "freqchannellist");
    in.libuuid_stranger = json_object_get_field_string(jso, "libuuid_stranger");
    return 1;
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
    auto ability = sized_record<face_func_ability>();
    ability.iMainFuncType = kAbilityMainStranger;
    ability.iSubFuncType = kAbilitySubStranger;
    int32_t bytes_returned = -1;
    int32_t ret = NetClient_GetDevConfig(dev.loginfd(), NET_CLIENT_GET_FUNC_ABILITY, kAllChannels, &ability,
                                         record_len<face_func_ability>(), &bytes_returned);
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

face_alarm_param alarm_param_record(const AlarmParamInput &in) {
    auto rec = sized_record<face_alarm_param>();
    rec.channel = in.ch;
    rec.alarm_type = in.alarm_type;
    rec.param1 = in.param1;
    if (in.param2 != -1)
        rec.param2 = in.param2;
    if (in.param3 != -1)
        rec.param3 = in.param3;
    rec.recognition = in.recognition;
    rec.similar = in.similar;
    rec.devtype = in.devtype;
    rec.enable = in.enable;
    copy_text(rec.libuuid, in.libuuid);
    rec.libenable = in.libenable;
    if (in.freqgroup > 0)
        rec.freqgroup = in.freqgroup;
    copy_text(rec.freqchannellist, in.freqchannellist);
    return rec;
}

// After validation, set 0 answers only a failure, with the error code.
int32_t fail_with_code_reply(char **out_buf) {
    reply_ret(out_buf, errno);
    return 0;
}

}  // namespace

int32_t set_face_alarm_param(void *host, json_object *jso, char **out_buf) {
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_ENOHOST, "host == NULL");
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso)");
    if (out_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "out_buf == NULL");
    AlarmParamInput in;
    if (read_alarm_param(jso, in) == 0)
        return 0;

    HostView dev(host);
    bool stranger = in.libuuid_stranger != nullptr && in.libuuid_stranger[0] != '\0';
    if (stranger && device_has_stranger_library(dev) == 0)
        return fail_with_code_reply(out_buf);
    face_alarm_param rec = alarm_param_record(in);
    if (stranger)
        copy_text(rec.libuuid_stranger, in.libuuid_stranger);

    int32_t ret = NetClient_SetAlarmConfig(dev.loginfd(), in.ch, in.alarm_type, kAlarmCmdFaceParam, &rec);
    if (ret < 0) {
        ZFAIL(CMD_ZEL_EDEVICE, "NetClient_SetAlarmConfig ret:%d < 0  loginfd:%d  alarm_type:%d  cmd:%d", ret,
              dev.loginfd(), in.alarm_type, kAlarmCmdFaceParam);
        return fail_with_code_reply(out_buf);
    }
    return 1;
}

namespace {

// The alarm parameters the device answered, up to its first empty record.
void add_alarm_info(json_object *reply, const face_alarm_param *params) {
    JsonPtr list = new_array("is_error(jso_param)");
    for (int32_t i = 0; i < kAlarmParamEntries && params[i].size >= 1; ++i) {
        const face_alarm_param &p = params[i];
        JsonPtr info = new_object("is_error(jso_param_info)");
        const char *what = "is_error(jso_param_info)";
        add(info.get(), "recognition", json_object_new_int(p.recognition), what);
        add(info.get(), "similar", json_object_new_int(p.similar), what);
        add(info.get(), "devtype", json_object_new_int(p.devtype), what);
        add(info.get(), "enable", json_object_new_int(p.enable), what);
        add(info.get(), "libenable", json_object_new_int(p.libenable), what);
        add(info.get(), "param2", json_object_new_int(p.param2), what);
        add(info.get(), "param3", json_object_new_int(p.param3), what);
        add(info.get(), "libuuid", field_string(p.libuuid), what);
        add(info.get(), "freqgroup", json_object_new_int(p.freqgroup), what);
        add(info.get(), "freqchannellist", field_string(p.freqchannellist), what);
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
    int32_t alarm_type = -1;
    int32_t param1 = -1;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0) {
        ZFAIL(CMD_ZEL_EINVAL, "ch == -1");
    } else if (required_int(jso, "alarm_type", alarm_type) && required_int(jso, "param1", param1)) {
        auto query = sized_record<face_alarm_param_query>();
        query.param1 = param1;
        auto params = zeroed_records<face_alarm_param>(kAlarmParamEntries, "alarm_param == NULL");
        ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_ALARM_PARAM, ch, &query,
                                   record_len<face_alarm_param_query>(), params.get(), record_len<face_alarm_param>());
        if (ret != 0)
            ZFAIL(CMD_ZEL_EDEVICE, "NetClient_FaceConfig FACE_CMD_ALARM_PARAM err!ret:%d", ret);
        else
            add_alarm_info(reply.get(), params.get());
    }
    add(reply.get(), "ret", json_object_new_int(ret));
    add(reply.get(), "ch", json_object_new_int(ch));
    add(reply.get(), "alarm_type", json_object_new_int(alarm_type));
    add(reply.get(), "param1", json_object_new_int(param1));
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret >= 0 ? 1 : 0;
}

}  // namespace zel
