// Alarm input and output ports: set 36 writes an input port, get 29 reads
// one back, set 40 writes an output port. A negative or absent "channel"
// addresses every channel of the device.
#include "alarm/alarm_handlers.h"
#include "device_sdk_alarm.h"
#include "handler_support.h"
#include "host_view.h"

namespace zel {
namespace {

constexpr Opening kNoHostCode{.host_code = CMD_ZEL_ENOHOST};

// The input type whose parameter the device reads; other types get 0.
constexpr int32_t kTypeWithParameter = 2;

int32_t port_channel(json_object *jso) {
    int32_t channel = json_object_get_field_int(jso, "channel", -1);
    return channel < 0 ? kAllChannels : channel;
}

}  // namespace

int32_t set_alarm_in_port(void *host, json_object *jso) {
    if (!has_command(host, jso, kNoHostCode))
        return 0;
    auto port = sized_record<alarm_in_port_para>();
    port.channel = port_channel(jso);
    port.mode = json_object_get_field_int(jso, "mode", 0);
    port.type = json_object_get_field_int(jso, "type", 0);
    auto param = static_cast<float>(json_object_get_field_double(jso, "param", 0.0));
    if (port.type == kTypeWithParameter)
        port.param = param;
    port.inport = json_object_get_field_int(jso, "inport", 0);

    int32_t ret = NetClient_SetAlarmConfig(HostView(host).loginfd(), port.channel, ALARM_TYPE_PORT,
                                           CMD_ALARM_IN_PORT_PARA, &port);
    if (ret != 0)
        return ZREFUSE("NetClient_SetAlarmConfig cmd:CMD_ALARM_IN_PORT_PARA result:%d", ret);
    return 1;
}

int32_t get_alarm_in_port(void *host, json_object *jso, char **out_buf) {
    if (!has_host_and_reply(host, out_buf, kNoHostCode))
        return 0;
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso)");
    auto port = sized_record<alarm_in_port_para>();
    port.channel = port_channel(jso);
    port.inport = json_object_get_field_int(jso, "inport", 0);

    int32_t ret = NetClient_GetAlarmConfig(HostView(host).loginfd(), port.channel, ALARM_TYPE_PORT,
                                           CMD_ALARM_IN_PORT_PARA, &port);
    if (ret != 0)
        return ZREFUSE("NetClient_GetAlarmConfig cmd:CMD_ALARM_IN_PORT_PARA result:%d", ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", 0);
    add_int(reply.get(), "mode", port.mode);
    add_int(reply.get(), "type", port.type);
    add(reply.get(), "param", json_object_new_double(port.param));
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t set_alarm_out_port(void *host, json_object *jso) {
    if (!has_command(host, jso, kNoHostCode))
        return 0;
    auto port = sized_record<alarm_out_port_para>();
    port.iChannelNo = port_channel(jso);
    port.mode = json_object_get_field_int(jso, "mode", -1);
    port.iPortNo = json_object_get_field_int(jso, "outport", -1);
    port.pulse_width = json_object_get_field_int(jso, "pulsewidth", 0);

    ZLOG(kLogError, "portpara.iChannelNo: %d, iPortNo: %d, mode: %d", port.iChannelNo, port.iPortNo, port.mode);
    int32_t ret = NetClient_SetAlarmConfig(HostView(host).loginfd(), port.iChannelNo, ALARM_TYPE_PORT,
                                           CMD_ALARM_OUT_PORT_PARA, &port);
    if (ret != 0)
        return ZREFUSE("NetClient_SetAlarmConfig cmd:CMD_ALARM_OUT_PORT_PARA result:%d", ret);
    return 1;
}

}  // namespace zel
