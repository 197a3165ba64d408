/* Settings kept by the simulated devices.
 *
 * Each pair below joins a Set request to the Get request that reads the same
 * setting back. A record setting keeps the Set request's input record; a
 * value setting keeps its first scalar argument (a switch), which the Get
 * request hands back as its integer output. A Get request before any Set of
 * that setting is left to the programmed answers (by default: success,
 * nothing written). Frame rates, size codes and byte rates are kept per
 * stream by the picture settings (video_store.cpp). */
#include "device_model.h"

#include "upgrade_runner.h"

#include <cstring>
#include <string_view>

namespace device_sdk_sim {
namespace {

enum class Kept { Record, Value };

struct SettingPair {
    const char *setter;
    const char *getter;
    Kept kept;
    /* The sub-command both sides are filed under; null keeps the call's own. */
    int32_t (*file_cmd)(int32_t cmd);
};

/* Both directions of the digital-channel record use their own sub-command (0
 * read, 1 write); the FTP snapshot record is written with 0 and read with 4. */
int32_t any_cmd(int32_t) { return SDK_SIM_ANY; }
int32_t ftp_cmd(int32_t cmd) { return cmd == 0 ? 4 : cmd; }

constexpr SettingPair kPairs[] = {
    {"NetClient_SetDevConfig", "NetClient_GetDevConfig", Kept::Record, nullptr},
    {"NetClient_VCASetConfig", "NetClient_VCAGetConfig", Kept::Record, nullptr},
    {"NetClient_SetAlarmConfig", "NetClient_GetAlarmConfig", Kept::Record, nullptr},
    {"NetClient_SetDomePTZ", "NetClient_GetDomePTZ", Kept::Record, nullptr},
    {"NetClient_SetDiskGroup", "NetClient_GetDiskGroup", Kept::Record, nullptr},
    {"NetClient_SetDigitalChannelConfig", "NetClient_GetDigitalChannelConfig", Kept::Record, any_cmd},
    {"NetClient_SetFTPUploadConfig", "NetClient_GetFTPUploadConfig", Kept::Record, ftp_cmd},
    {"NetClient_SetDzTransparentPara", "NetClient_GetDzTransparentPara", Kept::Record, nullptr},
    {"NetClient_SetCommonEnable", "NetClient_GetCommonEnable", Kept::Value, nullptr},
};

/* SetDevConfig sub-command switching a channel's video analysis; its record
 * starts with the switch (0 off, 1 on). */
constexpr int32_t kDevAnalysisSwitch = 32;

bool switched_off(const Call &call) {
    int32_t enable = 1;
    if (call.in != nullptr && call.in_len >= static_cast<int64_t>(sizeof enable))
        std::memcpy(&enable, call.in, sizeof enable);
    return enable == 0;
}

std::vector<uint8_t> int_bytes(int32_t value) {
    std::vector<uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

/* Version texts of the device: eight 64-byte fields. */
std::vector<uint8_t> version_record(int32_t kind) {
    const char *texts[8] = {"4.19.0", "3.2.7", kind == SDK_SIM_RECORDER ? "NVR 5.1.2" : "IPC 5.1.2",
                            "2.8.0",  "21.12", "1.4.3",
                            "2.0.1",  "6.0.9"};
    std::vector<uint8_t> record(8 * 64, 0);
    for (size_t i = 0; i < 8; ++i)
        std::memcpy(record.data() + i * 64, texts[i], std::strlen(texts[i]));
    return record;
}

}  // namespace

void DeviceModel::add_device(int32_t loginfd, int32_t channels, int32_t kind) {
    devices_.insert_or_assign(
        loginfd,
        Device{channels, kind, {}, {}, {}, SettingsStore(channels, kind), {}, DiskStore(loginfd, channels, kind)});
    std::erase_if(settings_, [loginfd](const auto &entry) { return std::get<0>(entry.first) == loginfd; });
}

void DeviceModel::clear() {
    devices_.clear();
    settings_.clear();
}

std::optional<Answer> DeviceModel::answer(const Call &call, const char *function,
                                          std::vector<sdk_sim_event> &reported) {
    auto device = devices_.find(call.loginfd);
    if (device == devices_.end())
        return std::nullopt;

    Device &dev = device->second;
    if (named(function, "NetClient_FaceConfig"))
        return dev.faces.face_config(call);
    if (named(function, "NetClient_HttpXmlConfig"))
        return dev.xml.http(call, dev.channels);
    if (named(function, "NetClient_XmlSetDevConfig"))
        return dev.xml.set_config(call, dev.channels);
    if (named(function, "NetClient_XmlGetDevConfig"))
        return dev.xml.get_config(call, dev.channels);
    if (named(function, "NetClient_GetDevConfig") && call.cmd == NET_CLIENT_FACE_LIB_COUNT)
        return device->second.faces.counts();
    // Switching a channel's analysis off needs the device's consent, which
    // it gives a moment later, as an event; the switch is also kept below.
    if (named(function, "NetClient_SetDevConfig") && call.cmd == kDevAnalysisSwitch && switched_off(call))
        reported.push_back({SDK_SIM_EVENT_ANALYSIS_SWITCH, call.loginfd, call.ch, SDK_SIM_ANALYSIS_ACCEPTED});

    if (auto kept = device->second.alarms_and_domes.answer(call, function, reported))
        return kept;
    if (auto picture = device->second.video.answer(call, function, device->second.channels, device->second.kind))
        return picture;
    // A password change is confirmed by the device a moment later.
    if (named(function, "NetClient_ModifyPwd")) {
        bool filled =
            call.text[0].has_value() && !call.text[0]->empty() && call.text[1].has_value() && !call.text[1]->empty();
        reported.push_back({SDK_SIM_EVENT_PASSWORD_CHANGE, call.loginfd, SDK_SIM_ANY, filled ? 1 : 0});
    }

    if (named(function, "NetClient_GetChannelNum"))
        return Answer{0, std::nullopt, int_bytes(device->second.channels)};
    if (named(function, "NetClient_GetProductTypeEx"))
        return Answer{0, std::nullopt, int_bytes(device->second.kind)};
    if (named(function, "NetClient_GetServerVersion_V1"))
        return Answer{0, std::nullopt, version_record(device->second.kind)};
    if (std::optional<Answer> a = device->second.settings.answer(call, function))
        return a;

    if (std::optional<Answer> a = device->second.disks.answer(call, function, reported))
        return a;

    if (named(function, "NetClient_GetUpgradePercent"))
        return Answer{upgrade_percent(call.loginfd), std::nullopt, {}};

    for (size_t pair = 0; pair < std::size(kPairs); ++pair) {
        const SettingPair &p = kPairs[pair];
        bool sets = named(function, p.setter);
        if (!sets && !named(function, p.getter))
            continue;
        Key key{call.loginfd, pair, p.file_cmd != nullptr ? p.file_cmd(call.cmd) : call.cmd, call.ch};
        if (sets) {
            const auto *bytes = static_cast<const uint8_t *>(call.in);
            settings_[key] =
                p.kept == Kept::Record ? std::vector<uint8_t>(bytes, bytes + call.in_len) : int_bytes(call.args[0]);
            return Answer{};
        }
        auto kept = settings_.find(key);
        if (kept == settings_.end())
            return std::nullopt;
        return Answer{0, std::nullopt, kept->second};
    }
    return std::nullopt;
}

}  // namespace device_sdk_sim
