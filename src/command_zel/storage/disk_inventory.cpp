// The disk inventory (get 66): every disk the device reports, with its sizes
// in the device's unit, state and usage.
#include "storage/storage_handlers.h"
#include "storage/storage_support.h"

namespace zel {

int32_t get_hard_disk_info(void *host, char **out_buf) {
    if (!has_host_and_reply(host, out_buf, {.host_id = ", host_id:%s"}))
        return 0;
    int32_t ret = 0;
    auto info = read_disk_inventory(HostView(host), ret);
    if (ret != 0)
        return ZREFUSE("NetClient_GetDevConfig_V5(host->loginfd, NETCLIENT_GET_HARDDISKINFO_V5, NULL, 0, &disk_state, "
                       "sizeof(HardDiskInfo)) failed");

    JsonPtr reply = new_object("is_error(jso)");
    JsonPtr disks = new_array("is_error(jso_disk_info)");
    const char *what = "is_error(jso_disk_info_ex)";
    for (const HardDiskEntry &d : info->disks) {
        if (d.uiTotalSpace == 0)
            continue;
        JsonPtr disk = new_object(what);
        add_int(disk.get(), "iDiskType", d.iDiskType, what);
        add_int(disk.get(), "iDiskNumber", d.iDiskNumber, what);
        // The sizes are unsigned: above 2^31 they are still reported as they are.
        add_int64(disk.get(), "uiTotalSpace", d.uiTotalSpace, what);
        add_int64(disk.get(), "uiFreeSpace", d.uiFreeSpace, what);
        add_int(disk.get(), "wPartNum", d.wPartNum, what);
        add_int(disk.get(), "wStatus", d.wStatus, what);
        add_int(disk.get(), "wUsage", d.wUsage, what);
        add_int(disk.get(), "iExpCabinetNo", d.iExpCabinetNo, what);
        append(disks.get(), disk.release(), what);
    }
    add(reply.get(), "disk_info", disks.release(), "is_error(jso_disk_info)");
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
