// The alarms active on a channel (get 59). The device fills one large
// answer area: analysis alarms first, then the others. An analysis alarm is
// answered once for every sub-type it carries, under that sub-type's event
// number; the others are answered as they are.
#include <cstdlib>
#include <memory>
#include <span>

#include "alarm/alarm_handlers.h"
#include "device_sdk_alarm.h"
#include "handler_support.h"
#include "host_view.h"

namespace zel {
namespace {

// The event number reported for one sub-type bit of an analysis event.
struct SubEvent {
    uint32_t bit;
    int32_t number;
};

constexpr SubEvent kEvent10[] = {{0x1, 30},  {0x2, 27},    {0x4, 26},    {0x8, 29},     {0x10, 32},   {0x20, 28},
                                 {0x40, 31}, {0x400, 121}, {0x800, 122}, {0x1000, 123}, {0x2000, 124}};
constexpr SubEvent kEvent16[] = {{0x1, 97}, {0x2, 98}};
constexpr SubEvent kEvent90[] = {{0x1, 518},  {0x2, 520},  {0x4, 523},  {0x8, 519},
                                 {0x10, 524}, {0x20, 525}, {0x40, 522}, {0x80, 521}};

// The sub-types of an analysis event type, in the order they are answered;
// empty for the event types whose sub-types mean nothing.
std::span<const SubEvent> sub_events(int32_t event_type) {
    switch (event_type) {
    case 10: return kEvent10;
    case 16: return kEvent16;
    case 90: return kEvent90;
    default: return {};
    }
}

constexpr const char *kNoMemory = "is_error(jso_tmp)";

// The members every answered alarm has, `event_type` last.
JsonPtr alarm_object(const cur_alarm_entry &e, int32_t event_type) {
    JsonPtr item = new_object(kNoMemory);
    add_int(item.get(), "device_type", e.device_type, kNoMemory);
    add_int(item.get(), "alarm_state", e.alarm_state, kNoMemory);
    add_text(item.get(), "alarm_time", e.alarm_time, kNoMemory);
    add_int(item.get(), "alarm_type", e.iAlarmType, kNoMemory);
    add_int(item.get(), "scene_id", e.scene_id, kNoMemory);
    add_int(item.get(), "rule_id", e.rule_id, kNoMemory);
    add_int(item.get(), "event_type", event_type, kNoMemory);
    return item;
}

bool add_vca_alarm(const cur_vca_alarm_entry &entry, json_object *list) {
    const cur_alarm_entry &e = entry.alarm;
    if (e.iAlarmType != ALARM_VCA_INFO) {
        ZLOG(kLogError, "cur_vca_alarm_info->iAlarmType != ALARM_VCA_INFO");
        return false;
    }
    std::span<const SubEvent> events = sub_events(e.event_type);
    if (events.empty() || entry.sub_type == 0) {
        ZLOG(kLogError, "sub_type == 0");
        return false;
    }
    for (const SubEvent &s : events) {
        if ((entry.sub_type & s.bit) == 0)
            continue;
        JsonPtr item = alarm_object(e, s.number);
        add_int(item.get(), "sub_event", s.number, kNoMemory);
        append(list, item.release(), kNoMemory);
    }
    return true;
}

// Both lists, each only when the device reported entries for it; counts
// beyond what the area holds are cut to its capacity.
void add_alarm_lists(const channel_cur_alarm_info &info, json_object *reply) {
    int32_t vca_count = clamp_count(info.vca.count, MAX_CUR_VCA_ALARMS);
    if (vca_count > 0) {
        JsonPtr list = new_array("is_error(jso_array)");
        for (int32_t i = 0; i < vca_count; ++i)
            if (!add_vca_alarm(info.vca.entries[i], list.get()))
                ZLOG(kLogError, "get_mp_vca_event_type() failed");
        add(reply, "cur_vca_alarm_info", list.release(), "is_error(jso_array)");
    }
    int32_t other_count = clamp_count(info.other.count, MAX_CUR_OTHER_ALARMS);
    if (other_count > 0) {
        JsonPtr list = new_array("is_error(jso_array)");
        for (int32_t i = 0; i < other_count; ++i) {
            const cur_alarm_entry &e = info.other.entries[i];
            append(list.get(), alarm_object(e, e.event_type).release(), kNoMemory);
        }
        add(reply, "cur_no_vca_alarm_info", list.release(), "is_error(jso_array)");
    }
}

struct FreeArea {
    void operator()(channel_cur_alarm_info *p) const { std::free(p); }
};

// Asks the device for the channel's alarms and adds them to the reply;
// the device's result.
int32_t read_current_alarms(const HostView &dev, int32_t ch, json_object *reply) {
    std::unique_ptr<channel_cur_alarm_info, FreeArea> info(static_cast<channel_cur_alarm_info *>(
        xcalloc(1, sizeof(channel_cur_alarm_info), "channel_cur_alarm_info == NULL")));
    // Each part's size field counts the bytes that follow it.
    info->vca.size = static_cast<int32_t>(sizeof info->vca - sizeof info->vca.size);
    info->other.size = static_cast<int32_t>(sizeof info->other - sizeof info->other.size);
    int32_t returned = 0;
    int32_t ret = NetClient_GetDevConfig(dev.loginfd(), NET_CLIENT_GETCURALARMINFO, ch, info.get(),
                                         record_len<channel_cur_alarm_info>(), &returned);
    if (ret < 0) {
        ZLOG(kLogError, "NetClient_GetDevConfig(), NET_CLIENT_GETCURALARMINFO,host_id : %s, ch : %d, error : %lx",
             dev.id(), ch, sdk_error());
        return ret;
    }
    add_alarm_lists(*info, reply);
    return ret;
}

}  // namespace

int32_t get_cur_alarm_info(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    int32_t ret = -1;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        ZLOG(kLogError, "ch == -1");
    else
        ret = read_current_alarms(HostView(host), ch, reply.get());
    add_int(reply.get(), "ret", ret);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

}  // namespace zel
