// Command handlers of the video-analysis family: analysis rules and
// switches, scene calibration, detection algorithm settings.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// Analysis rules and switches.
int32_t set_vca_pept_rule(void *host, json_object *jso, char **out_buf);
int32_t get_vca_pept_rule(void *host, json_object *jso, char **out_buf);
int32_t set_vca_pept_enable(void *host, json_object *jso, char **out_buf);
int32_t get_vca_pept_enable(void *host, json_object *jso, char **out_buf);
int32_t set_vca_push_rule_167(void *host, json_object *jso);
int32_t set_vca_push_rule_168(void *host, json_object *jso);
int32_t set_vca_zone_rule_173(void *host, json_object *jso);
int32_t set_vca_zone_rule_174(void *host, json_object *jso);
int32_t set_vca_typed_rule_182(void *host, json_object *jso);
int32_t clear_vca_alarm_statistic(void *host, json_object *jso);
int32_t set_cpc_advance_part2(void *host, json_object *jso);
int32_t get_cpc_advance_part2(void *host, json_object *jso, char **out_buf);
int32_t set_face_mosaic(void *host, json_object *jso);
int32_t set_new_fight(void *host, json_object *jso);
int32_t set_algorithm_enable(void *host, json_object *jso);
int32_t set_vca_dev_enable(void *host, json_object *jso, char **out_buf);

// Scene calibration and reference boundary.
int32_t set_calibration_reference(void *host, json_object *jso);
int32_t get_calibration_reference(void *host, json_object *jso, char **out_buf);
int32_t set_ref_boundary(void *host, json_object *jso);
int32_t get_ref_boundary(void *host, json_object *jso, char **out_buf);

// Detection algorithm settings.
int32_t set_face_detect_arithmetic(void *host, json_object *jso);
int32_t set_face_detect_enable(void *host, json_object *jso);
int32_t get_face_detect_enable(void *host, json_object *jso, char **out_buf);
int32_t set_call_anyscene(void *host, json_object *jso);
int32_t set_fireworks_param(void *host, json_object *jso);
int32_t get_fireworks_param(void *host, json_object *jso, char **out_buf);
int32_t set_tem_detect_param(void *host, json_object *jso);
int32_t get_tem_detect_param(void *host, json_object *jso, char **out_buf);
int32_t set_person_statistic_param(void *host, json_object *jso);
int32_t get_person_statistic_param(void *host, json_object *jso, char **out_buf);

}  // namespace zel
