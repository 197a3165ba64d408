// Disk groups: which disks record which channels (set 14, get 14). A group
// names its disks and channels as bits, in low words for the first disks and
// channels and in extension words for the rest.
#include "device_sdk_storage.h"
#include "handler_support.h"
#include "host_view.h"
#include "storage/storage_handlers.h"

namespace zel {
namespace {

// Where the bit of disk `d` or channel `c` lives in a group.
struct GroupBits {
    uint32_t *low;        // words of the numbers below `low_limit`
    uint32_t *extension;  // words of the numbers from `low_limit` on
    int32_t low_limit;    // 64 disks, 128 channels
    int32_t limit;        // 192 disks, 512 channels
};

GroupBits disk_bits(DiskGroup &g) { return {g.disk_bits, g.disk_bits_ex, 64, DISK_GROUP_DISKS}; }
GroupBits channel_bits(DiskGroup &g) { return {g.channel_bits, g.channel_bits_ex, 128, DISK_GROUP_CHANNELS}; }

uint32_t &word_of(const GroupBits &bits, int32_t n) {
    return n < bits.low_limit ? bits.low[n / 32] : bits.extension[n / 32 - bits.low_limit / 32];
}
bool bit_set(const GroupBits &bits, int32_t n) { return (word_of(bits, n) & (1u << (n % 32))) != 0; }

// Sets the bit of `member` of every object of `list`; numbers of 0 or below
// are ignored, numbers beyond the group's range are logged and left out.
void set_bits(json_object *list, const char *member, const GroupBits &bits) {
    size_t count = json_object_array_length(list);
    for (size_t i = 0; i < count; ++i) {
        int32_t n = json_object_get_field_int(json_object_array_get_idx(list, i), member, -1);
        if (n <= 0)
            continue;
        if (n >= bits.limit) {
            ZLOG(kLogError, "value is too large %s:%d", member, n);
            continue;
        }
        word_of(bits, n) |= 1u << (n % 32);
    }
}

json_object *array_member(json_object *obj, const char *key) {
    json_object *value = json_object_object_get(obj, key);
    return json_object_is_type(value, json_type_array) ? value : nullptr;
}

// One group of the command: its number, disks and channels.
void read_group(json_object *element, DiskGroup &group) {
    group.size = record_len<DiskGroup>();
    int32_t group_no = json_object_get_field_int(element, "group_no", -1);
    if (group_no < 0) {
        ZLOG(kLogError, "group_no == -1");
        return;
    }
    group.group_no = group_no;
    if (json_object *disks = array_member(element, "disks"))
        set_bits(disks, "diskno", disk_bits(group));
    else
        ZLOG(kLogError, "json_object_object_get jso_disks error");
    if (json_object *channels = array_member(element, "channel"))
        set_bits(channels, "ch", channel_bits(group));
    else
        ZLOG(kLogError, "json_object_object_get jso_channels error");
}

}  // namespace

int32_t set_disk_group(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    json_object *list = array_member(jso, "param");
    if (list == nullptr)
        return ZFAIL(CMD_ZEL_EINVAL, "json_object_object_get jso_array error");

    DiskGroup groups[MAX_DISK_GROUP_NUM] = {};
    size_t count = json_object_array_length(list);
    for (size_t index = 0; index < count; ++index) {
        if (index > MAX_DISK_GROUP_NUM - 1) {
            ZLOG(kLogError, "group_count > MAX_DISK_GROUP_NUM -1");
            break;
        }
        read_group(json_object_array_get_idx(list, index), groups[index]);
    }
    int32_t ret = NetClient_SetDiskGroup(HostView(host).loginfd(), groups, MAX_DISK_GROUP_NUM);
    if (ret < 0)
        return ZFAIL(CMD_ZEL_EDEVICE, "!NetClient_SetDiskGroup err:%d", ret);
    return 1;
}

namespace {

// A listed group: its number, its disks below the device's disk count, and
// its channels when it has any.
bool add_group(json_object *content, DiskGroup &group, int32_t disk_count) {
    JsonPtr item = new_object("is_error(jso_group)");
    add_int(item.get(), "group_no", group.group_no, "is_error(jso_group)");
    JsonPtr disks = new_array("is_error(jso_disks)");
    GroupBits dbits = disk_bits(group);
    for (int32_t d = 0; d < disk_count; ++d)
        if (bit_set(dbits, d))
            append(disks.get(), json_object_new_int(d), "is_error(jso_disks)");
    add(item.get(), "disks", disks.release(), "is_error(jso_disks)");

    GroupBits cbits = channel_bits(group);
    bool any_channel = false;
    for (int32_t c = 0; c < DISK_GROUP_CHANNELS; c += 32)
        any_channel = any_channel || word_of(cbits, c) != 0;
    if (any_channel) {
        json_object *channels = json_object_new_array();
        if (channels == nullptr)
            return ZREFUSE("is_error(jso_channels) ");
        add(item.get(), "channels", channels, "is_error(jso_channels) ");
        for (int32_t c = 0; c < DISK_GROUP_CHANNELS; ++c)
            if (bit_set(cbits, c))
                append(channels, json_object_new_int(c), "is_error(jso_channels) ");
    }
    append(content, item.release(), "is_error(jso_group)");
    return true;
}

}  // namespace

int32_t get_disk_group(void *host, char **out_buf) {
    if (!has_host_and_reply(host, out_buf, {.host_id = ", host_id:%s"}))
        return 0;
    HostView view(host);
    DiskCountConfig disk_count{};
    int32_t returned = 0;
    int32_t ret = NetClient_GetDevConfig(view.loginfd(), NET_CLIENT_DISK_COUNT, 0, &disk_count,
                                         record_len<DiskCountConfig>(), &returned);
    if (ret != 0)
        return ZREFUSE("NetClient_GetDevConfig filed,result : %d", ret);
    DiskGroup groups[MAX_DISK_GROUP_NUM] = {};
    for (DiskGroup &g : groups)
        g.size = record_len<DiskGroup>();
    if (NetClient_GetDiskGroup(view.loginfd(), groups, MAX_DISK_GROUP_NUM) != 0)
        return ZREFUSE("NetClient_GetDiskGroup() failed,host id is %s", view.id());

    JsonPtr reply = new_object("is_error(jso_ret)");
    JsonPtr content = new_array("is_error(jso_ret)");
    int32_t disks = clamp_count(disk_count.disk_count, DISK_GROUP_DISKS);
    for (DiskGroup &g : groups) {
        if (g.disk_bits[0] == 0 || g.group_no < 0 || g.group_no >= MAX_DISK_GROUP_NUM)
            continue;
        if (!add_group(content.get(), g, disks))
            return 0;
    }
    add(reply.get(), "content", content.release());
    return reply_document(out_buf, reply.get(), {"*out_buf == NULL"}, "buf_ret == NULL") ? 1 : 0;
}

}  // namespace zel
