// Alarm commands: alarm input and output ports, the water-level alarm,
// alarm-type and remote-control alarm switches, the water-speed switch and
// the alarms active on a channel.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// set 36 / get 29: an alarm input port.
int32_t set_alarm_in_port(void *host, json_object *jso);
int32_t get_alarm_in_port(void *host, json_object *jso, char **out_buf);
// set 40: an alarm output port.
int32_t set_alarm_out_port(void *host, json_object *jso);

// set 84 / get 80: the water-level alarm of a scene rule.
int32_t set_water_alarm_param(void *host, json_object *jso);
int32_t get_water_alarm_param(void *host, json_object *jso, char **out_buf);

// get 59: the alarms active on a channel.
int32_t get_cur_alarm_info(void *host, json_object *jso, char **out_buf);

// set 76: one alarm type of a channel on or off.
int32_t set_alarm_type_enable(void *host, json_object *jso);
// set 88: the remote-control alarm state.
int32_t set_remote_control_alarm(void *host, json_object *jso);
// set 25 / get 21: the water-speed function.
int32_t set_water_speed_enable(void *host, json_object *jso);
int32_t get_water_speed_enable(void *host, json_object *jso, char **out_buf);

}  // namespace zel
