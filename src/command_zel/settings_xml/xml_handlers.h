// Command handlers of the settings the device carries as XML documents:
// conference calls, analysis switches, audio mixing, court channel names,
// defogging schedules, and the face-track switch sent over HTTP-XML.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// Conference calls and the small court settings.
int32_t set_h323_param(void *host, json_object *jso);
int32_t get_call_state(void *host, json_object *jso, char **out_buf);
int32_t get_bestir_param(void *host, json_object *jso, char **out_buf);
int32_t set_xml_type_value(void *host, json_object *jso);
int32_t set_case_control(void *host, json_object *jso);

// Documents changed entry by entry (read, change, write back).
int32_t set_judge_analyse_param(void *host, json_object *jso);
int32_t set_zf_ch_info(void *host, json_object *jso);

// Audio mixing.
int32_t set_mix_audio_config(void *host, json_object *jso);
int32_t get_mix_audio_config(void *host, json_object *jso, char **out_buf);

// Defogging schedule.
int32_t set_defogging_configuration_parameters(void *host, json_object *jso);
int32_t get_defogging_configuration_parameters(void *host, json_object *jso, char **out_buf);

// Face-track switch of a scene.
int32_t set_face_track_enable(void *host, json_object *jso);
int32_t get_face_track_enable(void *host, json_object *jso, char **out_buf);

}  // namespace zel
