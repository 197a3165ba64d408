/* Alarm ports and domes of a simulated device. Records arrive as the caller
 * passed them (for Get requests with their request fields preset) and are
 * only read when they are as long as their layout. */
#include "alarm_ptz_store.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <string_view>

namespace device_sdk_sim {
namespace {

/* The alarm output mode that switches the output on. */
constexpr int32_t kOutputOn = 1;

/* A Set request keeps its record under `key`; a Get request reads the kept
 * one back, or leaves the answer to the programmed ones. */
template <typename Key, typename Record>
std::optional<Answer> keep_or_read(std::map<Key, Record> &kept, const Key &key, const Record &record, bool sets) {
    if (sets) {
        kept[key] = record;
        return Answer{};
    }
    auto found = kept.find(key);
    if (found == kept.end())
        return std::nullopt;
    return answer_with(found->second);
}

std::string local_time_text() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[CUR_ALARM_TIME_LEN] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

}  // namespace

std::optional<Answer> AlarmPtzStore::answer(const Call &call, const char *function,
                                            std::vector<sdk_sim_event> &reported) {
    const bool sets_alarm = named(function, "NetClient_SetAlarmConfig");
    if (sets_alarm || named(function, "NetClient_GetAlarmConfig"))
        return alarm_config(call, sets_alarm);

    if (call.cmd == CI_COMMON_ID_WATER_SPEED_ENABLE) {
        if (named(function, "NetClient_SetCommonEnable")) {
            water_speed_ = call.args[0];
            return Answer{};
        }
        if (named(function, "NetClient_GetCommonEnable") && water_speed_)
            return answer_with(*water_speed_);
    }
    if (call.cmd == NET_CLIENT_GETCURALARMINFO && named(function, "NetClient_GetDevConfig"))
        return active_alarms(call);
    if (call.cmd == NET_CLIENT_CRUISE_TEMPLATE) {
        if (named(function, "NetClient_SetDevConfig"))
            return keep_tour(call);
        if (named(function, "NetClient_GetDevConfig"))
            return read_tour(call);
    }

    if (call.cmd == COMMAND_ID_GET_PTZEX || call.cmd == COMMAND_ID_SET_PTZ)
        return dome(call, function, reported);
    return std::nullopt;
}

/* A position query is answered later, by an event; the position itself is
 * then fetched with RecvCommand. */
std::optional<Answer> AlarmPtzStore::dome(const Call &call, const char *function,
                                          std::vector<sdk_sim_event> &reported) {
    const bool sends = named(function, "NetClient_SendCommand");
    if (!sends && !named(function, "NetClient_RecvCommand"))
        return std::nullopt;
    ptz_current_position &position = positions_[call.ch];
    position.size = sizeof position;
    if (call.cmd == COMMAND_ID_SET_PTZ) {
        if (auto move = input_record<ptz_position>(call); sends && move) {
            position.pan = move->pan;
            position.tilt = move->tilt;
            position.zoom = move->zoom;
        }
        return Answer{};
    }
    if (!sends)
        return answer_with(position);
    sdk_sim_event event{};
    event.type = SDK_SIM_EVENT_PTZ_POSITION;
    event.loginfd = call.loginfd;
    event.ch = call.ch;
    event.position[0] = position.pan;
    event.position[1] = position.tilt;
    event.position[2] = position.zoom;
    reported.push_back(event);
    return Answer{};
}

std::optional<Answer> AlarmPtzStore::alarm_config(const Call &call, bool sets) {
    switch (call.cmd) {
    case CMD_ALARM_IN_PORT_PARA:
        if (auto in = input_record<alarm_in_port_para>(call))
            return keep_or_read(inputs_, Port{call.ch, in->inport}, *in, sets);
        return std::nullopt;
    case CMD_ALARM_OUT_PORT_PARA:
        if (auto out = input_record<alarm_out_port_para>(call)) {
            Port port{call.ch, out->iPortNo};
            if (sets && out->mode != kOutputOn)
                switched_on_.erase(port);
            else if (sets && !switched_on_.contains(port))
                switched_on_[port] = local_time_text();
            return keep_or_read(outputs_, port, *out, sets);
        }
        return std::nullopt;
    case CMD_ALARM_WATER_LEVEL_PARA:
        if (auto rule = input_record<water_alarm_para>(call))
            return keep_or_read(water_rules_, WaterRule{call.ch, rule->scene_id, rule->rule_id, rule->algorithm_type},
                                *rule, sets);
        return std::nullopt;
    default: return std::nullopt;
    }
}

/* The outputs of the channel that are on, as other alarms; no analysis
 * alarms. */
Answer AlarmPtzStore::active_alarms(const Call &call) const {
    auto info = std::make_unique<channel_cur_alarm_info>();
    info->vca.size = static_cast<int32_t>(sizeof info->vca - sizeof info->vca.size);
    info->other.size = static_cast<int32_t>(sizeof info->other - sizeof info->other.size);
    for (const auto &[port, since] : switched_on_) {
        if (port.first != call.ch || info->other.count == MAX_CUR_OTHER_ALARMS)
            continue;
        cur_alarm_entry &entry = info->other.entries[info->other.count++];
        entry.alarm_state = 1;
        std::memcpy(entry.alarm_time, since.c_str(), std::min(since.size(), sizeof entry.alarm_time - 1));
        entry.iAlarmType = ALARM_TYPE_PORT;
        entry.event_type = port.second;
    }
    return answer_with(*info);
}

Answer AlarmPtzStore::keep_tour(const Call &call) {
    auto tour = input_record<cruise>(call);
    if (!tour || tour->point_num < 1 || tour->point_num > MAX_CRUISE_POINTS ||
        tour->point_bytes != tour->point_num * static_cast<int32_t>(sizeof(cruise_point)) || tour->ptInfo == nullptr)
        return Answer{-1, std::nullopt, {}};
    Tour kept{*tour, {tour->ptInfo, tour->ptInfo + tour->point_num}};
    kept.record.ptInfo = nullptr;
    tours_[Port{call.ch, tour->cruise_id}] = std::move(kept);
    return Answer{};
}

std::optional<Answer> AlarmPtzStore::read_tour(const Call &call) const {
    auto asked = input_record<cruise>(call);
    if (!asked)
        return std::nullopt;
    auto found = tours_.find(Port{call.ch, asked->cruise_id});
    if (found == tours_.end())
        return std::nullopt;
    std::vector<uint8_t> bytes = bytes_of(&found->second.record);
    for (const cruise_point &stop : found->second.stops) {
        std::vector<uint8_t> more = bytes_of(&stop);
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    return Answer{0, std::nullopt, std::move(bytes)};
}

}  // namespace device_sdk_sim
