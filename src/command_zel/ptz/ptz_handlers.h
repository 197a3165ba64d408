// Pan-tilt-zoom commands: moves to a position, bare channel commands, the
// dome's wait action, linkage to a single screen, scans and cruise
// templates.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// set 38: move to a position, keeping the coordinates given as -1.
int32_t absolute_coordinates(void *host, json_object *jso);
// set 39: a command without data to one channel.
int32_t send_channel_command(void *host, json_object *jso);
// set 41 / get 32: what the dome does after waiting.
int32_t set_dome_ptz(void *host, json_object *jso);
int32_t get_ptz_wait_act(void *host, json_object *jso, char **out_buf);
// set 75: a channel shown on one screen of a video output.
int32_t set_linkage_single_screen(void *host, json_object *jso);
// set 79: start, stop or drive a scan.
int32_t set_ptz_scan(void *host, json_object *jso);
// set 78: a cruise template and its stops.
int32_t set_cruise_template(void *host, json_object *jso);

}  // namespace zel
