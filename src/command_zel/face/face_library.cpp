// Face libraries: create or change (set 2), assign to channels (set 3),
// delete (set 5), synchronisation state (get 6) and face counts (get 19).
#include "face/face_handlers.h"
#include "face/face_support.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"

namespace zel {

int32_t set_face_lib(void *host, json_object *jso, char **) {
    if (!has_command(host, jso, {.host_code = kKeepErrno, .code = kKeepErrno}))
        return 0;
    auto rec = sized_record<face_lib_record>();
    if (!read_non_negative(jso, "ch", rec.channel, {"ch == -1"}))
        return 0;
    rec.inner_size = FACE_LIB_INNER_SIZE;
    // The library's own members are refused without an error code.
    read_optional(jso, "libkey", rec.libkey);
    const char *name = nullptr;
    const char *libuuid = nullptr;
    const char *libversion = nullptr;
    if (!read_bounded_text(jso, "name", LEN_64, name, {"name == NULL || strlen(name) > LEN_64", kKeepErrno}) ||
        !read_required(jso, "threshold", rec.threshold, {nullptr, kKeepErrno}))
        return 0;
    copy_text(rec.extrainfo, bounded_text(jso, "extrainfo", LEN_64));
    if (!read_required(jso, "alarmtype", rec.alarmtype, {"alarmtype == NULL", kKeepErrno}) ||
        !read_bounded_text(jso, "libuuid", LEN_UUID, libuuid,
                           {"libuuid == NULL ||strlen(libuuid) >= LEN_UUID", kKeepErrno}) ||
        !read_bounded_text(jso, "libversion", LEN_64, libversion,
                           {"libversion == NULL ||strlen(libversion) >= LEN_64", kKeepErrno}))
        return 0;
    // Absent is an addition (1); only -1 is refused.
    if ((rec.opttype = json_object_get_field_int(jso, "opttype", 1)) == -1)
        return ZREFUSE("opttype == -1");
    copy_text(rec.name, name);
    copy_text(rec.libuuid, libuuid);
    copy_text(rec.libversion, libversion);

    ZLOG(kLogInfo, "set_face_lib name:%s,libuuid:%s,version:%s,opttype:%d", name, libuuid, libversion, rec.opttype);
    face_reply reply{};
    int32_t ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_LIB_EDIT, rec.channel, &rec,
                                       record_len<face_lib_record>(), &reply, record_len<face_reply>());
    if (ret != 0 || reply.iResult != 0)
        return ZREFUSE("!NetClient_FaceConfig err:%d result:%d", ret, reply.iResult);
    return 1;
}

namespace {

// Mask words the device reads: enough for its channels, 4 when it reports
// none, never more than the record holds.
int32_t sync_mask_words(int32_t channel_count) {
    if (channel_count <= 0)
        return 4;
    return clamp_count(channel_count / 32 + (channel_count % 32 != 0 ? 1 : 0), FACE_SYNC_MASK_WORDS);
}

// Sets the mask bit of every "ch" among the first 64 entries of the list.
void fill_channel_mask(json_object *list, face_lib_sync_record &rec) {
    constexpr size_t kMaxEntries = 64;
    constexpr int32_t kMaskChannels = FACE_SYNC_MASK_WORDS * 32;
    size_t count = json_object_array_length(list);
    for (size_t i = 0; i < count && i < kMaxEntries; ++i) {
        int32_t ch = json_object_get_field_int(json_object_array_get_idx(list, i), "ch", -1);
        if (ch == -1)
            continue;
        // A channel the mask cannot hold is left out rather than written
        // past the record.
        if (ch < 0 || ch >= kMaskChannels) {
            ZLOG(kLogError, "ch < 0 || ch >= %d, ch:%d", kMaskChannels, ch);
            continue;
        }
        rec.mask[ch / 32] |= 1u << (ch % 32);
    }
}

}  // namespace

int32_t set_face_lib_sync(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    const char *libuuid = nullptr;
    if (!read_text(jso, "libuuid", libuuid))
        return 0;
    auto rec = sized_record<face_lib_sync_record>();
    rec.similarity = json_object_get_field_int(jso, "similar", -1);
    if (rec.similarity < 1 || rec.similarity > 100) {
        ZLOG(kLogError, "similar < 1 || similar > 100, similar:%d", rec.similarity);
        rec.similarity = 0;
    }
    if (!read_non_negative(jso, "status", rec.status, {"status < 0"}))
        return 0;
    json_object *list = json_object_object_get(jso, "ch_list");
    if (list == nullptr)
        return ZREFUSE("is_error(jso_arry)");
    if (!json_object_is_type(list, json_type_array))
        return ZREFUSE("!json_object_is_type(jso_arry, json_type_array)");

    fill_channel_mask(list, rec);
    HostView dev(host);
    int32_t channel_count = 0;
    NetClient_GetChannelNum(dev.loginfd(), &channel_count);
    rec.mask_words = sync_mask_words(channel_count);
    copy_uuid(rec.libuuid, libuuid);
    face_reply reply{};
    int32_t ret = NetClient_FaceConfig(dev.loginfd(), FACE_CMD_LIB_SYNC, -1, &rec, record_len<face_lib_sync_record>(),
                                       &reply, record_len<face_reply>());
    if (ret != 0 || reply.iResult != 0)
        return ZREFUSE("iRet:%d, tReply.iResult:%d", ret, reply.iResult);
    return 1;
}

namespace {

// The library delete once the command and the reply slot are there; the
// device's result, or -1 when a member was refused or the device failed.
int32_t delete_library(void *host, json_object *jso, face_reply &reply) {
    face_lib_delete_request request{};
    face_lib_delete_record &lib = request.lib;
    const char *libuuid = nullptr;
    if (!read_non_negative(jso, "ch", lib.channel, {"ch == -1"}) ||
        !read_non_negative(jso, "libkey", lib.libkey, {"libkey < 0"}) || !read_text(jso, "libuuid", libuuid))
        return -1;
    lib.size = record_len<face_lib_delete_record>();
    copy_uuid(lib.libuuid, libuuid);
    ZLOG(kLogInfo, "face_set_del_face_lib libuuid:%s,libkey:%d", libuuid, lib.libkey);
    // The record goes out with a library record's length, zeros after it.
    int32_t ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_LIB_DELETE, lib.channel, &request,
                                       record_len<face_lib_delete_request>(), &reply, record_len<face_reply>());
    // Result 4: the device goes on deleting in the background.
    if (ret != 0 || (reply.iResult != 0 && reply.iResult != 4))
        return ZFAIL(CMD_ZEL_EDEVICE, "!NetClient_FaceConfig :%d result:%d", ret, reply.iResult), -1;
    return reply.iResult;
}

}  // namespace

int32_t face_set_del_face_lib(void *host, json_object *jso, char **out_buf) {
    // Every failure after the reply slot was seen answers -1 with progress 0.
    auto reply = sized_record<face_reply>();
    int32_t ret = -1;
    if (has_command(host, jso)) {
        if (!has_reply_slot(host, out_buf))
            return 0;
        ret = delete_library(host, jso, reply);
    }
    if (out_buf == nullptr)
        return 0;
    reply_ret_progress(out_buf, ret, ret >= 0 ? reply.detail : 0);
    return ret >= 0 ? 1 : 0;
}

namespace {

constexpr IntMember<face_sync_status_entry> kSyncStates[] = {
    {"state", &face_sync_status_entry::state},
    {"process", &face_sync_status_entry::process},
    {"sucessnum", &face_sync_status_entry::success_num},
    {"failenum", &face_sync_status_entry::fail_num},
};

void add_sync_entry(json_object *list, const face_sync_status_entry &e) {
    const char *what = "is_error(jso_param_info)";
    JsonPtr item = new_object(what);
    add_int(item.get(), "ch", e.channel, what);
    add_text(item.get(), "libuuid", e.libuuid, what);
    add_members<face_sync_status_entry>(item.get(), kSyncStates, e, what);
    append(list, item.release());
}

// The members, the device call and the entries of get 6; the device's result,
// or -1 when a member was refused.
int32_t fill_sync_status(void *host, json_object *jso, json_object *reply) {
    // The list is the reply's first member; it stays empty unless the device answers.
    JsonPtr owned = new_array("is_error(jso_param)");
    json_object *list = owned.get();
    add(reply, "param", owned.release(), "is_error(jso_param)");
    // Absent is refused here; -1 is the whole device.
    int32_t ch = json_object_get_field_int(jso, "ch", -2);
    if (ch < -1)
        return ZFAIL(CMD_ZEL_EINVAL, "ch < -1"), -1;
    const char *libuuid = nullptr;
    if (!read_text(jso, "libuuid", libuuid))
        return -1;
    HostView dev(host);
    int32_t channel_count = 0;
    NetClient_GetChannelNum(dev.loginfd(), &channel_count);
    auto request = sized_record<face_sync_status_request>();
    request.channel = ch == -1 ? kAllChannels : ch;
    request.max_entries = FACE_SYNC_STATUS_ENTRIES;
    copy_text(request.libuuid, libuuid);
    auto entries = zeroed_records<face_sync_status_entry>(FACE_SYNC_STATUS_ENTRIES, "sync_status == NULL");
    int32_t ret = NetClient_FaceConfig(dev.loginfd(), FACE_CMD_LIB_SYNC_STATUS, ch, &request,
                                       record_len<face_sync_status_request>(), entries.get(),
                                       record_len<face_sync_status_entry>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "!NetClient_FaceConfig FACE_CMD_LIB_SYNC_STATUS ret:%d", ret), ret;
    for (int32_t i = 0; i < clamp_count(channel_count, FACE_SYNC_STATUS_ENTRIES); ++i)
        if (entries[i].size > 0)
            add_sync_entry(list, entries[i]);
    return ret;
}

}  // namespace

int32_t get_face_lib_sync_status(void *host, json_object *jso, char **out_buf) {
    return run_with_document_reply(host, jso, out_buf, {}, fill_sync_status);
}

namespace {

constexpr IntMember<face_lib_count_record> kCounts[] = {
    {"total_count", &face_lib_count_record::total_count},
    {"sample_count", &face_lib_count_record::sample_count},
    {"custom_count", &face_lib_count_record::custom_count},
};

}  // namespace

int32_t get_face_lib_count(void *host, json_object *jso, char **out_buf) {
    int32_t ch = -1;
    if (!has_command_and_reply(host, jso, out_buf) || !read_non_negative(jso, "ch", ch, {"ch == -1"}))
        return 0;
    auto counts = sized_record<face_lib_count_record>();
    int32_t bytes_returned = -1;
    int32_t ret = NetClient_GetDevConfig(HostView(host).loginfd(), NET_CLIENT_FACE_LIB_COUNT, ch, &counts,
                                         record_len<face_lib_count_record>(), &bytes_returned);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "NetClient_GetDevConfig :%d", ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_members<face_lib_count_record>(reply.get(), kCounts, counts);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
