// Face libraries: create or change (set 2), assign to channels (set 3),
// delete (set 5), synchronisation state (get 6) and face counts (get 19).
#include <cstring>

#include "face/face_handlers.h"
#include "face/face_records.h"
#include "handler_support.h"
#include "host_view.h"
#include "zel_json.h"

namespace zel {

using namespace face_data;

int32_t set_face_lib(void *host, json_object *jso, char **) {
    if (host == nullptr)
        return ZREFUSE("host == NULL");
    if (jso == nullptr)
        return ZREFUSE("is_error(jso)");
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1");

    // The library's own members are refused without an error code.
    auto rec = sized_record<face_lib_record>();
    rec.channel = ch;
    rec.inner_size = kFaceLibInnerSize;
    int32_t libkey = json_object_get_field_int(jso, "libkey", -1);
    if (libkey != -1)
        rec.libkey = libkey;
    const char *name = bounded_text(jso, "name", LEN_64);
    if (name == nullptr)
        return ZREFUSE("name == NULL || strlen(name) > LEN_64");
    if ((rec.threshold = json_object_get_field_int(jso, "threshold", -1)) == -1)
        return ZREFUSE("threshold == -1");
    copy_text(rec.extrainfo, bounded_text(jso, "extrainfo", LEN_64));
    if ((rec.alarmtype = json_object_get_field_int(jso, "alarmtype", -1)) == -1)
        return ZREFUSE("alarmtype == NULL");
    const char *libuuid = bounded_text(jso, "libuuid", LEN_UUID);
    if (libuuid == nullptr)
        return ZREFUSE("libuuid == NULL ||strlen(libuuid) >= LEN_UUID");
    const char *libversion = bounded_text(jso, "libversion", LEN_64);
    if (libversion == nullptr)
        return ZREFUSE("libversion == NULL ||strlen(libversion) >= LEN_64");
    if ((rec.opttype = json_object_get_field_int(jso, "opttype", 1)) == -1)
        return ZREFUSE("opttype == -1");
    copy_text(rec.name, name);
    copy_text(rec.libuuid, libuuid);
    copy_text(rec.libversion, libversion);

    ZLOG(kLogInfo, "set_face_lib name:%s,libuuid:%s,version:%s,opttype:%d", name, libuuid, libversion, rec.opttype);
    face_reply reply{};
    int32_t ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_LIB_EDIT, ch, &rec,
                                       record_len<face_lib_record>(), &reply, record_len<face_reply>());
    if (ret != 0 || reply.iResult != 0) {
        ZLOG(kLogError, "!NetClient_FaceConfig err:%d result:%d", ret, reply.iResult);
        return 0;
    }
    return 1;
}

namespace {

// Mask words the device reads: enough for its channels, 4 when it reports
// none, never more than the record holds.
int32_t sync_mask_words(int32_t channel_count) {
    if (channel_count <= 0)
        return 4;
    int32_t words = channel_count / 32 + (channel_count % 32 != 0 ? 1 : 0);
    return words < kSyncMaskWords ? words : kSyncMaskWords;
}

// Sets the mask bit of every "ch" among the first 64 entries of the list.
void fill_channel_mask(json_object *list, face_lib_sync_record &rec) {
    constexpr size_t kMaxEntries = 64;
    constexpr int32_t kMaskChannels = kSyncMaskWords * 32;
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
    const char *libuuid = json_object_get_field_string(jso, "libuuid");
    if (libuuid == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "libuuid == NULL");
    int32_t similar = json_object_get_field_int(jso, "similar", -1);
    if (similar < 1 || similar > 100) {
        ZLOG(kLogError, "similar < 1 || similar > 100, similar:%d", similar);
        similar = 0;
    }
    int32_t status = json_object_get_field_int(jso, "status", -1);
    if (status < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "status < 0");
    json_object *list = json_object_object_get(jso, "ch_list");
    if (list == nullptr)
        return ZREFUSE("is_error(jso_arry)");
    if (!json_object_is_type(list, json_type_array))
        return ZREFUSE("!json_object_is_type(jso_arry, json_type_array)");

    auto rec = sized_record<face_lib_sync_record>();
    fill_channel_mask(list, rec);
    HostView dev(host);
    int32_t channel_count = 0;
    NetClient_GetChannelNum(dev.loginfd(), &channel_count);
    rec.mask_words = sync_mask_words(channel_count);
    copy_uuid(rec.libuuid, libuuid);
    rec.status = status;
    rec.similarity = similar;

    face_reply reply{};
    int32_t ret = NetClient_FaceConfig(dev.loginfd(), FACE_CMD_LIB_SYNC, -1, &rec, record_len<face_lib_sync_record>(),
                                       &reply, record_len<face_reply>());
    if (ret != 0 || reply.iResult != 0) {
        ZLOG(kLogError, "iRet:%d, tReply.iResult:%d", ret, reply.iResult);
        return 0;
    }
    return 1;
}

namespace {

// Every failure of a library delete answers -1 with progress 0.
int32_t delete_refused(char **out_buf) {
    if (out_buf != nullptr)
        reply_ret_progress(out_buf, -1, 0);
    return 0;
}

}  // namespace

int32_t face_set_del_face_lib(void *host, json_object *jso, char **out_buf) {
    if (host == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL"), delete_refused(out_buf);
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso)"), delete_refused(out_buf);
    if (out_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "out_buf == NULL");
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1"), delete_refused(out_buf);
    int32_t libkey = json_object_get_field_int(jso, "libkey", -1);
    if (libkey < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "libkey < 0"), delete_refused(out_buf);
    const char *libuuid = json_object_get_field_string(jso, "libuuid");
    if (libuuid == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "libuuid == NULL"), delete_refused(out_buf);

    face_lib_delete_request request{};
    request.lib.size = record_len<face_lib_delete_record>();
    request.lib.channel = ch;
    request.lib.libkey = libkey;
    copy_uuid(request.lib.libuuid, libuuid);
    ZLOG(kLogInfo, "face_set_del_face_lib libuuid:%s,libkey:%d", libuuid, libkey);
    auto reply = sized_record<face_reply>();
    int32_t ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_LIB_DELETE, ch, &request,
                                       record_len<face_lib_delete_request>(), &reply, record_len<face_reply>());
    // Result 4: the device goes on deleting in the background.
    if (ret != 0 || (reply.iResult != 0 && reply.iResult != 4)) {
        ZFAIL(CMD_ZEL_EDEVICE, "!NetClient_FaceConfig :%d result:%d", ret, reply.iResult);
        return delete_refused(out_buf);
    }
    reply_ret_progress(out_buf, reply.iResult, reply.detail);
    return 1;
}

namespace {

void add_sync_entry(json_object *list, const face_sync_status_entry &e) {
    const char *what = "is_error(jso_param_info)";
    JsonPtr item = new_object(what);
    add(item.get(), "ch", json_object_new_int(e.channel), what);
    add(item.get(), "libuuid", field_string(e.libuuid), what);
    add(item.get(), "state", json_object_new_int(e.state), what);
    add(item.get(), "process", json_object_new_int(e.process), what);
    add(item.get(), "sucessnum", json_object_new_int(e.success_num), what);
    add(item.get(), "failenum", json_object_new_int(e.fail_num), what);
    append(list, item.release());
}

}  // namespace

int32_t get_face_lib_sync_status(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    // The list is the reply's first member; it stays empty unless the device answers.
    json_object *list = json_object_new_array();
    add(reply.get(), "param", list, "is_error(jso_param)");
    int32_t ret = -1;
    int32_t ch = json_object_get_field_int(jso, "ch", -2);
    const char *libuuid = nullptr;
    if (ch < -1) {
        ZFAIL(CMD_ZEL_EINVAL, "ch < -1");
    } else if ((libuuid = json_object_get_field_string(jso, "libuuid")) == nullptr) {
        ZFAIL(CMD_ZEL_EINVAL, "libuuid == NULL");
    } else {
        HostView dev(host);
        int32_t channel_count = 0;
        NetClient_GetChannelNum(dev.loginfd(), &channel_count);
        auto request = sized_record<face_sync_status_request>();
        request.channel = ch == -1 ? kAllChannels : ch;
        request.max_entries = kSyncStatusEntries;
        copy_text(request.libuuid, libuuid);
        auto entries = zeroed_records<face_sync_status_entry>(kSyncStatusEntries, "sync_status == NULL");
        ret = NetClient_FaceConfig(dev.loginfd(), FACE_CMD_LIB_SYNC_STATUS, ch, &request,
                                   record_len<face_sync_status_request>(), entries.get(),
                                   record_len<face_sync_status_entry>());
        if (ret != 0) {
            ZFAIL(CMD_ZEL_EDEVICE, "!NetClient_FaceConfig FACE_CMD_LIB_SYNC_STATUS ret:%d", ret);
        } else {
            for (int32_t i = 0; i < kSyncStatusEntries && i < channel_count; ++i)
                if (entries[i].size > 0)
                    add_sync_entry(list, entries[i]);
        }
    }
    add(reply.get(), "ret", json_object_new_int(ret));
    if (!reply_document(out_buf, reply.get()))
        return 0;
    return ret >= 0 ? 1 : 0;
}

int32_t get_face_lib_count(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1");

    auto counts = sized_record<face_lib_count_record>();
    int32_t bytes_returned = -1;
    int32_t ret = NetClient_GetDevConfig(HostView(host).loginfd(), kDevCmdFaceLibCount, ch, &counts,
                                         record_len<face_lib_count_record>(), &bytes_returned);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "NetClient_GetDevConfig :%d", ret);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add(reply.get(), "total_count", json_object_new_int(counts.total_count));
    add(reply.get(), "sample_count", json_object_new_int(counts.sample_count));
    add(reply.get(), "custom_count", json_object_new_int(counts.custom_count));
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
