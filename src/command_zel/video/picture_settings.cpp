// A channel's picture settings: sharpness (set 9), frame rate (set 10,
// get 63), pixel size (get 62), and the picture combination of a video
// output (set 44).
#include "device_sdk_video.h"
#include "handler_support.h"
#include "host_view.h"
#include "video/video_handlers.h"

namespace zel {
namespace {

// The sharpness and frame-rate settings report a missing host record as such.
constexpr Opening kChannelSetting{.host_code = CMD_ZEL_ENOHOST};

// The queries of one stream's figures (get 62, get 63): "ch" (refused when
// negative) and "stream_no" (0 when absent), then `ask` calls the device,
// adds the figures to the reply and returns the device's result, which the
// reply ends with.
template <typename Ask> int32_t run_stream_query(void *host, json_object *jso, char **out_buf, Ask ask) {
    auto fill = [&ask](void *dev_host, json_object *cmd, json_object *reply) {
        int32_t ch = 0;
        if (!read_non_negative(cmd, "ch", ch, {"ch < 0"}))
            return -1;
        return ask(HostView(dev_host), ch, json_object_get_field_int(cmd, "stream_no", 0), reply);
    };
    return run_with_document_reply(host, jso, out_buf, {}, fill, "*out_buf == NULL");
}

}  // namespace

int32_t set_sharpness(void *host, json_object *jso) {
    int32_t ch = 0;
    int32_t sharp = 0;
    if (!has_command(host, jso, kChannelSetting) || !read_non_negative(jso, "ch", ch, {"ch < 0"}) ||
        !read_required(jso, "sharp", sharp))
        return 0;
    HDTimeRangeParam param{};
    param.type = HD_TIME_RANGE_PARAM_TYPE;
    param.sharpness = sharp;
    // Every time range of the day gets the same sharpness; a range the
    // device refuses does not stop the others.
    HostView dev(host);
    bool accepted = false;
    for (int32_t index = 0; index < HD_TIME_RANGE_COUNT; ++index) {
        if (NetClient_SetHDTimeRangeParam(dev.loginfd(), ch, index, &param, record_len<HDTimeRangeParam>()) == 0)
            accepted = true;
        else
            ZLOG(kLogError, "NetClient_SetHDTimeRangeParam() failed, id:%s, ch:%d, sharp:%d, index:%d", dev.id(), ch,
                 sharp, index);
    }
    return accepted ? 1 : 0;
}

int32_t set_frame_rate(void *host, json_object *jso) {
    int32_t ch = 0;
    int32_t frame_rate = 0;
    int32_t stream_type = 0;
    if (!has_command(host, jso, kChannelSetting) || !read_non_negative(jso, "ch", ch, {"ch < 0"}) ||
        !read_required(jso, "frame_rate", frame_rate) || !read_required(jso, "stream_type", stream_type))
        return 0;
    if (NetClient_SetFrameRate(HostView(host).loginfd(), ch, frame_rate, stream_type) != 0)
        return ZREFUSE("NetClient_SetFrameRate() failed, ch:%d, stream_type:%d, frame_rate:%d", ch, stream_type,
                       frame_rate);
    return 1;
}

int32_t get_frame_rate(void *host, json_object *jso, char **out_buf) {
    return run_stream_query(host, jso, out_buf, [](HostView dev, int32_t ch, int32_t stream_no, json_object *reply) {
        int32_t frame_rate = 0;
        int32_t ret = NetClient_GetFrameRate(dev.loginfd(), ch, &frame_rate, stream_no);
        if (ret >= 0)
            add_int(reply, "frame_rate", frame_rate);
        else
            ZLOG(kLogError, "NetClient_GetFrameRate() failed, host_id : %s, ch : %d, stream_no : %d, error : %lx",
                 dev.id(), ch, stream_no, sdk_error());
        return ret;
    });
}

int32_t get_video_size(void *host, json_object *jso, char **out_buf) {
    return run_stream_query(host, jso, out_buf, [](HostView dev, int32_t ch, int32_t stream_no, json_object *reply) {
        int32_t width = 0;
        int32_t height = 0;
        int32_t ret = NetClient_GetVideoSize(dev.loginfd(), ch, &width, &height, stream_no);
        if (ret >= 0) {
            add_int(reply, "width", width);
            add_int(reply, "height", height);
        } else {
            ZLOG(kLogError, "NetClient_GetVideoSize() failed, host_id : %s, ch : %d, stream_no : %d, error : %lx",
                 dev.id(), ch, stream_no, sdk_error());
        }
        return ret;
    });
}

int32_t set_video_combine(void *host, json_object *jso) {
    auto combine = sized_record<VideoCombine>();
    if (!has_command(host, jso) || !read_required(jso, "pic_num", combine.pic_num) ||
        !read_required(jso, "rec", combine.rec))
        return 0;
    const char *chs = json_object_get_field_string(jso, "chs");
    if (chs == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "chs == NULL");
    if (!read_required(jso, "vo_dev_id", combine.vo_dev_id))
        return 0;
    copy_text(combine.chs, chs);
    HostView dev(host);
    if (NetClient_SetVideoCombine(dev.loginfd(), &combine, record_len<VideoCombine>()) != 0)
        return ZREFUSE("NetClient_SetVideoCombine failed, host_id:%s, chs:%s", dev.id(), combine.chs);
    return 1;
}

}  // namespace zel
