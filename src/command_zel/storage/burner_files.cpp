// The optical-disc burner (set 60, get 61) and the recorded files: checks
// against size and MD5 (set 62) and locks (set 69).
#include "device_sdk_storage.h"
#include "handler_support.h"
#include "host_view.h"
#include "storage/storage_handlers.h"

namespace zel {
namespace {

constexpr Opening kWithHostId = {.host_id = ", host_id:%s"};
// Burner requests address the device, not a channel.
constexpr int32_t kBurnerChannel = -1;

// A member that must be 0 or more, refused with "<key> < 0, host_id:%s".
bool read_burner_member(json_object *jso, const char *key, int32_t &value, const HostView &view) {
    value = json_object_get_field_int(jso, key, -1);
    return value >= 0 || ZFAIL(CMD_ZEL_EINVAL, "%s < 0, host_id:%s", key, view.id());
}

}  // namespace

int32_t set_cdburn_cmd(void *host, json_object *jso) {
    if (!has_command(host, jso, kWithHostId))
        return 0;
    HostView view(host);
    int32_t cmd = 0;
    CdBurnCmd burn{};
    if (!read_burner_member(jso, "cmd", cmd, view) || !read_burner_member(jso, "cdromid", burn.cdromid, view) ||
        !read_burner_member(jso, "flagbits", burn.flagbits, view))
        return 0;
    int32_t ret = NetClient_SetCDBurnConfig(view.loginfd(), kBurnerChannel, cmd, &burn, record_len<CdBurnCmd>());
    if (ret != 0)
        return ZREFUSE("NetClient_SetCDBurnConfig() failed, host_id:%s, cmd:%d, cdromid:%d, flagbits:%d, ret:%d, "
                       "err_code:%lx",
                       view.id(), cmd, burn.cdromid, burn.flagbits, ret, sdk_error());
    return 1;
}

int32_t get_cdburn_status(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, kWithHostId))
        return 0;
    HostView view(host);
    CdBurnStatus status{};
    if (!read_burner_member(jso, "cdromid", status.cdromid, view))
        return 0;
    int32_t ret = NetClient_GetCDBurnConfig(view.loginfd(), kBurnerChannel, CDBURN_CMD_GET_STATUS, &status,
                                            record_len<CdBurnStatus>());
    if (ret != 0)
        return ZREFUSE("NetClient_GetCDBurnConfig()-CDBURN_CMD_GET_STATUS failed, host_id:%s, cdromid:%d, ret:%d, "
                       "err_code:%lx",
                       view.id(), status.cdromid, ret, sdk_error());

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "cdromid", status.cdromid);
    add_int(reply.get(), "state", status.state);
    add_int(reply.get(), "total", status.total);
    add_int(reply.get(), "free", status.free);
    add_text(reply.get(), "filename", status.filename);
    add_text(reply.get(), "filemd5", status.filemd5);
    add_int(reply.get(), "driverstate", status.driver_state);
    add_int(reply.get(), "diskstate", status.disk_state);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t check_disk_file(void *host, json_object *jso) {
    if (!has_command(host, jso, kWithHostId))
        return 0;
    const char *path = json_object_get_field_string(jso, "file_path");
    if (path == nullptr)
        return ZREFUSE("check_file_path == NULL");
    int64_t size = json_object_get_field_int64(jso, "file_size", -1);
    if (size == -1)
        return ZREFUSE("file_size == -1");
    const char *md5 = json_object_get_field_string(jso, "file_md5");
    if (md5 == nullptr)
        return ZREFUSE("(file_md5 == \tNULL");

    CheckDiskFile check{};
    copy_text(check.file_path, path);
    check.file_size = size;
    copy_text(check.file_md5, md5);
    CheckDiskFileResult answer{};
    HostView view(host);
    if (NetClient_CmdConfig(view.loginfd(), CMD_CHECK_DISKFILE, 0, &check, record_len<CheckDiskFile>(), &answer,
                            record_len<CheckDiskFileResult>()) != 0)
        return ZREFUSE("NetClient_CmdConfig CMD_CHECK_DISKFILE failed, host_id: %s, err: %lx", view.id(), sdk_error());
    return 1;
}

int32_t lock_record_file(void *host, json_object *jso) {
    if (!has_host(host))
        return 0;
    HostView view(host);
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "is_error(jso_param), host_id:%s", view.id());
    const char *filename = json_object_get_field_string(jso, "filename");
    if (filename == nullptr)
        return ZREFUSE("filename == NULL ");
    int32_t lock = json_object_get_field_int(jso, "lock", -1);
    if (lock != 0 && lock != 1)
        return ZREFUSE("lock != 0 && lock != 1, host_id:%s", view.id());
    int32_t ret = NetClient_NetFileLockFile(view.loginfd(), filename, lock);
    if (ret != 0)
        return ZREFUSE("NetClient_NetFileLockFile--CI_HASH_CHECK failed, ret:%d, host_id:%s, filename:%s", ret,
                       view.id(), filename);
    return 1;
}

}  // namespace zel
