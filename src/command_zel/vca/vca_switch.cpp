// Switches that the device confirms later: the per-algorithm enable bits
// (confirmed by reading the configuration back) and the analysis switch of a
// channel (answered through the host's channel record).
#include "handler_support.h"
#include "host_view.h"
#include "vca_handlers.h"
#include "vca_support.h"

namespace zel {
namespace {

constexpr int32_t kConfirmReads = 500;
constexpr int32_t kPollPauseMs = 10;

// The enable word and bit of an algorithm type. Three types of the low word
// live at other bits; types of 64 and more have no bit (null word).
struct AlgorithmBit {
    uint32_t AlgorithmEnableConfig::*word;
    uint32_t mask;
};

AlgorithmBit algorithm_bit(int32_t type) {
    if (type >= 64)
        return {nullptr, 0};
    if (type >= 32)
        return {&AlgorithmEnableConfig::enable_high, 1u << (type - 32)};
    int32_t bit = type == 17 ? 4 : type == 18 ? 5 : type == 28 ? 17 : type;
    return {&AlgorithmEnableConfig::enable_low, 1u << bit};
}

bool bit_is_set(const AlgorithmEnableConfig &config, AlgorithmBit bit) {
    return bit.word != nullptr && (config.*bit.word & bit.mask) != 0;
}

// Reads the device's algorithm configuration of a scene and device type.
bool read_algorithms(const HostView &host, int32_t ch, int32_t scene_no, int32_t dev_type,
                     AlgorithmEnableConfig &config) {
    config = AlgorithmEnableConfig{};
    config.scene_no = scene_no;
    config.dev_type = dev_type;
    int32_t returned = 0;
    int32_t ret = NetClient_GetDevConfig(host.loginfd(), NET_CLIENT_ALGORITHM_ENABLE, ch, &config,
                                         record_len<AlgorithmEnableConfig>(), &returned);
    if (ret != 0)
        return ZFAIL(CMD_ZEL_ENOTDONE, "!NetClient_GetDevConfig err:%d", ret);
    return true;
}

}  // namespace

int32_t set_algorithm_enable(void *host, json_object *jso) {
    if (!has_command(host, jso))
        return 0;
    int32_t type = 0, enable = 0, ch = 0;
    if (!read_non_negative(jso, "algorithm_type", type, "algorithm_type < 0") ||
        !read_non_negative(jso, "algorithm_enable", enable, "enable == -1") || !read_non_negative(jso, "channel", ch))
        return 0;
    int32_t dev_type = json_object_get_field_int(jso, "devtype", 0);
    int32_t scene_no = json_object_get_field_int(jso, "sceneno", 0);

    HostView view(host);
    AlgorithmEnableConfig config;
    if (!read_algorithms(view, ch, scene_no, dev_type, config))
        return 0;
    AlgorithmBit bit = algorithm_bit(type);
    if (bit.word != nullptr) {
        if (enable != 0)
            config.*bit.word |= bit.mask;
        else
            config.*bit.word &= ~bit.mask;
    }
    int32_t ret = NetClient_SetDevConfig(view.loginfd(), NET_CLIENT_ALGORITHM_ENABLE, ch, &config,
                                         record_len<AlgorithmEnableConfig>());
    if (ret != 0)
        return ZFAIL(CMD_ZEL_ENOTDONE, "NetClient_SetDevConfig-failed, err = %d", ret);

    // The device applies the change asynchronously: read it back until the
    // bit shows the asked state.
    for (int32_t i = 0; i < kConfirmReads; ++i) {
        if (!read_algorithms(view, ch, scene_no, dev_type, config))
            return 0;
        if (bit_is_set(config, bit) == (enable != 0))
            return 1;
        os_sleep(kPollPauseMs);
    }
    return ZFAIL(CMD_ZEL_ENOTDONE, "NetClient_SetDevConfig() failed");
}

int32_t set_vca_dev_enable(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, {.host_code = kKeepErrno}))
        return 0;
    int32_t ch = 0;
    VcaDevEnableConfig config{};
    if (!read_non_negative(jso, "ch", ch, "channel == -1") || !read_non_negative(jso, "dev_type", config.dev_type) ||
        !read_non_negative(jso, "enable", config.enable))
        return 0;

    HostView view(host);
    if (NetClient_SetDevConfig(view.loginfd(), NET_CLIENT_VCA_DEV_ENABLE, ch, &config,
                               record_len<VcaDevEnableConfig>()) != 0)
        return ZREFUSE("NetClient_VCASetConfig() failed,host_id:%s,ch:%d,enable:%d", view.id(), ch, config.enable);
    if (config.enable != 0)
        return 1;

    // Switching analysis off needs the device's permission; its answer
    // arrives in the channel record (0 refused, 1 accepted) and is consumed.
    if (view.channel_count() > static_cast<int32_t>(host_field::kChannelSlots))
        return ZREFUSE("channel_count is too big!");
    if (take_analysis_off_answer(host, ch) == false) {
        ZFAIL(CMD_ZEL_ENOPERMISSION, "NetClient_VCASetConfig() error:no permission,host_ip:%s,ch:%d,enable:%d",
              view.ip(), ch, config.enable);
        reply_ret(out_buf, CMD_ZEL_ENOPERMISSION);
        return 0;
    }
    return 1;
}

}  // namespace zel
