// The event entry points with fuzzer-chosen event numbers and data bytes,
// on a host record with both callbacks installed and both message-queue
// senders connected to the embedded broker, so temperature and traffic
// reports are formatted and queued too.
//
// Input: [flags][event number, 4 bytes little-endian][data bytes...]
//   flags bit 0: alarm entry point instead of the device-event one
//   flags bit 1: no data at all (a null pointer)
//   flags bit 2: the host's text fields are filled to their last byte with
//                the first data byte, unterminated
// The data is copied into a zeroed block as large as the largest event
// record, as the platform always hands a whole record.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "cmd_zel.h"
#include "host_record.h"
#include "message_service_control.h"
#include "os_support_control.h"
#include "portable.h"

namespace {

constexpr size_t kDataBlock = 4096;

// Senders poll through os_sleep: a short real pause keeps them from spinning.
void short_sleep(void *, int32_t) { std::this_thread::sleep_for(std::chrono::microseconds(200)); }

void quiet_log(void *, int32_t, const char *, int32_t, const char *) {}

// The platform's callbacks read what they are handed.
volatile unsigned char g_sink;

int32_t event_cb(void *, uint32_t, uint32_t, void *payload) {
    const auto *p = static_cast<const unsigned char *>(payload);
    for (size_t i = 0; i < 16; ++i)
        g_sink = g_sink ^ p[i];
    return 0;
}

int32_t alarm_cb(void *, uint32_t, uint32_t value, void *, uint32_t extra) {
    return static_cast<int32_t>(value ^ extra);
}

platform::Host &host() {
    static platform::Host h(1, "fuzz-device", 16, "192.0.2.1");
    return h;
}

// Both senders configured for the embedded broker, whose sends are then
// refused: every queued message also takes the sender's failed-send path.
void connect_senders() {
    const std::filesystem::path root = test::make_scratch_dir("events_fuzz");
    std::filesystem::create_directories(root / "var" / "platform");
    std::ofstream(root / "var" / "platform" / "vs_config.json")
        << R"({"temphummmq":{"type":0,"ip":"127.0.0.1","port":61616,"username":"u","password":"p","isconnect":1,"amq":{"queue":"t"}},)"
           R"("trafficmq":{"type":0,"ip":"127.0.0.1","port":61616,"username":"u","password":"p","isconnect":1,"amq":{"queue":"f"}}})";
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(root);
    init_command_lib();
    cmd_update_config();
    std::filesystem::current_path(home);
    std::filesystem::remove_all(root);
    ms_control_wait_producers(2, 5000);
    ms_control_fail_sends(-1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    os_support_set_log_quiet(1);
    os_support_set_log_hook(quiet_log, nullptr);
    os_support_set_sleep_hook(short_sleep, nullptr);
    os_support_timers_pause(1);
    platform::Host &h = host();
    h.put(platform::host_offset::kEventCb, &event_cb);
    h.put(platform::host_offset::kAlarmCb, &alarm_cb);
    for (size_t slot = 0; slot < h.channel_records(); ++slot)
        h.channel(slot).put<uint32_t>(platform::channel_offset::kTrafficFlowEnable, slot % 2 == 0 ? 1 : 0);
    connect_senders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 5)
        return 0;
    const uint8_t flags = data[0];
    uint32_t event = 0;
    std::memcpy(&event, data + 1, sizeof event);
    data += 5;
    size -= 5;

    // Text fields the events print: device id, address, export file name
    // and the waiting command.
    platform::Host &h = host();
    const struct { size_t at, width; } texts[] = {{20, 60}, {80, 18}, {31572, 260}, {31952, 32}};
    for (const auto &t : texts) {
        std::vector<char> fill(t.width, '\0');
        if ((flags & 4) != 0 && size > 0)
            std::memset(fill.data(), data[0] == 0 ? 'x' : data[0], t.width);
        std::memcpy(static_cast<char *>(h.data()) + t.at, fill.data(), t.width);
    }
    if ((flags & 4) == 0) {
        h.put_text(20, "fuzz-device");
        h.put_text(80, "192.0.2.1");
        h.put_text(31952, (flags & 8) != 0 ? "get_common_command" : "");
    }

    std::vector<unsigned char> block(kDataBlock, 0);
    std::memcpy(block.data(), data, size < kDataBlock ? size : kDataBlock);
    void *payload = (flags & 2) != 0 ? nullptr : block.data();
    if ((flags & 1) != 0)
        cmd_alarm_notify_ex(h.data(), event, payload, 0);
    else
        cmd_main_notify(h.data(), event, payload, 0);
    return 0;
}
