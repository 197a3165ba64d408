// The platform's host record, seen through the fields the library uses.
//
// The platform allocates and fills one record per logged-in device and
// passes it to every entry point. Both sides work on the same memory, so the
// byte offsets below are the interface; every other byte is the platform's.
// Fields are read and written with memcpy (the record has no C layout we
// could include), and the words that the platform's event thread writes
// while a command polls them are accessed atomically.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace zel {

namespace host_field {
//   offset  field                 type
inline constexpr size_t kId = 20;  // text, at most 60 bytes
inline constexpr size_t kIdSize = 60;
inline constexpr size_t kIp = 80;  // text, at most 18 bytes
inline constexpr size_t kIpSize = 18;
inline constexpr size_t kUsername = 98;   // text, at most 120 bytes
inline constexpr size_t kConnText = 218;  // text
inline constexpr size_t kChannels = 280;  // 640 channel record pointers
inline constexpr size_t kChannelSlots = 640;
inline constexpr size_t kChannelCount = 5400;   // i32
inline constexpr size_t kOffline = 5472;        // u32
inline constexpr size_t kConnType = 5476;       // u32
inline constexpr size_t kEventCb = 5592;        // host_event_cb
inline constexpr size_t kAlarmCb = 6248;        // host_alarm_cb
inline constexpr size_t kHasAltIp = 6272;       // u8
inline constexpr size_t kAltIp = 6273;          // text
inline constexpr size_t kLoginfd = 6384;        // i32
inline constexpr size_t kStatusValid = 6544;    // u32
inline constexpr size_t kCpuUsePercent = 6548;  // u8
inline constexpr size_t kMemUsePercent = 6549;  // u8
inline constexpr size_t kIsRecvdPtzPos = 6568;  // u32
inline constexpr size_t kDisks = 6616;          // 256 disk entries of 96 bytes
inline constexpr size_t kDiskEntries = 256;
inline constexpr size_t kDiskEntrySize = 96;
inline constexpr size_t kPwdChangePending = 31196;   // u32
inline constexpr size_t kPwdChangeReplied = 31200;   // u32
inline constexpr size_t kPwdChangeResult = 31204;    // u32
inline constexpr size_t kNewPassword = 31208;        // text, 60 bytes
inline constexpr size_t kExportFinished = 31288;     // u32
inline constexpr size_t kExportFilename = 31572;     // text, 260 bytes
inline constexpr size_t kDiskSmartInfo = 31848;      // 104-byte block
inline constexpr size_t kDiskSmartReceived = 31848;  // u32
inline constexpr size_t kDiskSmartMsg = 31856;       // 96-byte SMART message
inline constexpr size_t kPendingCommand = 31952;     // text, 32 bytes
inline constexpr size_t kPendingCommandSize = 32;
}  // namespace host_field

namespace channel_field {
inline constexpr size_t kChannelNo = 12;            // u32
inline constexpr size_t kChannelKind = 20;          // u32, record used only when 0
inline constexpr size_t kVcaEnableReply = 1268;     // i32
inline constexpr size_t kTrafficFlowEnable = 1288;  // u32
}  // namespace channel_field

// A platform-owned record read and written at byte offsets.
class RecordView {
  public:
    explicit RecordView(void *base) : base_(static_cast<unsigned char *>(base)) {}

    void *raw() const { return base_; }
    void *at(size_t offset) const { return base_ + offset; }
    const char *text(size_t offset) const { return reinterpret_cast<const char *>(base_ + offset); }

    template <typename T> T get(size_t offset) const {
        static_assert(std::is_trivially_copyable_v<T>);
        T value;
        std::memcpy(&value, base_ + offset, sizeof value);
        return value;
    }

    template <typename T> void put(size_t offset, T value) const {
        static_assert(std::is_trivially_copyable_v<T>);
        std::memcpy(base_ + offset, &value, sizeof value);
    }

    // Flag words of the request-answer exchanges: another thread writes the
    // answer data first and the flag last, so the flag is read with acquire
    // and written with release ordering.
    int32_t load_flag(size_t offset) const {
        return __atomic_load_n(reinterpret_cast<int32_t *>(base_ + offset), __ATOMIC_ACQUIRE);
    }
    void store_flag(size_t offset, int32_t value) const {
        __atomic_store_n(reinterpret_cast<int32_t *>(base_ + offset), value, __ATOMIC_RELEASE);
    }

  private:
    unsigned char *base_;
};

// The host record.
class HostView : public RecordView {
  public:
    explicit HostView(void *host) : RecordView(host) {}

    int32_t loginfd() const { return get<int32_t>(host_field::kLoginfd); }
    const char *id() const { return text(host_field::kId); }
    const char *ip() const { return text(host_field::kIp); }
    // The address the video and thermal-screen handlers print.
    const char *log_ip() const { return get<uint8_t>(host_field::kHasAltIp) != 0 ? text(host_field::kAltIp) : ip(); }
    int32_t channel_count() const { return get<int32_t>(host_field::kChannelCount); }
    uint32_t conn_type() const { return get<uint32_t>(host_field::kConnType); }
    const char *conn_text() const { return text(host_field::kConnText); }
    void *channel_slot(size_t index) const { return get<void *>(host_field::kChannels + index * sizeof(void *)); }

    // The first usable channel record standing for channel `ch`: walks the
    // slots up to the channel count (never past the last slot), skipping
    // empty slots and records whose kind is not 0. Null when there is none.
    void *find_channel(uint32_t ch) const;
};

// One channel record of the host.
class ChannelView : public RecordView {
  public:
    explicit ChannelView(void *channel) : RecordView(channel) {}
    uint32_t channel_no() const { return get<uint32_t>(channel_field::kChannelNo); }
    uint32_t channel_kind() const { return get<uint32_t>(channel_field::kChannelKind); }
};

inline void *HostView::find_channel(uint32_t ch) const {
    int32_t count = channel_count();
    size_t slots = count <= 0 ? 0 : static_cast<size_t>(count);
    if (slots > host_field::kChannelSlots)
        slots = host_field::kChannelSlots;
    for (size_t i = 0; i < slots; ++i) {
        void *record = channel_slot(i);
        if (record == nullptr)
            continue;
        ChannelView channel(record);
        if (channel.channel_no() == ch && channel.channel_kind() == 0)
            return record;
    }
    return nullptr;
}

}  // namespace zel
