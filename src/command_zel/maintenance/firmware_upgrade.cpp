// Firmware upgrade: start one on a device (set 29), take the SDK's report of
// its end (upgrade_complete, on the SDK's own thread) and answer its
// progress (get 22). A final report is answered once and then forgotten, so
// the next progress query fails until a new upgrade starts.
#include <cstring>
#include <optional>

#include "device_sdk_maintenance.h"
#include "handler_support.h"
#include "host_view.h"
#include "maintenance/maintenance_handlers.h"
#include "maintenance/upgrade_table.h"
#include "os_lock.h"

namespace zel {
namespace {

constexpr int32_t kStartedHere = 1;
constexpr int32_t kKeyLen = sizeof(int32_t);
constexpr int kIdWidth = static_cast<int>(host_field::kIdSize);

bool in_progress(int32_t state) { return state == kStartedHere || state == UPGRADE_STATE_IN_PROGRESS; }

int32_t state_of(hash_node_t *node) {
    int32_t state;
    std::memcpy(&state, hash_get_value(node), sizeof state);
    return state;
}

void upgrade_complete(int32_t loginfd, int32_t state, int32_t) {
    ZLOG(kLogInfo, "upgrade complete loginfd:%d, state:%d", loginfd, state);
    if (s_host_upgrade_status == nullptr) {
        ZLOG(kLogError, "s_host_upgrade_status == NULL");
        return;
    }
    HashLock lock(s_host_upgrade_status);
    hash_node_t *node = hash_find(s_host_upgrade_status, &loginfd, kKeyLen);
    if (node == nullptr) {
        ZLOG(kLogError, "node == NULL no find upgrade task loginfd:%d", loginfd);
        return;
    }
    std::memcpy(hash_get_value(node), &state, sizeof state);
}

// A device that has an entry keeps it, whatever state it holds.
void note_started(int32_t loginfd) {
    if (s_host_upgrade_status == nullptr)
        return;
    HashLock lock(s_host_upgrade_status);
    if (hash_find(s_host_upgrade_status, &loginfd, kKeyLen) != nullptr)
        return;
    if (hash_add(s_host_upgrade_status, &loginfd, kKeyLen, &kStartedHere, sizeof kStartedHere) == 0)
        die("hash_add upgrade status failed");
}

// The device's state for a progress query, or nothing when no upgrade is
// known; a final state is taken out of the table.
std::optional<int32_t> take_state(int32_t loginfd) {
    HashLock lock(s_host_upgrade_status);
    hash_node_t *node = hash_find(s_host_upgrade_status, &loginfd, kKeyLen);
    if (node == nullptr)
        return std::nullopt;
    int32_t state = state_of(node);
    if (!in_progress(state))
        hash_del(s_host_upgrade_status, node);
    return state;
}

}  // namespace

int32_t upgrade_device(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t upgrade_type = -1;
    const char *file_name = nullptr;
    if (!read_non_negative(jso, "upgrade_type", upgrade_type, {"upgrade_type < 0"}) ||
        !read_text(jso, "filename", file_name, {"file_name == NULL"}))
        return 0;
    HostView dev(host);
    int32_t err = NetClient_Upgrade_V4(dev.loginfd(), file_name, upgrade_type, upgrade_complete);
    if (err != 0) {
        ZLOG(kLogInfo, "NetClient_Upgrade_V4  failed host_id:%.*s, err:%d", kIdWidth, dev.id(), err);
        return 0;
    }
    note_started(dev.loginfd());
    return 1;
}

int32_t get_upgrade_percent(void *host, char **out_buf) {
    if (host == nullptr || out_buf == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "host == NULL || out_buf == NULL");
    if (s_host_upgrade_status == nullptr)
        return ZREFUSE("s_host_upgrade_status == NULL");
    int32_t loginfd = HostView(host).loginfd();
    std::optional<int32_t> state = take_state(loginfd);
    if (!state)
        return 0;
    int32_t ret = *state;
    int32_t pos = 100;
    if (in_progress(*state)) {
        pos = NetClient_GetUpgradePercent(loginfd);
        if (pos < 0)
            return ZREFUSE("pos [%d]< 0 ", pos);
        ret = 1;
    }
    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "ret", ret);
    add_int(reply.get(), "pos", pos);
    return reply_document(out_buf, reply.get(), {"*out_buf == NULL"}, "buf_ret == NULL") ? 1 : 0;
}

}  // namespace zel
