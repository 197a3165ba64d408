// What a channel keeps on the recorder's disks: its record and picture
// quotas (set 15, get 15), its recorded-file parameters (set 16, get 16) and
// its weekly recording schedule (get 17).
#include "device_sdk_storage.h"
#include "handler_support.h"
#include "host_view.h"
#include "storage/storage_handlers.h"

namespace zel {
namespace {

constexpr IntMember<DiskQuota> kQuotaMembers[] = {
    {"record_quota", &DiskQuota::record_quota},
    {"picture_quota", &DiskQuota::picture_quota},
};

}  // namespace

int32_t nvr_set_diskquota_state(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0;
    auto quota = sized_record<DiskQuota>();
    if (!read_non_negative(jso, "ch", ch, "ch == -1") || !read_required_members<DiskQuota>(jso, kQuotaMembers, quota))
        return 0;
    ZLOG(kLogInfo, "nvr_set_diskquota_state Record_quota:%d,Picture_quota:%d", quota.record_quota, quota.picture_quota);
    int32_t ret = NetClient_SetDiskQuota(HostView(host).loginfd(), ch, &quota, record_len<DiskQuota>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "!NetClient_SetDiskQuota err:%d", ret);
    return 1;
}

int32_t get_diskquota_state(void *host, json_object *jso, char **out_buf) {
    if (!has_host_and_reply(host, out_buf))
        return 0;
    int32_t ch = 0;
    if (!read_non_negative(jso, "ch", ch, "ch == -1"))
        return 0;
    HostView view(host);
    int32_t total = -1;
    int32_t ret = NetClient_GetDiskQuotaState(view.loginfd(), ch, DISK_QUOTA_STATE_TOTAL, &total,
                                              static_cast<int32_t>(sizeof total));
    if (ret != 0)
        return ZREFUSE("!NetClient_GetDiskQuotaState err:%d", ret);
    auto quota = sized_record<DiskQuota>();
    ret = NetClient_GetDiskQuotaState(view.loginfd(), ch, DISK_QUOTA_STATE_QUOTA, &quota, record_len<DiskQuota>());
    if (ret != 0)
        return ZREFUSE("!NetClient_GetDiskQuotaState err:%d", ret);

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", 0);
    JsonPtr param = new_object("is_error(jso_param)");
    add_int(param.get(), "total", total, "is_error(jso_param)");
    add_members<DiskQuota>(param.get(), kQuotaMembers, quota, "is_error(jso_param)");
    add(reply.get(), "param", param.release(), "is_error(jso_param)");
    return reply_document(out_buf, reply.get(), {"*out_buf == NULL!"}) ? 1 : 0;
}

int32_t nvr_set_channel_param(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = 0;
    auto param = sized_record<NetFileChannelParam>();
    if (!read_non_negative(jso, "ch", ch, "ch == -1") || !read_required(jso, "type", param.type) ||
        !read_required(jso, "value", param.value))
        return 0;
    ZLOG(kLogInfo, "nvr_set_channel_param type:%d,value:%d", param.type, param.value);
    int32_t ret = NetClient_NetFileSetChannelParam(HostView(host).loginfd(), ch, 0, &param);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "!NetClient_NetFileSetChannelParam err:%d", ret);
    return 1;
}

int32_t get_channel_param(void *host, json_object *jso, char **out_buf) {
    if (!has_host_and_reply(host, out_buf))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch == %d", ch);
    // Read with a size field of 0: the device fills the record.
    NetFileChannelParam param{};
    param.type = json_object_get_field_int(jso, "type", -1);
    if (param.type < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "type == %d", param.type);
    int32_t ret = NetClient_NetFileGetChannelParam(HostView(host).loginfd(), ch, 0, &param);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ret ==%d", ret);

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", 0);
    JsonPtr value = new_object("is_error(jso_param)");
    add_int(value.get(), "value", param.value, "is_error(jso_param)");
    add(reply.get(), "param", value.release(), "is_error(jso_param)");
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t get_netfile_schedule(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    int32_t ch = 0;
    NetFileSchedule schedule{};
    if (!read_non_negative(jso, "ch", ch, "ch == -1") ||
        !read_non_negative(jso, "weekday", schedule.weekday, "weekday == -1"))
        return 0;
    int32_t ret =
        NetClient_NetFileGetSchedule(HostView(host).loginfd(), ch, 0, &schedule, record_len<NetFileSchedule>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_EINVAL, "NetClient_NetFileGetSchedule failed ret == %d", ret);

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", 0);
    JsonPtr templates = new_array("is_error(jso_array_param)");
    for (int32_t t = 0; t < NET_FILE_SCHEDULE_TEMPLATES; ++t) {
        JsonPtr entry = new_object("is_error(jso_param)");
        add_int(entry.get(), "template", t, "is_error(jso_param)");
        add_int(entry.get(), "enable", schedule.enable[t], "is_error(jso_param)");
        append(templates.get(), entry.release(), "is_error(jso_param)");
    }
    add(reply.get(), "param", templates.release(), "is_error(jso_array_param)");
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
