/* The platform JSON library: member accessors over json-c objects. */
#ifndef PLATFORM_JSON_ACCESSORS_H
#define PLATFORM_JSON_ACCESSORS_H

#include <json-c/json.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int32_t json_object_get_field_int(struct json_object *obj, const char *key, int32_t def);
int64_t json_object_get_field_int64(struct json_object *obj, const char *key, int64_t def);
double json_object_get_field_double(struct json_object *obj, const char *key, double def);
const char *json_object_get_field_string(struct json_object *obj, const char *key);
struct json_object *json_object_from_file_ex(const char *path);

#ifdef __cplusplus
}
#endif

#endif
