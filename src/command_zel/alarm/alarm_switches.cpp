// Alarm switches: one alarm type of a channel (set 76), the remote-control
// alarm state (set 88) and the water-speed function (set 25, get 21).
#include "alarm/alarm_handlers.h"
#include "device_sdk_alarm.h"
#include "handler_support.h"
#include "host_view.h"

namespace zel {
namespace {

constexpr Opening kWithHostId{.host_id = ", host_id:%s"};

}  // namespace

int32_t set_alarm_type_enable(void *host, json_object *jso) {
    if (!has_command(host, jso, kWithHostId))
        return 0;
    auto request = sized_record<alarm_type_enable_request>();
    if (!read_non_negative(jso, "enable", request.enable, {"enable < 0", kKeepErrno}) ||
        !read_non_negative(jso, "alarm_type", request.alarm_type, {"alarm_type < 0", kKeepErrno}) ||
        !read_device_channel(jso, request.channel, {"ch < -1", kKeepErrno}))
        return 0;

    HostView dev(host);
    alarm_type_enable_reply answer{};
    int32_t ret =
        NetClient_CmdConfig(dev.loginfd(), CMD_ALARM_TYPE_ENABLE, request.channel, &request,
                            record_len<alarm_type_enable_request>(), &answer, record_len<alarm_type_enable_reply>());
    if (ret != 0 || answer.iRes != 0)
        return ZREFUSE("NetClient_CmdConfig failed, host_id: %s, ch:%d, ret_value: %d, out_info.iRes:%d, err_code: %lx",
                       dev.id(), request.channel, ret, answer.iRes, sdk_error());
    return 1;
}

int32_t set_remote_control_alarm(void *host, json_object *jso) {
    if (host == nullptr || jso == nullptr)
        return ZREFUSE("set_remote_control_alarm host == NULL || jso == NULL");
    remote_control_alarm request{};
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZREFUSE("set_remote_control_alarm ch:%d < 0", ch);
    request.alarm_state = json_object_get_field_int(jso, "alarm_state", -1);
    if (request.alarm_state < 0)
        return ZREFUSE("set_remote_control_alarm alarm_state:%d < 0", request.alarm_state);
    json_object *params = json_object_object_get(jso, "reserved_params");
    if (params == nullptr)
        return ZREFUSE("set_remote_control_alarm is_error(reserved_params)");
    request.param1 = json_object_get_field_int(params, "param1", 0);
    request.param2 = json_object_get_field_int(params, "param2", 0);
    request.param3 = json_object_get_field_int(params, "param3", 0);
    read_optional_text(params, "param4", request.param4);
    read_optional_text(params, "param5", request.param5);
    read_optional_text(params, "param6", request.param6);

    HostView dev(host);
    // A device that answers nothing has nothing to object to.
    int32_t result = 0;
    int32_t ret = NetClient_CmdConfig(dev.loginfd(), CMD_REMOTE_CONTROL_ALARM, ch, &request,
                                      record_len<remote_control_alarm>(), &result, sizeof result);
    if (ret != 0 || result != 0)
        return ZREFUSE("NetClient_CmdConfig faild, i_ret:%d < 0, host_id: %s, ch: %d, err_code: %lx",
                       ret != 0 ? ret : result, dev.id(), ch, sdk_error());
    return 1;
}

int32_t set_water_speed_enable(void *host, json_object *jso) {
    if (!has_host(host))
        return 0;
    HostView dev(host);
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_param), host_id:%s", dev.id());
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1, host_id:%s", dev.id());
    int32_t enable = json_object_get_field_int(jso, "enable", -1);
    if (enable < 0 || enable > 2)
        return ZFAIL(CMD_ZEL_EINVAL, "enable < 0 || enable > 2, host_id:%s, ch:%d", dev.id(), ch);

    int32_t ret = NetClient_SetCommonEnable(dev.loginfd(), CI_COMMON_ID_WATER_SPEED_ENABLE, ch, enable);
    if (ret != 0)
        return ZREFUSE("NetClient_SetCommonEnable--CI_COMMON_ID_WATER_SPEED_ENABLE failed, ret:%d, host_id:%s, ch:%d, "
                       "enable:%d",
                       ret, dev.id(), ch, enable);
    return 1;
}

int32_t get_water_speed_enable(void *host, json_object *jso, char **out_buf) {
    if (!has_host_and_reply(host, out_buf, kWithHostId))
        return 0;
    HostView dev(host);
    int32_t ret = -1;
    int32_t enable = -1;
    int32_t ch = -1;
    // The switch is the device's: "ch" is checked and logged, never sent.
    if (jso == nullptr)
        ZFAIL(CMD_ZEL_EINVAL, "is_error(jso), host_id:%s", dev.id());
    else if ((ch = json_object_get_field_int(jso, "ch", -1)) < 0)
        ZFAIL(CMD_ZEL_EINVAL, "ch == -1");
    else if (NetClient_GetCommonEnable(dev.loginfd(), CI_COMMON_ID_WATER_SPEED_ENABLE, kAllChannels, &enable) != 0)
        ZLOG(kLogError, "NetClient_GetCommonEnable--CI_COMMON_ID_WATER_SPEED_ENABLE failed, host_id:%s, ch:%d",
             dev.id(), ch);
    else
        ret = 0;

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", ret);
    add_int(reply.get(), "enable", enable);
    if (json_object_to_json_string(reply.get()) == nullptr)
        return ZREFUSE("buf_ret == NULL, host_id:%s, ch:%d", dev.id(), ch);
    return reply_document(out_buf, reply.get()) && ret == 0 ? 1 : 0;
}

}  // namespace zel
