// Disk commands answered by the device's disk event rather than by the SDK
// call: disk usage (set 61), one disk's SMART data (get 84), the device status
// with every disk's health (get 85) and one disk's health (get 89).
//
// Each marks the host as waiting for disk messages, resets what it waits on,
// sends its request and polls the host record, where the platform's event
// thread stores the answer: the SMART message first and its flag last, or a
// disk entry's health word.
#include <cstring>

#include "storage/storage_handlers.h"
#include "storage/storage_support.h"

namespace zel {
namespace {

constexpr char kWaitingCommand[] = "get_common_command";
constexpr size_t kDiskIdAt = offsetof(HardDiskSmartMsg, iDiskId);
constexpr size_t kHealthAt = offsetof(HardDiskSmartMsg, iHealth);
static_assert(sizeof(HardDiskSmartMsg) == host_field::kDiskEntrySize);

// Health of a disk entry before its answer, and the value by which the
// device confirms a usage change.
constexpr int32_t kNoAnswer = -1;
constexpr int32_t kUsageApplied = 5;

constexpr int32_t kUsageReads = 300;
constexpr int32_t kSmartReads = 200;
constexpr int32_t kSmartPauseMs = 50;
constexpr int32_t kDisksReads = 500;
constexpr int32_t kLoadReads = 300;
constexpr int32_t kDiskStatusReads = 800;
constexpr int32_t kPauseMs = 10;

size_t disk_entry(size_t index) { return host_field::kDisks + index * host_field::kDiskEntrySize; }

int32_t entry_health(const HostView &view, size_t index) { return view.load_flag(disk_entry(index) + kHealthAt); }

// The event path takes disk messages only while the host holds this marker.
// It is written only when it differs, so an event being handled for an
// earlier disk never reads it half-written.
void mark_waiting(const HostView &view) {
    char *marker = static_cast<char *>(view.at(host_field::kPendingCommand));
    if (std::strncmp(marker, kWaitingCommand, host_field::kPendingCommandSize) == 0)
        return;
    std::memset(marker, 0, host_field::kPendingCommandSize);
    std::memcpy(marker, kWaitingCommand, sizeof kWaitingCommand);
}

// Every disk entry empty: no disk asked for.
void reset_disk_entries(const HostView &view) {
    for (size_t i = 0; i < host_field::kDiskEntries; ++i) {
        std::memset(view.at(disk_entry(i)), 0, host_field::kDiskEntrySize);
        view.put<int32_t>(disk_entry(i) + kDiskIdAt, -1);
    }
}

// Entry `index` asks for disk `disk`; it is itself the request sent.
void prepare_entry(const HostView &view, size_t index, int32_t disk) {
    view.put<uint32_t>(disk_entry(index), static_cast<uint32_t>(host_field::kDiskEntrySize));
    view.put<int32_t>(disk_entry(index) + kDiskIdAt, disk);
    view.store_flag(disk_entry(index) + kHealthAt, kNoAnswer);
}

int32_t send_entry(const HostView &view, size_t index) {
    return NetClient_SetDevDiskConfig(view.loginfd(), NET_CLIENT_SMART_INFO, kAllChannels, view.at(disk_entry(index)),
                                      record_len<HardDiskSmartMsg>());
}

}  // namespace

int32_t set_disk_usage(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, {.host_id = ", host_id:%s"}))
        return 0;
    int32_t disk_no = 0, usage = 0;
    if (!read_required(jso, "disk_no", disk_no, {nullptr, kKeepErrno}) ||
        !read_required(jso, "usage", usage, {nullptr, kKeepErrno}))
        return 0;
    HostView view(host);
    view.put<int32_t>(disk_entry(0) + kDiskIdAt, disk_no);
    view.store_flag(disk_entry(0) + kHealthAt, 0);
    if (NetClient_DiskSetUsage(view.loginfd(), disk_no, usage) != 0)
        return ZREFUSE("NetClient_DiskSetUsage failed, host_id: %s err:%lx", view.id(), sdk_error());
    bool applied = wait_for_answer(kUsageReads, kPauseMs, [&] { return entry_health(view, 0) == kUsageApplied; });
    reply_result(out_buf, applied ? 0 : -1);
    return 1;
}

namespace {

// Once get 84 is done, whatever its outcome, the answer slot waits for no
// disk any more.
class SmartSlotRelease {
  public:
    explicit SmartSlotRelease(const HostView &view) : view_(view) {}
    ~SmartSlotRelease() { view_.put<int32_t>(host_field::kDiskSmartMsg + kDiskIdAt, -1); }
    SmartSlotRelease(const SmartSlotRelease &) = delete;
    SmartSlotRelease &operator=(const SmartSlotRelease &) = delete;

  private:
    const HostView &view_;
};

// Asks for the SMART data of `disk_no` and waits for it; true when the
// message arrived in the host record.
bool request_smart(const HostView &view, int32_t disk_no) {
    mark_waiting(view);
    auto enable = sized_record<DiskSmartEnable>();
    enable.disk_no = disk_no;
    enable.enable = 1;
    int32_t ret = NetClient_SetDevDiskConfig(view.loginfd(), NET_CLIENT_DISK_SMART_ENABLE, kAllChannels, &enable,
                                             record_len<DiskSmartEnable>());
    if (ret != 0)
        return ZREFUSE("disk_smart_info: NetClient_SetDevDiskConfig NET_CLIENT_DISK_SMART_ENABLE failed, err_code: "
                       "%lx host_id:%s, host_ip:%s, ret:%d, disk_no:%d",
                       sdk_error(), view.id(), view.ip(), ret, disk_no);
    view.put<int32_t>(host_field::kDiskSmartMsg + kDiskIdAt, disk_no);
    view.store_flag(host_field::kDiskSmartReceived, 0);
    auto request = sized_record<HardDiskSmartMsg>();
    request.iDiskId = disk_no;
    ret = NetClient_SetDevDiskConfig(view.loginfd(), NET_CLIENT_SMART_INFO, kAllChannels, &request,
                                     record_len<HardDiskSmartMsg>());
    if (ret != 0)
        return ZREFUSE("disk_smart_info: NetClient_SetDevDiskConfig NET_CLIENT_SMART_INFO failed, err_code:%lx, "
                       "host_id:%s, host_ip:%s, ret:%d, disk_no:%d",
                       sdk_error(), view.id(), view.ip(), ret, disk_no);
    if (!wait_for_answer(kSmartReads, kSmartPauseMs,
                         [&] { return view.load_flag(host_field::kDiskSmartReceived) != 0; }))
        return ZREFUSE("disk_smart_info: Get Disk_Smart_Info Time Out, host_id:%s, host_ip:%s, disk_no:%d", view.id(),
                       view.ip(), disk_no);
    return true;
}

}  // namespace

int32_t disk_smart_info(void *host, json_object *jso, char **out_buf) {
    constexpr Opening kOpening{.prefix = "disk_smart_info: ", .host_id = ", host_id:%s"};
    if (!has_host(host, kOpening))
        return 0;
    HostView view(host);
    SmartSlotRelease release(view);
    if (!has_reply_slot(host, out_buf, kOpening))
        return 0;
    if (jso == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "disk_smart_info: is_error(jso), host_id:%s", view.id());
    int32_t disk_no = json_object_get_field_int(jso, "disk_no", -1);
    if (disk_no < 0)
        return ZREFUSE("disk_smart_info: disk_no < 0, host_id:%s, disk_no:%d", view.id(), disk_no);
    if (!request_smart(view, disk_no))
        return 0;

    HardDiskSmartMsg msg;
    std::memcpy(&msg, view.at(host_field::kDiskSmartMsg), sizeof msg);
    JsonPtr reply(json_object_new_object());
    if (reply == nullptr)
        return ZREFUSE("disk_smart_info: is_error(jso_ret)");
    add_int(reply.get(), "iDiskId", msg.iDiskId);
    add_int(reply.get(), "iTotalPackageNum", msg.iTotalPackageNum);
    add_int(reply.get(), "iCurrentPackageMsgNo", msg.iCurrentPackageMsgNo);
    add_text(reply.get(), "cHDDModel", msg.cHDDModel);
    add_text(reply.get(), "cSericalNum", msg.cSericalNum);
    add_int(reply.get(), "iTemprt", msg.iTemprt);
    add_int(reply.get(), "iUsedTime", msg.iUsedTime);
    add_int(reply.get(), "iHealth", msg.iHealth);
    add_int(reply.get(), "iAllHealth", msg.iAllHealth);
    return reply_document(out_buf, reply.get(), {"disk_smart_info: *out_buf == NULL calloc err!"},
                          "disk_smart_info: jso_string == NULL")
               ? 1
               : 0;
}

namespace {

// Asks every disk of the inventory for its health and adds "disksInfo";
// disks that did not answer in time report -1.
bool get_disks_info(const HostView &view, json_object *reply) {
    int32_t ret = 0;
    auto info = read_disk_inventory(view, ret);
    if (ret != 0)
        return ZREFUSE("NetClient_GetDevConfig_V5 NETCLIENT_GET_HARDDISKINFO_V5 failed, host_id: %s", view.id());
    reset_disk_entries(view);
    // The host record has an entry for each of the inventory's disks.
    int32_t count = clamp_count(info->iDiskCount, MAX_HARDDISK_NUM);
    for (int32_t i = 0; i < count; ++i) {
        prepare_entry(view, i, info->disks[i].iDiskNumber);
        mark_waiting(view);
        if (send_entry(view, i) != 0)
            ZLOG(kLogError, "NetClient_SetDevDiskConfig NET_CLIENT_SMART_INFO failed, err_code:%lx, host_id:%s",
                 sdk_error(), view.id());
    }
    auto all_answered = [&] {
        for (int32_t i = 0; i < count; ++i)
            if (entry_health(view, i) == kNoAnswer)
                return false;
        return true;
    };
    if (wait_for_answer(kDisksReads, kPauseMs, all_answered))
        ZLOG(kLogInfo, "all %d finish!", count);

    const char *what = "is_error(jso_disks_info)";
    JsonPtr disks = new_array(what);
    for (int32_t i = 0; i < count; ++i) {
        const HardDiskEntry &d = info->disks[i];
        JsonPtr disk = new_object(what);
        add_int(disk.get(), "diskNum", d.iDiskNumber, what);
        add_int(disk.get(), "diskVolumn", static_cast<int32_t>(d.uiTotalSpace >> 10), what);
        add_int(disk.get(), "diskFree", static_cast<int32_t>(d.uiFreeSpace >> 10), what);
        add_int(disk.get(), "diskStatus", d.wStatus, what);
        add_int(disk.get(), "smartStatus", entry_health(view, i), what);
        append(disks.get(), disk.release(), what);
    }
    add(reply, "disksInfo", disks.release(), what);
    return true;
}

}  // namespace

int32_t get_host_status(void *host, char **out_buf) {
    if (!has_host_and_reply(host, out_buf, {.host_code = kKeepErrno}))
        return 0;
    HostView view(host);
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "isOnline", view.get<uint32_t>(host_field::kOffline) == 0 ? 1 : 0);
    if (!get_disks_info(view, reply.get()))
        return 0;
    if (NetClient_GetSysInfo(view.loginfd()) != 0)
        return ZREFUSE("!get_ip_property NetClient_GetSysInfo err: %lx, host_id: %s", sdk_error(), view.id());
    // The load figures are reported as they stand when they do not turn
    // current in time.
    wait_for_answer(kLoadReads, kPauseMs, [&] { return view.load_flag(host_field::kStatusValid) != 0; });
    add_int(reply.get(), "cpuUsePercent", view.get<uint8_t>(host_field::kCpuUsePercent));
    add_int(reply.get(), "memUsePercent", view.get<uint8_t>(host_field::kMemUsePercent));
    add_int(reply.get(), "dev_time_dis", 0);
    add(reply.get(), "hostId", field_string(view.id(), host_field::kIdSize));
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t get_host_disk_status(void *host, json_object *jso, char **out_buf) {
    if (host == nullptr || jso == nullptr || out_buf == nullptr) {
        ZLOG(kLogError, "get_host_disk_status host == NULL || jso == NULL || out_buf == NULL");
        return fail_with(host == nullptr ? kKeepErrno : CMD_ZEL_EINVAL);
    }
    int32_t disk_num = json_object_get_field_int(jso, "disk_num", -1);
    if (disk_num < 0)
        return ZREFUSE("get_host_disk_status disk_num:%d < 0", disk_num);
    HostView view(host);
    reset_disk_entries(view);
    mark_waiting(view);
    prepare_entry(view, 0, disk_num);
    if (send_entry(view, 0) != 0)
        return ZREFUSE("get_host_disk_status NetClient_SetDevDiskConfig NET_CLIENT_SMART_INFO failed, err_code:%lx, "
                       "host_id:%s",
                       sdk_error(), view.id());
    if (!wait_for_answer(kDiskStatusReads, kPauseMs, [&] { return entry_health(view, 0) != kNoAnswer; }))
        return ZREFUSE("get disk status timeout !! %d  ip:%s", disk_num, view.ip());
    ZLOG(kLogInfo, "get disk status finish !! %d  ip:%s", disk_num, view.ip());

    JsonPtr reply = new_object("is_error(jso_param)");
    add_int(reply.get(), "diskNum", disk_num, "is_error(jso_param)");
    add_int(reply.get(), "smartStatus", entry_health(view, 0), "is_error(jso_param)");
    HostText no_buffer("get_host_disk_status *out_buf == NULL, host_id : %s", view.id());
    HostText empty("get_host_disk_status jso_str == NULL, host_id : %s", view.id());
    return reply_document(out_buf, reply.get(), {no_buffer.text}, empty.text) ? 1 : 0;
}

}  // namespace zel
