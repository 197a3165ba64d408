// The platform side of the host record: a zeroed block laid out at the
// offsets the platform and the library share, with channel records. The
// console and the tests build their devices with it; its offsets are
// written down here independently of the library's own.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace platform {

namespace host_offset {
inline constexpr size_t kId = 20;
inline constexpr size_t kIp = 80;
inline constexpr size_t kUsername = 98;
inline constexpr size_t kConnText = 218;
inline constexpr size_t kChannels = 280;
inline constexpr size_t kChannelCount = 5400;
inline constexpr size_t kConnType = 5476;
inline constexpr size_t kOffline = 5472;
inline constexpr size_t kEventCb = 5592;
inline constexpr size_t kAlarmCb = 6248;
inline constexpr size_t kHasAltIp = 6272;  // u8: the alternative address below is set
inline constexpr size_t kAltIp = 6273;
inline constexpr size_t kLoginfd = 6384;
inline constexpr size_t kStatusValid = 6544;
inline constexpr size_t kCpuUsePercent = 6548;
inline constexpr size_t kMemUsePercent = 6549;
inline constexpr size_t kDisks = 6616;  // 256 entries of 96 bytes
inline constexpr size_t kDiskEntrySize = 96;
inline constexpr size_t kDiskSmartReceived = 31848;
inline constexpr size_t kDiskSmartMsg = 31856;
inline constexpr size_t kPtzPosition = 6556;    // the platform's own: last reported pan, tilt, zoom (3 x i32)
inline constexpr size_t kIsRecvdPtzPos = 6568;  // u32, set once a position has been reported
inline constexpr size_t kPwdChangePending = 31196;
inline constexpr size_t kPwdChangeReplied = 31200;
inline constexpr size_t kPwdChangeResult = 31204;
inline constexpr size_t kNewPassword = 31208;
inline constexpr size_t kPendingCommand = 31952;  // 32 bytes
inline constexpr size_t kSize = 32768;            // covers every field the library uses
}  // namespace host_offset

namespace channel_offset {
inline constexpr size_t kChannelNo = 12;
inline constexpr size_t kChannelKind = 20;
inline constexpr size_t kVcaEnableReply = 1268;
inline constexpr size_t kTrafficFlowEnable = 1288;
inline constexpr size_t kSize = 2048;
}  // namespace channel_offset

// A zeroed byte block standing for a platform-owned record.
class Record {
  public:
    explicit Record(size_t size) : bytes_(size, 0) {}
    void *data() { return bytes_.data(); }
    template <typename T> void put(size_t offset, T value) {
        std::memcpy(bytes_.data() + offset, &value, sizeof value);
    }
    template <typename T> T get(size_t offset) const {
        T value;
        std::memcpy(&value, bytes_.data() + offset, sizeof value);
        return value;
    }
    void put_text(size_t offset, const std::string &text) {
        std::memcpy(bytes_.data() + offset, text.c_str(), text.size() + 1);
    }
    std::string text(size_t offset) const { return reinterpret_cast<const char *>(bytes_.data() + offset); }
    // A 32-bit word another thread may be polling.
    uint32_t *word(size_t offset) { return reinterpret_cast<uint32_t *>(bytes_.data() + offset); }

  private:
    std::vector<unsigned char> bytes_;
};

// The record of one logged-in device with `channels` channel records,
// numbered 0.. in slots 0.., each with no analysis-switch answer pending.
class Host : public Record {
  public:
    explicit Host(int32_t loginfd = 7, const std::string &id = "dev-0001", int32_t channels = 16,
                  const std::string &ip = "10.1.2.3");
    Record &channel(size_t slot) { return *channels_.at(slot); }
    size_t channel_records() const { return channels_.size(); }

  private:
    std::vector<std::unique_ptr<Record>> channels_;
};

}  // namespace platform
