#include "video_store.h"

#include "device_sdk_video.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <span>
#include <vector>

namespace device_sdk_sim {
namespace {

/* Last errors of refused picture requests. */
constexpr int32_t kErrNoSuchStream = 0x3001; /* a channel or stream the device does not have */
constexpr int32_t kErrUnsupported = 0x3002;  /* a value the stream or the device does not offer */

struct Size {
    int32_t code;
    int32_t width;
    int32_t height;
};

/* The cameras behind the channels: channel n has camera n % 3. */
constexpr Size kUltraHdMain[] = {{0x800, 3840, 2160}, {0x210, 2560, 1440}, {12, 1920, 1080}, {9, 1280, 720}};
constexpr Size kUltraHdSub[] = {{4, 704, 576}, {7, 640, 480}, {2, 352, 288}};
constexpr Size kFiveMegapixelMain[] = {{0x410, 2592, 1944}, {0x400, 2560, 1920}, {0x230, 1920, 1200}, {12, 1920, 1080}};
constexpr Size kFiveMegapixelSub[] = {{4, 704, 576}, {2, 352, 288}, {0, 176, 144}};
/* A panoramic camera: a square picture, and a wide one whose code carries
 * its size (bit 30, the width in bits 0..14, the height from bit 15). */
constexpr Size kPanoramicMain[] = {{0x250, 2048, 2048}, {0x43600C00, 3072, 1728}, {12, 1920, 1080}};
constexpr Size kPanoramicSub[] = {{0x200, 960, 576}, {4, 704, 576}};

constexpr int32_t kStreams = 2;

struct Camera {
    std::span<const Size> sizes[kStreams];
    int32_t max_frame_rate[kStreams];
};
constexpr Camera kCameras[] = {
    {{kUltraHdMain, kUltraHdSub}, {30, 25}},
    {{kFiveMegapixelMain, kFiveMegapixelSub}, {25, 25}},
    {{kPanoramicMain, kPanoramicSub}, {25, 15}},
};

/* Rates a stream starts with, and the byte rates (KB/s) it accepts. */
constexpr int32_t kUsualFrameRate[kStreams] = {25, 15};
constexpr int32_t kUsualKByteRate[kStreams] = {4096, 512};
constexpr int32_t kMinKByteRate = 32;
constexpr int32_t kMaxKByteRate = 16384;

/* A recorder's video outputs and the picture counts it can combine on one. */
constexpr int32_t kVideoOutputs = 2;
constexpr int32_t kCombinedPictures[] = {1, 4, 6, 8, 9, 16};

/* The requests that name a channel; the stream is the last scalar argument. */
constexpr std::string_view kChannelRequests[] = {
    "NetClient_SetHDTimeRangeParam", "NetClient_SetFrameRate",    "NetClient_GetFrameRate",
    "NetClient_GetVideoSize",        "NetClient_SetVideoSize",    "NetClient_GetVideoSizeEx",
    "NetClient_SetMaxKByteRate",     "NetClient_GetMaxKByteRate", "NetClient_GetVideoSzList",
};

Answer refused(int32_t error) { return Answer{-1, error, {}}; }

Answer ints(const std::vector<int32_t> &values) {
    std::vector<uint8_t> bytes(values.size() * sizeof(int32_t));
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return Answer{0, std::nullopt, std::move(bytes)};
}

/* Keeps `value` in `field` when the stream offers it. */
Answer keep(int32_t &field, int32_t value, bool offered) {
    if (!offered)
        return refused(kErrUnsupported);
    field = value;
    return Answer{};
}

const Size *find_size(std::span<const Size> sizes, int32_t code) {
    auto it = std::ranges::find(sizes, code, &Size::code);
    return it == sizes.end() ? nullptr : &*it;
}

/* A combination is shown on an output at once; nothing reads it back. */
Answer combine(const Call &call, int32_t kind) {
    VideoCombine rec{};
    if (kind != SDK_SIM_RECORDER || call.in == nullptr || call.in_len != static_cast<int64_t>(sizeof rec))
        return refused(kErrUnsupported);
    std::memcpy(&rec, call.in, sizeof rec);
    bool valid = rec.size == static_cast<int32_t>(sizeof rec) &&
                 std::ranges::count(kCombinedPictures, rec.pic_num) > 0 && rec.vo_dev_id >= 0 &&
                 rec.vo_dev_id < kVideoOutputs;
    return valid ? Answer{} : refused(kErrUnsupported);
}

}  // namespace

VideoStore::Stream &VideoStore::stream(int32_t ch, int32_t stream_no, const Stream &initial) {
    return streams_.try_emplace({ch, stream_no}, initial).first->second;
}

std::optional<Answer> VideoStore::answer(const Call &call, std::string_view function, int32_t channels, int32_t kind) {
    if (function == "NetClient_SetVideoCombine")
        return combine(call, kind);
    if (std::ranges::count(kChannelRequests, function) == 0)
        return std::nullopt;
    if (call.ch < 0 || call.ch >= channels)
        return refused(kErrNoSuchStream);
    if (function == "NetClient_SetHDTimeRangeParam") {
        int32_t index = call.args[0];
        bool valid =
            index >= 0 && index < HD_TIME_RANGE_COUNT && call.args[1] == static_cast<int32_t>(sizeof(HDTimeRangeParam));
        return valid ? Answer{} : refused(kErrUnsupported);
    }

    bool sets = function.starts_with("NetClient_Set");
    int32_t stream_no = call.args[sets ? 1 : 0];
    if (stream_no < 0 || stream_no >= kStreams)
        return refused(kErrNoSuchStream);
    const Camera &camera = kCameras[static_cast<size_t>(call.ch) % std::size(kCameras)];
    std::span<const Size> sizes = camera.sizes[stream_no];
    int32_t max_rate = camera.max_frame_rate[stream_no];
    Stream &s =
        stream(call.ch, stream_no,
               {sizes.front().code, std::min(kUsualFrameRate[stream_no], max_rate), kUsualKByteRate[stream_no]});

    int32_t value = call.args[0];
    if (function == "NetClient_SetVideoSize")
        return keep(s.size_code, value, find_size(sizes, value) != nullptr);
    if (function == "NetClient_SetFrameRate")
        return keep(s.frame_rate, value, value >= 1 && value <= max_rate);
    if (function == "NetClient_SetMaxKByteRate")
        return keep(s.kbyte_rate, value, value >= kMinKByteRate && value <= kMaxKByteRate);
    if (function == "NetClient_GetVideoSizeEx")
        return ints({s.size_code});
    if (function == "NetClient_GetVideoSize") {
        const Size *size = find_size(sizes, s.size_code);
        return ints({size->width, size->height});
    }
    if (function == "NetClient_GetFrameRate")
        return ints({s.frame_rate});
    if (function == "NetClient_GetMaxKByteRate")
        return ints({s.kbyte_rate});
    /* NetClient_GetVideoSzList: the number of sizes, then their codes. */
    std::vector<int32_t> list{static_cast<int32_t>(sizes.size())};
    for (const Size &size : sizes)
        list.push_back(size.code);
    return ints(list);
}

}  // namespace device_sdk_sim
