/* The alarm ports and domes of one simulated device: what the alarm and PTZ
 * requests set, what they read back, the alarms active on a channel and the
 * position each channel's dome reports (device_sdk_sim.h describes the
 * behaviour). */
#ifndef PLATFORM_DEVICE_SDK_ALARM_PTZ_STORE_H
#define PLATFORM_DEVICE_SDK_ALARM_PTZ_STORE_H

#include "device_sdk_alarm.h"
#include "device_sdk_ptz.h"
#include "sim_engine.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace device_sdk_sim {

class AlarmPtzStore {
  public:
    /* The device's answer to `call` (of the canonical `function`), or
     * nothing when the request is not one the store answers. What the
     * device reports later is appended to `reported`. */
    std::optional<Answer> answer(const Call &call, const char *function, std::vector<sdk_sim_event> &reported);

  private:
    using Port = std::pair<int32_t, int32_t>;                         /* channel, port */
    using WaterRule = std::tuple<int32_t, int32_t, int32_t, int32_t>; /* channel, scene, rule, algorithm */
    struct Tour {
        cruise record; /* its stop pointer zero */
        std::vector<cruise_point> stops;
    };

    std::optional<Answer> alarm_config(const Call &call, bool sets);
    std::optional<Answer> dome(const Call &call, const char *function, std::vector<sdk_sim_event> &reported);
    Answer active_alarms(const Call &call) const;
    Answer keep_tour(const Call &call);
    std::optional<Answer> read_tour(const Call &call) const;

    std::map<Port, alarm_in_port_para> inputs_;
    std::map<Port, alarm_out_port_para> outputs_;
    std::map<Port, std::string> switched_on_; /* outputs on, and since when */
    std::map<WaterRule, water_alarm_para> water_rules_;
    std::optional<int32_t> water_speed_;
    std::map<int32_t, ptz_current_position> positions_; /* by channel */
    std::map<Port, Tour> tours_;                        /* by channel, cruise id */
};

}  // namespace device_sdk_sim

#endif
