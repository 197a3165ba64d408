/* Face-track XML codec: builds and reads the face-track document that sets
 * and reports the face-track switch of a scene.
 *
 * The document, UTF-8:
 *   <?xml version="1.0" encoding="UTF-8"?>
 *   <FaceTrack>
 *     <DeviceAddress>192.0.2.10</DeviceAddress>   the device's address text
 *     <Enabled>1</Enabled>                        the switch, a decimal integer
 *   </FaceTrack>
 *
 * Encap_FaceTrackInfo(kind, out, out_cap, dev_ip, value, value_len)
 *   writes the document for the 4-byte integer at `value` (value_len 4) and
 *   the address `dev_ip` into `out` as a NUL-terminated text of at most
 *   out_cap - 1 characters. Returns the text's length, or a negative value:
 *   -1 a null pointer, kind other than 0 or value_len other than 4; -2 the
 *   text does not fit out_cap.
 * Analysis_FaceTrackInfo(kind, reply, reply_len, result, result_len)
 *   reads a document of at most reply_len bytes (it ends earlier at a NUL
 *   byte) and stores the value of Enabled as a 4-byte integer at `result`
 *   (result_len 4). Returns 0, or a negative value: -1 a null pointer, a
 *   negative length, kind other than 0 or result_len other than 4; -2 the
 *   text is not XML; -3 the root is not FaceTrack or has no Enabled;
 *   -4 Enabled is not a decimal 32-bit integer. Nothing is stored on failure.
 * kind is always 0. Both functions leave errno unchanged. */
#ifndef PLATFORM_FACE_TRACK_CODEC_H
#define PLATFORM_FACE_TRACK_CODEC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Element names of the document; a device answering face-track reads speaks
 * the same vocabulary. */
#define FACE_TRACK_XML_ROOT "FaceTrack"
#define FACE_TRACK_XML_ADDRESS "DeviceAddress"
#define FACE_TRACK_XML_ENABLED "Enabled"

int32_t Encap_FaceTrackInfo(int32_t kind, char *out, int32_t out_cap, const char *dev_ip, const void *value,
                            int32_t value_len);
int32_t Analysis_FaceTrackInfo(int32_t kind, const char *reply, int32_t reply_len, void *result, int32_t result_len);

#ifdef __cplusplus
}
#endif

#endif
