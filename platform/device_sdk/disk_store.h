/* The disks and recordings of one simulated device: its disk inventory with
 * SMART data, quotas and file parameters per channel, the weekly schedules,
 * the burner, and the recording missions that become back-fill tasks. What a
 * disk reports later (SMART data, a usage change, the load figures) is handed
 * back as events. */
#ifndef PLATFORM_DEVICE_SDK_DISK_STORE_H
#define PLATFORM_DEVICE_SDK_DISK_STORE_H

#include "device_sdk_storage.h"
#include "sim_engine.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace device_sdk_sim {

class DiskStore {
  public:
    DiskStore(int32_t loginfd, int32_t channels, int32_t kind);
    /* The device's answer to `call` of `function` (canonical name), or
     * nothing for a request the disks leave to others. */
    std::optional<Answer> answer(const Call &call, const char *function, std::vector<sdk_sim_event> &reported);

  private:
    struct Disk {
        HardDiskEntry entry;
        HardDiskSmartMsg smart;
    };
    struct Task {
        std::string mission_id;
        int32_t ch;
        int64_t start_time;
        int64_t end_time;
        int32_t progress; /* ten-thousandths */
        bool stopped;
    };
    using Schedule = std::array<std::array<int32_t, NET_FILE_SCHEDULE_TEMPLATES>, 7>;

    Disk *disk(int32_t number);
    Task *task(const char *mission_id, size_t width);
    bool has_channel(int32_t ch) const { return ch >= 0 && ch < channels_; }
    Schedule &schedule(int32_t ch);

    Answer disk_count() const;
    std::optional<Answer> ability(const Call &call) const;
    Answer inventory() const;
    Answer disk_request(const Call &call, std::vector<sdk_sim_event> &reported);
    Answer set_usage(const Call &call, std::vector<sdk_sim_event> &reported);
    Answer system_load(std::vector<sdk_sim_event> &reported) const;
    Answer set_quota(const Call &call);
    Answer quota(const Call &call) const;
    Answer set_file_param(const Call &call);
    Answer file_param(const Call &call) const;
    Answer file_schedule(const Call &call);
    Answer burn(const Call &call);
    Answer burner_status(const Call &call) const;
    std::optional<Answer> cmd_config(const Call &call);
    Answer add_mission(const Call &call);
    Answer query_task(const Call &call);
    Answer stop_task(const Call &call);
    Answer list_tasks(const Call &call) const;
    sdk_sim_event device_event(int32_t type, int32_t value, const void *data, size_t len) const;
    sdk_sim_event smart_event(const HardDiskSmartMsg &msg) const;

    int32_t loginfd_;
    int32_t channels_;
    std::vector<Disk> disks_;
    std::map<int32_t, DiskQuota> quotas_;                        /* by channel */
    std::map<std::pair<int32_t, int32_t>, int32_t> file_params_; /* by channel and type */
    std::map<int32_t, Schedule> schedules_;                      /* channels asked about or changed */
    std::vector<Task> tasks_;                                    /* in the order they were added */
    CdBurnStatus burner_{};
};

}  // namespace device_sdk_sim

#endif
