#include "event_notify.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "cmd_zel.h"
#include "device_sdk_events.h"
#include "handler_support.h"
#include "host_view.h"
#include "message_service.h"
#include "sensor_messages.h"
#include "zel_log.h"

namespace zel {

namespace {

constexpr uint32_t kNorthEventCode = 10501;
constexpr uint32_t kVisualEventCode = 10502;
constexpr uint32_t kAlarmCode = 227;
constexpr uint32_t kAlarmType = 21;

constexpr uint8_t kEventPublication = 150;
constexpr size_t kVisualPayloadSize = 20;
constexpr char kWaitingCommand[] = "get_common_command";

// Text fields of the host record are printed no further than their width,
// so an unterminated field never reads into the next one.
constexpr int kIdWidth = static_cast<int>(host_field::kIdSize);
constexpr int kIpWidth = static_cast<int>(host_field::kIpSize);
constexpr int kExportFilenameWidth = 260;

uint32_t now_seconds() { return static_cast<uint32_t>(std::time(nullptr)); }

// Tells the platform that the configuration export has written its file.
void export_finished(const HostView &host) {
    char text[1024] = {};
    std::snprintf(
        text, sizeof text,
        "{\"type\":%d,\"param\":{\"type\":%d,\"export_host_info\":{\"host_id\":\"%.*s\",\"filename\":\"%.*s\"}}}", 25,
        2, kIdWidth, host.id(), kExportFilenameWidth, host.text(host_field::kExportFilename));
    ms_push_message(kEventPublication, text);
    host.store_flag(host_field::kExportFinished, 1);
    ZLOG(kLogInfo, "WCM_EXPORT_CONFIG_FINISHED, host->host.id: %.*s, host->export_filename:%.*s", kIdWidth, host.id(),
         kExportFilenameWidth, host.text(host_field::kExportFilename));
}

// Hands a SMART answer to the disk command waiting for it: the requested
// disk's message is copied before its flag is raised, and the disk's entry
// gets the reported health.
void disk_smart_message(const HostView &host, const void *data) {
    if (std::strncmp(host.text(host_field::kPendingCommand), kWaitingCommand, host_field::kPendingCommandSize) != 0)
        return;
    if (data == nullptr) {
        ZLOG(kLogError, "host->disk_smart_info.hard_disk_smart_msg == NULL, host_ip:%.*s", kIpWidth, host.ip());
        return;
    }
    HardDiskSmartMsg msg;
    std::memcpy(&msg, data, sizeof msg);
    if (msg.iDiskId < 0) {
        ZLOG(kLogError, "smart_msg->iDiskId < 0, iDiskId:%d, host_ip:%.*s", msg.iDiskId, kIpWidth, host.ip());
        return;
    }
    constexpr size_t kDiskIdAt = offsetof(HardDiskSmartMsg, iDiskId);
    constexpr size_t kHealthAt = offsetof(HardDiskSmartMsg, iHealth);
    if (host.get<int32_t>(host_field::kDiskSmartMsg + kDiskIdAt) == msg.iDiskId) {
        std::memcpy(host.at(host_field::kDiskSmartMsg), &msg, sizeof msg);
        host.store_flag(host_field::kDiskSmartReceived, 1);
    }
    for (size_t i = 0; i < host_field::kDiskEntries; ++i) {
        size_t entry = host_field::kDisks + i * host_field::kDiskEntrySize;
        if (host.get<int32_t>(entry + kDiskIdAt) == msg.iDiskId) {
            host.store_flag(entry + kHealthAt, msg.iHealth);
            break;
        }
    }
}

host_event_cb event_callback(const HostView &host) { return host.get<host_event_cb>(host_field::kEventCb); }

// North events reach the platform with the data past its first word.
void north_event(const HostView &host, void *data) {
    if (data == nullptr) {
        ZLOG(kLogError, "north == NULL");
        return;
    }
    if (host_event_cb cb = event_callback(host))
        cb(host.raw(), kNorthEventCode, now_seconds(), static_cast<char *>(data) + 4);
}

// Visual events reach the platform as a copy of their first 20 bytes.
void visual_event(const HostView &host, const void *data) {
    if (data == nullptr) {
        ZLOG(kLogError, "visual == NULL");
        return;
    }
    host_event_cb cb = event_callback(host);
    if (cb == nullptr)
        return;
    unsigned char payload[kVisualPayloadSize] = {};
    std::memcpy(payload, data, sizeof payload);
    cb(host.raw(), kVisualEventCode, now_seconds(), payload);
}

}  // namespace

void main_notify(void *raw, uint32_t event, void *data) {
    if (raw == nullptr) {
        ZLOG(kLogError, "host == NULL");
        return;
    }
    HostView host(raw);
    switch (event & 0xFFFFu) {
    case WCM_EXPORT_CONFIG_FINISHED: export_finished(host); break;
    case WCM_HARD_DISK_SMART: disk_smart_message(host, data); break;
    case WCM_ITS_TRAFFIC_FLOW: notify_traffic_flow(raw, data, record_len<ITSTrafficFlowReport>()); break;
    case WCM_TEMP_HUMIDITY: notify_temp_humidity(raw, data); break;
    case WCM_NORTH_EVENT: north_event(host, data); break;
    case WCM_VISUAL_EVENT: visual_event(host, data); break;
    default: break;
    }
}

int32_t alarm_notify_ex(void *raw, uint32_t alarm_type, void *info) {
    if (raw == nullptr) {
        ZLOG(kLogError, "host == NULL");
        return 0;
    }
    if (alarm_type != kAlarmType)
        return 0;
    if (info == nullptr) {
        ZLOG(kLogError, "_pInfo == NULL");
        return 0;
    }
    HostView host(raw);
    auto cb = host.get<host_alarm_cb>(host_field::kAlarmCb);
    if (cb == nullptr)
        return 0;
    uint32_t words[4];
    std::memcpy(words, info, sizeof words);
    return cb(raw, kAlarmCode, words[1] | (words[3] << 16), nullptr, words[2]);
}

}  // namespace zel
