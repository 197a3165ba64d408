// Command handlers that change the password of the device's login account:
// in clear text (set 13) or encrypted with the platform's key (set 90).
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

int32_t modify_password(void *host, json_object *jso, char **out_buf);
int32_t set_param_frame_decrypted_password(void *host, json_object *jso, char **out_buf);

}  // namespace zel
