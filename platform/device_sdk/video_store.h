/* The picture settings of one simulated device. Behind each channel is a
 * camera with a main and a sub stream (0 and 1); each stream offers its own
 * picture sizes (largest first) and a highest frame rate, and keeps the size
 * code, frame rate and byte rate last set, starting from its largest size
 * and usual rates. A value a stream does not offer is refused, as a device
 * refuses it, and the stream keeps what it had. */
#ifndef PLATFORM_DEVICE_SDK_VIDEO_STORE_H
#define PLATFORM_DEVICE_SDK_VIDEO_STORE_H

#include "sim_engine.h"

#include <map>
#include <optional>
#include <string_view>
#include <utility>

namespace device_sdk_sim {

class VideoStore {
  public:
    /* The answer to a picture request on a device of `kind` with `channels`
     * channels, or nothing when the request is not a picture request. */
    std::optional<Answer> answer(const Call &call, std::string_view function, int32_t channels, int32_t kind);

  private:
    struct Stream {
        int32_t size_code;
        int32_t frame_rate;
        int32_t kbyte_rate;
    };
    /* The settings of a stream, made from `initial` on first use. */
    Stream &stream(int32_t ch, int32_t stream_no, const Stream &initial);

    std::map<std::pair<int32_t, int32_t>, Stream> streams_; /* by channel and stream */
};

}  // namespace device_sdk_sim

#endif
