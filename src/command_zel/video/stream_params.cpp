// A stream's encoding parameters: its picture size code and maximum byte
// rate, set together (set 83) and read together (get 74, get 78), and the
// picture sizes it supports (get 79). The stream is the command's
// "data_type" (0 the main stream).
#include "device_sdk_video.h"
#include "handler_support.h"
#include "host_view.h"
#include "video/video_handlers.h"
#include "video/video_sizes.h"

namespace zel {
namespace {

// "ch" and "data_type" of the stream commands, both -1 when absent. A
// negative one is refused without an error code, with the handler's name in
// front ("get_current_video_param ch:%d < 0").
bool read_stream(json_object *jso, const char *handler, int32_t &ch, int32_t &data_type, Site site = {}) {
    ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0) {
        log_debug_ex(kLogError, site.file(), site.line, "%s ch:%d < 0", handler, ch);
        return false;
    }
    data_type = json_object_get_field_int(jso, "data_type", -1);
    if (data_type < 0) {
        log_debug_ex(kLogError, site.file(), site.line, "%s data_type:%d < 0", handler, data_type);
        return false;
    }
    return true;
}

}  // namespace

int32_t set_current_video_param(void *host, json_object *jso) {
    int32_t ch = 0;
    int32_t data_type = 0;
    if (host == nullptr || jso == nullptr)
        return ZREFUSE("set_current_video_param host == NULL || jso == NULL");
    if (!read_stream(jso, "set_current_video_param", ch, data_type))
        return 0;
    // Each part is sent only when enabled, and a part the device refuses
    // does not fail the command.
    HostView dev(host);
    if (json_object_get_field_int(jso, "video_size_enable", 0) == 1) {
        int32_t code = convert_definition_video_size(json_object_get_field_int(jso, "video_size", -1));
        if (code == -1)
            ZLOG(kLogError, "set_current_video_param convert_definition_video_size() failed, video_size:%d", code);
        if (NetClient_SetVideoSize(dev.loginfd(), ch, code, data_type) != 0)
            ZLOG(kLogError,
                 "set_current_video_param NetClient_SetVideoSize() failed, loginfd:%d, id:%s, ip:%s, ch:%d, "
                 "data_type:%d, err:%lx",
                 dev.loginfd(), dev.id(), dev.log_ip(), ch, data_type, sdk_error());
    }
    if (json_object_get_field_int(jso, "video_kbyterate_enable", 0) == 1) {
        int32_t kbyte_rate = json_object_get_field_int(jso, "video_kbyterate", 0);
        if (NetClient_SetMaxKByteRate(dev.loginfd(), ch, kbyte_rate, data_type) != 0)
            ZLOG(kLogError,
                 "set_current_video_param NetClient_SetMaxKByteRate() failed, loginfd:%d, id:%s, ip:%s, ch:%d, "
                 "data_type:%d, err:%lx",
                 dev.loginfd(), dev.id(), dev.log_ip(), ch, data_type, sdk_error());
    }
    return 1;
}

int32_t get_video_rate_size(void *host, json_object *jso, char **out_buf) {
    int32_t ch = 0;
    if (!has_command_and_reply(host, jso, out_buf, {.host_id = ", host_id:%s"}) ||
        !read_non_negative(jso, "ch", ch, {"ch < 0"}))
        return 0;
    int32_t data_type = json_object_get_field_int(jso, "data_type", 0);
    // What the device does not answer is reported as -1.
    HostView dev(host);
    int32_t code = -1;
    if (NetClient_GetVideoSizeEx(dev.loginfd(), ch, &code, data_type) != 0) {
        ZLOG(kLogError, "NetClient_GetVideoSizeEx failed");
        code = -1;
    }
    int32_t kbyte_rate = -1;
    if (NetClient_GetMaxKByteRate(dev.loginfd(), ch, &kbyte_rate, data_type) != 0) {
        ZLOG(kLogError, "NetClient_GetMaxKByteRate failed");
        kbyte_rate = -1;
    }
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "video_size", video::reported_size(code));
    add_int(reply.get(), "kbyte_rate", kbyte_rate);
    if (!reply_document(out_buf, reply.get()))
        return 0;
    ZLOG(kLogInfo, "jso_string   %s", *out_buf);
    return 1;
}

int32_t get_current_video_param(void *host, json_object *jso, char **out_buf) {
    int32_t ch = 0;
    int32_t data_type = 0;
    if (host == nullptr || jso == nullptr || out_buf == nullptr)
        return ZREFUSE("get_current_video_param host == NULL || jso == NULL || out_buf == NULL");
    if (!read_stream(jso, "get_current_video_param", ch, data_type))
        return 0;
    // What the device does not answer is reported as 0.
    HostView dev(host);
    int32_t code = -1;
    int32_t definition = 0;
    int32_t width = 0;
    int32_t height = 0;
    if (NetClient_GetVideoSizeEx(dev.loginfd(), ch, &code, data_type) != 0) {
        ZLOG(kLogError,
             "get_current_video_param NetClient_GetVideoSizeEx failed loginfd:%d, id:%s, ip:%s, ch:%d, data_type:%d, "
             "err:%lx, video_size:%d",
             dev.loginfd(), dev.id(), dev.log_ip(), ch, data_type, sdk_error(), code);
    } else {
        definition = convert_video_size_definition(code, &width, &height);
        if (definition == -1)
            definition = 0;
    }
    int32_t kbyte_rate = 0;
    if (NetClient_GetMaxKByteRate(dev.loginfd(), ch, &kbyte_rate, data_type) != 0) {
        ZLOG(kLogError,
             "get_current_video_param NetClient_GetMaxKByteRate failed loginfd:%d, id:%s, ip:%s, ch:%d, data_type:%d, "
             "err:%lx",
             dev.loginfd(), dev.id(), dev.log_ip(), ch, data_type, sdk_error());
        kbyte_rate = 0;
    }

    constexpr const char *kNoReply = "get_current_video_param jso_ret == NULL";
    constexpr const char *kNoSizes = "get_current_video_param jso_video_size == NULL";
    JsonPtr reply = new_object(kNoReply);
    JsonPtr sizes = new_object(kNoSizes);
    add_int(sizes.get(), "video_size", definition, kNoSizes);
    add_int(sizes.get(), "width", width, kNoSizes);
    add_int(sizes.get(), "height", height, kNoSizes);
    add(reply.get(), "video_sizes", sizes.release(), kNoReply);
    add_int(reply.get(), "video_kbyterate", kbyte_rate, kNoReply);
    return reply_document(out_buf, reply.get(), {"get_current_video_param *out_buf == NULL"},
                          "get_current_video_param, jso_str == NULL")
               ? 1
               : 0;
}

int32_t get_support_video_param_info(void *host, json_object *jso, char **out_buf) {
    int32_t ch = 0;
    int32_t data_type = 0;
    if (host == nullptr || jso == nullptr || out_buf == nullptr)
        return ZREFUSE("get_support_video_param_info host == NULL || jso == NULL || out_buf == NULL");
    if (!read_stream(jso, "get_support_video_param_info", ch, data_type))
        return 0;
    // The count first, then the list; the device writes at most the list's
    // capacity but may report more codes than that.
    HostView dev(host);
    int32_t count = 0;
    int32_t codes[VIDEO_SIZE_LIST_MAX] = {};
    if (NetClient_GetVideoSzList(dev.loginfd(), ch, data_type, nullptr, &count) != 0 ||
        NetClient_GetVideoSzList(dev.loginfd(), ch, data_type, codes, &count) != 0)
        return ZREFUSE("get_support_video_param_info NetClient_GetVideoSzList failed loginfd:%d, id:%s, ip:%s, ch:%d, "
                       "data_type:%d, err:%lx",
                       dev.loginfd(), dev.id(), dev.log_ip(), ch, data_type, sdk_error());

    // Sizes the table does not know are left out of the list, not the count.
    constexpr const char *kNoEntry = "get_support_video_param_info jso_tmp == NULL";
    JsonPtr sizes = new_array("get_support_video_param_info jso_arr == NULL");
    for (int32_t i = 0; i < clamp_count(count, VIDEO_SIZE_LIST_MAX); ++i) {
        int32_t width = 0;
        int32_t height = 0;
        int32_t definition = convert_video_size_definition(codes[i], &width, &height);
        if (definition == -1)
            continue;
        JsonPtr entry = new_object(kNoEntry);
        add_int(entry.get(), "video_size", definition, kNoEntry);
        add_int(entry.get(), "width", width, kNoEntry);
        add_int(entry.get(), "height", height, kNoEntry);
        append(sizes.get(), entry.release(), kNoEntry);
    }
    constexpr const char *kNoLists = "get_support_video_param_info jso_video_list == NULL";
    JsonPtr lists = new_object(kNoLists);
    add_int(lists.get(), "video_size_count", count, kNoLists);
    add(lists.get(), "video_size_list", sizes.release(), kNoLists);
    JsonPtr reply = new_object("get_support_video_param_info jso_ret == NULL");
    add(reply.get(), "video_size_lists", lists.release(), "get_support_video_param_info jso_ret == NULL");
    return reply_document(out_buf, reply.get(), {"get_support_video_param_info *out_buf == NULL"},
                          "get_support_video_param_info, jso_str == NULL")
               ? 1
               : 0;
}

}  // namespace zel
