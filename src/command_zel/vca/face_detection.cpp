// Face-detection algorithm settings: the full-frame detection set-up and
// the detection switch.
#include <array>

#include "handler_support.h"
#include "host_view.h"
#include "vca_handlers.h"
#include "vca_support.h"

namespace zel {
namespace {

// Required members, in the order they are read: a negative one stops the
// parser, which sets no error code.
constexpr std::array<IntMember<FaceDetectArithmetic>, 10> kLeadingMembers{{
    {"scene_id", &FaceDetectArithmetic::scene_id, "scene_id < 0"},
    {"max_size", &FaceDetectArithmetic::max_size, "max_size < 0"},
    {"min_size", &FaceDetectArithmetic::min_size, "min_size < 0"},
    {"level", &FaceDetectArithmetic::level, "level < 0"},
    {"sensitiv", &FaceDetectArithmetic::sensitiv, "sensitiv < 0"},
    {"pic_scale", &FaceDetectArithmetic::pic_scale, "pic_scale < 0"},
    {"snap_enable", &FaceDetectArithmetic::snap_enable, "snap_enable < 0"},
    {"snap_space", &FaceDetectArithmetic::snap_space, "snap_space < 0"},
    {"snap_times", &FaceDetectArithmetic::snap_times, "snap_times < 0"},
    {"point_num", &FaceDetectArithmetic::point_num, "point_num < 0"},
}};
constexpr std::array<IntMember<FaceDetectArithmetic>, 10> kTrailingMembers{{
    {"display_target", &FaceDetectArithmetic::display_target, "display_target < 0"},
    {"exposure_bright", &FaceDetectArithmetic::exposure_bright, "exposure_bright < 0"},
    {"display_rule", &FaceDetectArithmetic::display_rule, "display_rule < 0"},
    {"min_sizeex", &FaceDetectArithmetic::min_sizeex, "min_sizeex < 0"},
    {"max_sizeex", &FaceDetectArithmetic::max_sizeex, "max_sizeex < 0"},
    {"push_mode", &FaceDetectArithmetic::push_mode, "push_mode < 0"},
    {"push_level", &FaceDetectArithmetic::push_level, "push_level < 0"},
    {"snap_mode", &FaceDetectArithmetic::snap_mode, "snap_mode < 0"},
    {"snap_level", &FaceDetectArithmetic::snap_level, "snap_level < 0"},
    {"dentification", &FaceDetectArithmetic::dentification, "dentification < 0"},
}};
// Optional members (default 0, passed as given).
constexpr std::array<IntMember<FaceDetectArithmetic>, 5> kOptionalMembers{{
    {"dev_type", &FaceDetectArithmetic::dev_type},
    {"qpvalue_big", &FaceDetectArithmetic::qpvalue_big},
    {"qpvalue_small", &FaceDetectArithmetic::qpvalue_small},
    {"algsnap_mode", &FaceDetectArithmetic::algsnap_mode},
    {"plate_minsize", &FaceDetectArithmetic::plate_minsize},
}};

constexpr SkippedPoint kSkippedArea{"is_error(jso_point_area)", "x < 0", "y < 0"};

// Fills the record from the command; the detection area's usable points are
// stored one after another (bad ones leave no gap), at most 32 of them.
bool parse_face_detect_arithmetic_param(json_object *jso, FaceDetectArithmetic &param) {
    if (!read_non_negative_members(jso, kLeadingMembers, param, kKeepErrno))
        return false;
    json_object *areas_member = nullptr;
    json_object *areas = array_member(jso, "point_area", &areas_member);
    if (areas_member == nullptr)
        return ZLOG(kLogError, "is_error(jso_arry_areas)"), false;
    if (areas == nullptr)
        return ZLOG(kLogError, "!json_object_is_type(jso_arry_areas, json_type_array)"), false;
    size_t stored = 0;
    size_t length = json_object_array_length(areas);
    for (size_t i = 0; i < length && stored < MAX_FACE_DETECT_AREA_COUNT; ++i)
        if (read_point(json_object_array_get_idx(areas, i), param.point_area[stored], kSkippedArea))
            ++stored;
    if (!read_non_negative_members(jso, kTrailingMembers, param, kKeepErrno))
        return false;
    for (const auto &m : kOptionalMembers)
        param.*m.field = json_object_get_field_int(jso, m.key, 0);
    return true;
}

struct VideoSize {
    int32_t code;
    int32_t width;
    int32_t height;
};
constexpr VideoSize kVideoSizes[] = {
    {7, 640, 480},       {9, 1280, 720},       {10, 1280, 960},     {11, 1600, 1200},    {12, 1920, 1080},
    {13, 2048, 1536},    {0x100, 960, 540},    {0x200, 960, 576},   {0x201, 720, 720},   {0x202, 1280, 1280},
    {0x203, 3072, 1152}, {0x210, 2560, 1440},  {0x220, 2592, 1520}, {0x230, 1920, 1200}, {0x240, 2688, 1520},
    {0x250, 2048, 2048}, {0x300, 2448, 2048},  {0x400, 2560, 1920}, {0x410, 2592, 1944}, {0x420, 2592, 2048},
    {0x430, 2528, 2128}, {0x500, 2560, 2048},  {0x600, 2752, 2208}, {0x610, 3008, 2008}, {0x620, 3408, 2008},
    {0x630, 2560, 2560}, {0x700, 3392, 2008},  {0x800, 3840, 2160}, {0x810, 3264, 2448}, {0x820, 3296, 2472},
    {0x900, 3072, 3072}, {0x1200, 4000, 3072},
};
constexpr int32_t kSizeInCode = 1 << 30;

// The picture size of a device video size code. A code with bit 30 set
// carries the size itself; an unknown code leaves the outputs as they are.
void get_video_size_xy(int32_t code, int32_t &width, int32_t &height) {
    for (const VideoSize &size : kVideoSizes) {
        if (size.code == code) {
            width = size.width;
            height = size.height;
            return;
        }
    }
    if ((code & kSizeInCode) != 0) {
        width = code & 0x7FFF;
        height = (code >> 15) & 0x7FFF;
        ZLOG(kLogInfo, "video size: (%dx%d) value:%x ", width, height, static_cast<unsigned>(code));
        return;
    }
    ZLOG(kLogError, "no support video size: %d", code);
}

// Reads the device's face-detection record of a scene and device type.
bool read_face_detect(const HostView &host, int32_t ch, int32_t scene_id, int32_t dev_type,
                      FaceDetectArithmetic &param) {
    param = sized_record<FaceDetectArithmetic>();
    param.scene_id = scene_id;
    param.dev_type = dev_type;
    int32_t returned = 0;
    if (NetClient_GetDevConfig(host.loginfd(), NET_CLIENT_FACE_DETECT_ARITHMETIC, ch, &param,
                               record_len<FaceDetectArithmetic>(), &returned) < 0)
        return ZLOG(kLogError, "NetClient_GetDevConfig  NET_CLIENT_FACE_DETECT_ARITHMETIC failed:%s, %d", host.id(),
                    ch),
               false;
    return true;
}

}  // namespace

int32_t set_face_detect_arithmetic(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0;
    if (!read_non_negative(jso, "channel", ch, "ch == -1"))
        return 0;
    auto param = sized_record<FaceDetectArithmetic>();
    if (!parse_face_detect_arithmetic_param(jso, param))
        return ZFAIL(CMD_ZEL_EINVAL, "parse_face_detect_arithmetic_param failed");

    // Detection always covers the whole picture of the channel's current size.
    HostView view(host);
    int32_t code = -1;
    if (NetClient_GetVideoSizeEx(view.loginfd(), ch, &code, 0) != 0)
        return ZFAIL(CMD_ZEL_EINVAL, "NetClient_GetVideoSize false!");
    int32_t width = -1, height = -1;
    get_video_size_xy(code, width, height);
    if (width < 1 || height <= 0)
        return ZFAIL(CMD_ZEL_EINVAL, "get_size_x <= 0 || get_size_y <= 0");
    param.point_num = 4;
    param.point_area[0] = {0, 0};
    param.point_area[1] = {width, 0};
    param.point_area[2] = {width, height};
    param.point_area[3] = {0, height};
    for (size_t i = 4; i < MAX_FACE_DETECT_AREA_COUNT; ++i)
        param.point_area[i] = {0, 0};

    int32_t ret = NetClient_SetDevConfig(view.loginfd(), NET_CLIENT_FACE_DETECT_ARITHMETIC, ch, &param,
                                         record_len<FaceDetectArithmetic>());
    if (ret != 0) {
        ZLOG(kLogInfo, "NetClient_SetDevConfig NET_CLIENT_FACE_DETECT_ARITHMETIC failed host_id:%s, err:%d", view.id(),
             ret);
        return 0;
    }
    return 1;
}

int32_t set_face_detect_enable(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0, enable = 0, dev_type = 0, scene_id = 0;
    if (!read_required(jso, "ch", ch) || !read_required(jso, "enable", enable) ||
        !read_required(jso, "dev_type", dev_type) || !read_required(jso, "sceneid", scene_id))
        return 0;

    HostView view(host);
    FaceDetectArithmetic param;
    if (!read_face_detect(view, ch, scene_id, dev_type, param))
        return 0;
    param.dentification = enable == 1 ? 2 : 1;
    param.dev_type = dev_type;
    if (NetClient_SetDevConfig(view.loginfd(), NET_CLIENT_FACE_DETECT_ARITHMETIC, ch, &param,
                               record_len<FaceDetectArithmetic>()) < 0)
        return ZREFUSE("NetClient_SetDevConfig  NET_CLIENT_FACE_DETECT_ARITHMETIC failed:%s, %d", view.id(), ch);
    return 1;
}

int32_t get_face_detect_enable(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    int32_t ch = 0, dev_type = 0, scene_id = 0;
    if (!read_required(jso, "ch", ch) || !read_required(jso, "dev_type", dev_type) ||
        !read_required(jso, "sceneid", scene_id))
        return 0;

    FaceDetectArithmetic param;
    if (!read_face_detect(HostView(host), ch, scene_id, dev_type, param))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "dev_type", dev_type);
    add_int(reply.get(), "enable", param.dentification);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
