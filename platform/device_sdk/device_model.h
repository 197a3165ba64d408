/* The simulated devices: a device per login handle, with a channel count and
 * a kind, that keeps what Set requests write and gives it back to the
 * matching Get requests. Calls on a login without a device, and requests the
 * model does not know, are left to the programmed answers. */
#ifndef PLATFORM_DEVICE_SDK_DEVICE_MODEL_H
#define PLATFORM_DEVICE_SDK_DEVICE_MODEL_H

#include "alarm_ptz_store.h"
#include "disk_store.h"
#include "face_store.h"
#include "settings_store.h"
#include "sim_engine.h"
#include "video_store.h"
#include "xml_documents.h"

#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace device_sdk_sim {

class DeviceModel {
  public:
    void add_device(int32_t loginfd, int32_t channels, int32_t kind);
    void clear();
    bool has_device(int32_t loginfd) const { return devices_.contains(loginfd); }
    /* The device's answer to `call`, or nothing when the call is not the
     * model's to answer. `function` is the canonical function name. What the
     * device will report later (an analysis switch answered, ...) is appended
     * to `reported`, for the platform's event hook. */
    std::optional<Answer> answer(const Call &call, const char *function, std::vector<sdk_sim_event> &reported);

  private:
    struct Device {
        int32_t channels;
        int32_t kind;
        FaceStore faces;
        AlarmPtzStore alarms_and_domes;
        VideoStore video;
        SettingsStore settings;
        XmlDocuments xml;
        DiskStore disks;
    };
    /* A kept setting: (login, setting pair, sub-command, channel). */
    using Key = std::tuple<int32_t, size_t, int32_t, int32_t>;

    std::map<int32_t, Device> devices_;
    std::map<Key, std::vector<uint8_t>> settings_;
};

}  // namespace device_sdk_sim

#endif
