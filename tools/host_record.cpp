#include "host_record.h"

namespace platform {

Host::Host(int32_t loginfd, const std::string &id, int32_t channels, const std::string &ip)
    : Record(host_offset::kSize) {
    put<int32_t>(host_offset::kLoginfd, loginfd);
    put_text(host_offset::kId, id);
    put_text(host_offset::kIp, ip);
    put_text(host_offset::kUsername, "admin");
    for (int32_t i = 0; i < channels; ++i) {
        auto channel = std::make_unique<Record>(channel_offset::kSize);
        channel->put<uint32_t>(channel_offset::kChannelNo, static_cast<uint32_t>(i));
        channel->put<int32_t>(channel_offset::kVcaEnableReply, -1);
        put<void *>(host_offset::kChannels + static_cast<size_t>(i) * sizeof(void *), channel->data());
        channels_.push_back(std::move(channel));
    }
    put<int32_t>(host_offset::kChannelCount, channels);
}

}  // namespace platform
