// Face records inside a library: add or change (set 1), delete (set 4), and
// both with the channel's video analysis suspended around the change (set 23,
// set 24).
#include "device_sdk_vca.h"
#include "face/face_handlers.h"
#include "face/face_support.h"
#include "handler_support.h"
#include "host_view.h"
#include "os_support.h"
#include "zel_json.h"

namespace zel {

int32_t face_edit_info(void *host, json_object *jso, int32_t *result) {
    if (!has_host(host))
        return 0;
    if (result == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "result == NULL");
    if (!has_command(host, jso))
        return 0;
    auto rec = sized_record<face_record>();
    rec.channel = json_object_get_field_int(jso, "ch", 0);
    // Absent is an addition (1); only -1 is refused.
    if ((rec.opttype = json_object_get_field_int(jso, "opttype", 1)) == -1)
        return ZFAIL(CMD_ZEL_EINVAL, "opttype == -1");
    const char *libuuid = nullptr;
    const char *faceuuid = nullptr;
    if (!read_text(jso, "libuuid", libuuid) || !read_text(jso, "faceuuid", faceuuid))
        return 0;
    copy_uuid(rec.libuuid, libuuid);
    copy_uuid(rec.faceuuid, faceuuid);

    // The rest is optional: an absent member is logged and its field left 0.
    // A longer text is cut to its field like every other text.
    read_optional(jso, "modeling", rec.modeling, "modeling == -1");
    read_optional_text(jso, "name", rec.name, "name == NULL");
    read_optional(jso, "sex", rec.sex, "sex == -1");
    read_optional_text(jso, "birthtime", rec.birthtime, "birthtime == NULL");
    read_optional(jso, "nation", rec.nation, "nation == -1");
    read_optional(jso, "place", rec.place, "place == -1");
    read_optional(jso, "certype", rec.certype, "certype == -1");
    read_optional_text(jso, "certnum", rec.certnum, "certnum == NULL");
    read_optional(jso, "file_type", rec.file_type, "file_type == -1");
    read_optional_text(jso, "file_name", rec.file_name, "file_name == NULL");
    read_optional(jso, "face_key", rec.face_key, "face_key == -1");
    read_optional(jso, "face_lib_key", rec.face_lib_key, "face_lib_key == -1");

    HostView dev(host);
    face_reply reply{};
    int32_t ret = NetClient_FaceConfig(dev.loginfd(), FACE_CMD_EDIT, rec.channel, &rec, record_len<face_record>(),
                                       &reply, record_len<face_reply>());
    if (ret < 0 || reply.iResult != 0) {
        if (reply.detail != FACE_REPLY_UUID_EXISTS)
            return ZFAIL(CMD_ZEL_EDEVICE,
                         " NetClient_FaceConfig FACE_CMD_EDIT FALSE, face_ret = %d, result = %d, host_id:%s, ch:%d, "
                         "faceuuid:%s, libuuid:%s pro:%d",
                         ret, reply.iResult, dev.id(), rec.channel, faceuuid, libuuid, reply.detail);
        // The device already holds this face: the edit counts as done.
        ZLOG(kLogError,
             " NetClient_FaceConfig FACE_CMD_EDIT faceuuid Repeat, face_ret = %d, result = %d, host_id:%s, ch:%d, "
             "faceuuid:%s, libuuid:%s",
             ret, reply.iResult, dev.id(), rec.channel, faceuuid, libuuid);
        reply.iResult = 0;
    }
    *result = reply.iResult;
    return 1;
}

int32_t set_face_info(void *host, json_object *jso, char **out_buf) {
    if (!has_host_and_reply(host, out_buf))
        return 0;
    int32_t result = -1;
    int32_t ok = face_edit_info(host, jso, &result);
    if (ok == 0)
        ZLOG(kLogError, "!face_edit_info hostid:%s", HostView(host).id());
    reply_errno(out_buf, result);
    return ok;
}

int32_t face_set_del_face_pic(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    face_delete_request request{};
    face_key_record &key = request.key;
    key.size = record_len<face_key_record>();
    key.channel = json_object_get_field_int(jso, "ch", 0);
    if (key.channel < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == -1");
    // The keys are logged as given (-1 when absent) and sent only when given.
    int32_t libkey = json_object_get_field_int(jso, "face_lib_key", -1);
    int32_t facekey = json_object_get_field_int(jso, "face_key", -1);
    if (libkey != -1)
        key.lib_key = libkey;
    if (facekey != -1)
        key.face_key = facekey;
    const char *libuuid = json_object_get_field_string(jso, "libuuid");
    if (libuuid == nullptr)
        ZLOG(kLogError, "libuuid == NULL");
    const char *faceuuid = json_object_get_field_string(jso, "faceuuid");
    if (faceuuid == nullptr)
        ZLOG(kLogError, "faceuuid == NULL");
    copy_uuid(key.libuuid, libuuid);
    copy_uuid(key.faceuuid, faceuuid);

    ZLOG(kLogInfo, "face_set_del_face_pic faceuuid:%s,libuuid:%s,libkey:%d,facekey:%d", or_empty(faceuuid),
         or_empty(libuuid), libkey, facekey);
    // The key record goes out with a face record's length, zeros after it.
    auto reply = sized_record<face_reply>();
    int32_t ret = NetClient_FaceConfig(HostView(host).loginfd(), FACE_CMD_FACE_DELETE, key.channel, &request,
                                       record_len<face_delete_request>(), &reply, record_len<face_reply>());
    if (ret != 0 || reply.iResult != 0)
        return ZREFUSE("!NetClient_FaceConfig :%d result:%d", ret, reply.iResult);
    return 1;
}

int32_t set_host_vca_enable(void *host, int32_t ch, int32_t enable) {
    if (host == nullptr)
        return ZREFUSE("host == NULL");
    HostView dev(host);
    if (NetClient_SetDevConfig(dev.loginfd(), NET_CLIENT_VCA_DEV_ENABLE, ch, &enable, sizeof enable) != 0) {
        ZLOG(kLogError, "NetClient_VCASetConfig failed,host_id:%s,ch:%d,enable:%d", dev.id(), ch, enable);
        return 0;
    }
    if (enable == 1) {
        ZLOG(kLogInfo, "set_host_vca_enable enable:%d", enable);
        return 1;
    }
    // Switching off waits for the device's permission.
    std::optional<bool> accepted = take_analysis_off_answer(host, ch);
    if (accepted == false) {
        ZLOG(kLogError, "NetClient_VCASetConfig() error:no permission,host_id:%s,ch:%d,enable:%d", dev.id(), ch,
             enable);
        return 0;
    }
    if (accepted == true)
        return 1;
    // No answer: the device is taken to have switched off.
    ZLOG(kLogInfo, "set_host_vca_enable enable:%d", enable);
    return 1;
}

namespace {

// Members common to set 23 and set 24: the channel whose analysis to
// suspend and the face to change.
struct SuspendedChange {
    bool suspend = false;
    int32_t ch = 0;
    json_object *face = nullptr;
};

json_object *member_object(json_object *jso, const char *key) {
    json_object *member = json_object_object_get(jso, key);
    return json_object_is_type(member, json_type_object) ? member : nullptr;
}

int32_t read_suspended_change(json_object *jso, SuspendedChange &change) {
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_param)");
    json_object *host_info = member_object(jso, "host_info");
    if (host_info == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_host)");
    change.face = member_object(jso, "face_info");
    if (change.face == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_face)");
    change.suspend = json_object_get_field_int(host_info, "is_suspend_vca", 0) != 0;
    change.ch = json_object_get_field_int(host_info, "ch", 0);
    return 1;
}

// Runs `apply` with the channel's analysis switched off when asked to; the
// analysis is switched on again whatever happened. The result is apply's, or
// 0 when the analysis could not be suspended (apply is then not run).
template <typename Apply> int32_t with_analysis_suspended(void *host, const SuspendedChange &change, Apply apply) {
    HostView dev(host);
    int32_t ok = 0;
    if (change.suspend && set_host_vca_enable(host, change.ch, 0) == 0)
        ZLOG(kLogError, "set_host_vca_enable failed, host_id:%s, enable:0", dev.id());
    else
        ok = apply();
    if (change.suspend && set_host_vca_enable(host, change.ch, 1) == 0)
        ZLOG(kLogError, "set_host_vca_enable failed, host_id:%s, enable:1", dev.id());
    return ok;
}

}  // namespace

int32_t set_face_info_ex(void *host, json_object *jso, char **out_buf) {
    if (!has_host_and_reply(host, out_buf))
        return 0;
    int32_t result = -1;
    SuspendedChange change;
    if (read_suspended_change(jso, change) == 0) {
        reply_errno(out_buf, result);
        return 0;
    }
    int32_t ok = with_analysis_suspended(host, change, [&] {
        int32_t edited = face_edit_info(host, change.face, &result);
        if (edited == 0)
            ZLOG(kLogError, "!face_edit_info hostid:%s", HostView(host).id());
        return edited;
    });
    reply_errno(out_buf, result);
    return ok;
}

int32_t del_face_pic_ex(void *host, json_object *jso) {
    if (!has_host(host))
        return 0;
    SuspendedChange change;
    if (read_suspended_change(jso, change) == 0)
        return 0;
    return with_analysis_suspended(host, change, [&] {
        int32_t deleted = face_set_del_face_pic(host, change.face);
        if (deleted == 0)
            ZLOG(kLogError, "!face_set_del_face_pic hostid:%s", HostView(host).id());
        return deleted;
    });
}

}  // namespace zel
