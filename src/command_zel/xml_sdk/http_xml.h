// Settings exchanged as documents over the device's HTTP interface
// (NetClient_HttpXmlConfig): the face-track switch of a scene, written and
// read as XML through the face-track codec, and the testimony channel list
// of the court database, queried as JSON.
#pragma once

#include <cstdint>

#include "device_sdk_xml.h"

namespace zel {

// Writes the face-track URL of `param`'s scene on channel `ch` into the
// 1024-byte `http_url`. 0, or -1 for a null pointer.
int32_t face_track_enable_get_url(char *http_url, const face_track_param *param, int32_t device_no, int32_t ch);

// Sets the face-track switch of `param` on the device. 1 when the device
// accepted the request.
int32_t xml_to_set_face_track_enable(void *host, int32_t ch, const face_track_param *param);

// Reads the face-track switch of `param`'s scene into `enabled`. 1 or 0.
int32_t xml_to_get_face_track_enable(void *host, int32_t ch, const face_track_param *param, int32_t *enabled);

// Fills the platform's all-channels testimony record (`size` bytes) from the
// court database. 1 or 0.
int32_t get_all_testimony_channel_info(void *host, void *record, int32_t size);

}  // namespace zel
