/* The device settings of one simulated device that are more than a record
 * kept and read back: channel connection states, dormancy, vertical
 * water-gauge lines and phone contacts it keeps and pages through, and what
 * it says about itself (abilities, bar code, device mode, alarm ports,
 * report and command records). */
#ifndef PLATFORM_DEVICE_SDK_SETTINGS_STORE_H
#define PLATFORM_DEVICE_SDK_SETTINGS_STORE_H

#include "sim_engine.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace device_sdk_sim {

class SettingsStore {
  public:
    SettingsStore(int32_t channels, int32_t kind);
    /* The device's answer to `call` of `function`, or nothing when the
     * request is not one of these. */
    std::optional<Answer> answer(const Call &call, const char *function);

  private:
    struct Line {
        int32_t line_id;
        int32_t start_distance;
        int32_t bottom_altitude;
        std::vector<std::pair<int32_t, int32_t>> cofe; /* water level, coefficient */
    };
    struct Contact {
        int32_t people_id;
        std::string name;
        std::string phone_number;
        int32_t type;
    };
    struct Dormancy {
        int32_t enable = 0;
        int32_t type = 0;
    };

    static std::vector<Contact> standing_contacts();
    std::optional<Answer> dev_config(const Call &call) const;
    std::optional<Answer> cmd_config(const Call &call);
    Answer set_dormancy(const Call &call);
    Answer dormancy(int32_t ch) const;
    Answer set_line(const Call &call);
    Answer lines(const Call &call) const;
    Answer set_contact(const Call &call);
    Answer contacts(const Call &call) const;
    Answer alarm_ports(int32_t cmd) const;

    int32_t channels_;
    int32_t kind_;
    std::map<int32_t, Dormancy> dormancy_;                           /* by channel */
    std::map<std::pair<int32_t, int32_t>, std::vector<Line>> lines_; /* by channel and scene, ordered by id */
    std::map<int32_t, std::vector<Contact>> contacts_;               /* by channel, ordered by id */
};

}  // namespace device_sdk_sim

#endif
