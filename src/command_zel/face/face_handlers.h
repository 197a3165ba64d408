// Face library, face record and face-alarm commands.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// set 0: face-alarm parameters of one channel.
int32_t set_face_alarm_param(void *host, json_object *jso, char **out_buf);
// set 1: add or change one face record.
int32_t set_face_info(void *host, json_object *jso, char **out_buf);
// set 2: create or change a face library.
int32_t set_face_lib(void *host, json_object *jso, char **out_buf);
// set 3: assign a face library to channels.
int32_t set_face_lib_sync(void *host, json_object *jso);
// set 4: delete one face record.
int32_t face_set_del_face_pic(void *host, json_object *jso);
// set 5: delete a face library.
int32_t face_set_del_face_lib(void *host, json_object *jso, char **out_buf);
// set 23 / set 24: face change or delete with the channel's analysis suspended.
int32_t set_face_info_ex(void *host, json_object *jso, char **out_buf);
int32_t del_face_pic_ex(void *host, json_object *jso);

// get 3: face-alarm parameters.
int32_t get_face_alarm_param(void *host, json_object *jso, char **out_buf);
// get 6: synchronisation state of a library on the channels.
int32_t get_face_lib_sync_status(void *host, json_object *jso, char **out_buf);
// get 19: face counts of a channel's libraries.
int32_t get_face_lib_count(void *host, json_object *jso, char **out_buf);
// get 20: features of one stored face, Base64-coded.
int32_t get_face_feature(void *host, json_object *jso, char **out_buf);

// Builds a face record from `jso` and sends it; the device's result (0) goes
// to *result. 1 on success.
int32_t face_edit_info(void *host, json_object *jso, int32_t *result);
// Switches the video analysis of channel `ch` off (0) or on (1); switching
// off waits for the device's answer. 1 on success.
int32_t set_host_vca_enable(void *host, int32_t ch, int32_t enable);

}  // namespace zel
