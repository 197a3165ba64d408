// Moving a dome (set 38) and bare channel commands (set 39).
//
// A move may keep some coordinates (given as -1). The device is then asked
// for its position; it reports it on the platform's event channel, and the
// platform marks the host record once it has one. The position is fetched
// after that mark, which the platform never clears: once a host has
// reported, later moves fetch at once.
#include <optional>

#include "device_sdk_ptz.h"
#include "handler_support.h"
#include "host_view.h"
#include "ptz/ptz_handlers.h"

namespace zel {
namespace {

constexpr int32_t kKeep = -1;
constexpr int32_t kPositionPolls = 500;
constexpr int32_t kPollPauseMs = 10;

struct Position {
    int32_t pan;
    int32_t tilt;
    int32_t zoom;
};

std::optional<Position> get_current_ptz(const HostView &dev, int32_t channel) {
    int32_t ret = NetClient_SendCommand(dev.loginfd(), COMMAND_ID_GET_PTZEX, channel, nullptr, 0);
    if (ret != 0) {
        ZLOG(kLogError, "<get_current_ptz> NetClient_SendCommand COMMAND_ID_GET_PTZEX failed.hostId = %s, ret:%d",
             dev.id(), ret);
        return std::nullopt;
    }
    for (int32_t i = 0; i < kPositionPolls && dev.load_flag(host_field::kIsRecvdPtzPos) == 0; ++i)
        os_sleep(kPollPauseMs);
    if (dev.load_flag(host_field::kIsRecvdPtzPos) == 0) {
        ZLOG(kLogError, "<get_current_ptz> !host->is_recvd_ptz_pos");
        return std::nullopt;
    }
    auto answer = sized_record<ptz_current_position>();
    ret = NetClient_RecvCommand(dev.loginfd(), COMMAND_ID_GET_PTZEX, channel, &answer,
                                record_len<ptz_current_position>());
    if (ret < 0) {
        ZLOG(kLogError, "<get_current_ptz> NetClient_RecvCommand < 0,hostId = %s,ret = %d", dev.id(), ret);
        return std::nullopt;
    }
    return Position{answer.pan, answer.tilt, answer.zoom};
}

// A member of the move, refused below `lowest`; absent reads -2.
bool read_move_member(json_object *jso, const char *key, int32_t &value, int32_t lowest, const HostView &dev) {
    value = json_object_get_field_int(jso, key, -2);
    return value >= lowest || ZFAIL(CMD_ZEL_EINVAL, "<absolute_coordinates> host.ID : %s,%s < 0", dev.id(), key);
}

void keep_current(int32_t &coordinate, int32_t current) {
    if (coordinate == kKeep)
        coordinate = current;
}

}  // namespace

int32_t absolute_coordinates(void *host, json_object *jso) {
    if (!has_command(host, jso, {.prefix = "<absolute_coordinates> "}))
        return 0;
    HostView dev(host);
    int32_t channel = 0;
    auto position = sized_record<ptz_position>();
    if (!read_move_member(jso, "channel", channel, 0, dev) || !read_move_member(jso, "type", position.type, 0, dev) ||
        !read_move_member(jso, "pan", position.pan, kKeep, dev) ||
        !read_move_member(jso, "tilt", position.tilt, kKeep, dev) ||
        !read_move_member(jso, "zoom", position.zoom, kKeep, dev))
        return 0;

    if (position.pan == kKeep || position.tilt == kKeep || position.zoom == kKeep) {
        std::optional<Position> current = get_current_ptz(dev, channel);
        if (!current)
            return ZREFUSE("<absolute_coordinates> get_current_ptz faild!!");
        keep_current(position.pan, current->pan);
        keep_current(position.tilt, current->tilt);
        keep_current(position.zoom, current->zoom);
    }
    ZLOG(kLogError, "<absolute_coordinates> type :%d,pan : %d,tilt : %d,zoom : %d", position.type, position.pan,
         position.tilt, position.zoom);
    int32_t ret =
        NetClient_SendCommand(dev.loginfd(), COMMAND_ID_SET_PTZ, channel, &position, record_len<ptz_position>());
    if (ret != 0)
        return ZREFUSE("<absolute_coordinates> NetClient_SendCommand COMMAND_ID_SET_PTZ failed. ret:%d", ret);
    return 1;
}

int32_t send_channel_command(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch == -1)
        ch = kAllChannels;
    int32_t ret = NetClient_SendCommand(HostView(host).loginfd(), COMMAND_ID_CHANNEL_COMMAND, ch, nullptr, 0);
    if (ret != 0)
        return ZREFUSE("NetClient_SendCommand failed ch:%d, ret:%d", ch, ret);
    return 1;
}

}  // namespace zel
