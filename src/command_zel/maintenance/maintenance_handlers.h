// Maintenance commands: firmware upgrade (set 29) and its progress (get 22),
// configuration export (get 23).
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

int32_t upgrade_device(void *host, json_object *jso);
int32_t get_upgrade_percent(void *host, char **out_buf);
int32_t get_export_config(void *host, json_object *jso, char **out_buf);

}  // namespace zel
