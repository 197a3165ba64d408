// Command handlers of the picture family: sharpness, frame rate, picture
// size and byte rate of a channel's streams, the sizes a stream supports,
// and the picture combination of a video output.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// Sharpness, frame rate, pixel size and output combination.
int32_t set_sharpness(void *host, json_object *jso);
int32_t set_frame_rate(void *host, json_object *jso);
int32_t get_frame_rate(void *host, json_object *jso, char **out_buf);
int32_t get_video_size(void *host, json_object *jso, char **out_buf);
int32_t set_video_combine(void *host, json_object *jso);

// Size code and byte rate of a stream, and its supported sizes.
int32_t set_current_video_param(void *host, json_object *jso);
int32_t get_video_rate_size(void *host, json_object *jso, char **out_buf);
int32_t get_current_video_param(void *host, json_object *jso, char **out_buf);
int32_t get_support_video_param_info(void *host, json_object *jso, char **out_buf);

// Size code conversions (video_sizes.h), each logging what it converted.
// The definition of a device code, with its pixel size in the outputs that
// are given: -1 and 0 x 0 for a code the table does not know.
int32_t convert_video_size_definition(int32_t code, int32_t *width, int32_t *height);
// The device code of a definition, or -1.
int32_t convert_definition_video_size(int32_t definition);

}  // namespace zel
