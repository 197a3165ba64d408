/* Face-track XML codec: builds and reads the face-track document. */
#ifndef PLATFORM_FACE_TRACK_CODEC_H
#define PLATFORM_FACE_TRACK_CODEC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int32_t Encap_FaceTrackInfo(int32_t kind, char *out, int32_t out_cap, const char *dev_ip, const void *value,
                            int32_t value_len);
int32_t Analysis_FaceTrackInfo(int32_t kind, const char *reply, int32_t reply_len, void *result, int32_t result_len);

#ifdef __cplusplus
}
#endif

#endif
