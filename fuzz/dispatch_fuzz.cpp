// Both command dispatchers with fuzzer-chosen command texts, against a
// simulated device that answers every request with fuzzer-chosen bytes, so
// the handlers' reply formatters see hostile records too.
//
// Input: [side][answer length][answer bytes...][command text...]
//   side: even = set, odd = get; the command text is NUL-terminated here.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cmd_zel.h"
#include "device_sdk_sim.h"
#include "host_record.h"
#include "os_support_control.h"

namespace {

const char *const kRequests[] = {
    "NetClient_GetDevConfig",       "NetClient_GetDevConfig_V5",
    "NetClient_CmdConfig",          "NetClient_GetCommonEnable",
    "NetClient_VCAGetConfig",       "NetClient_FaceConfig",
    "NetClient_GetChannelNum",      "NetClient_Query_V5",
    "NetClient_GetAlarmConfig",     "NetClient_RecvCommand",
    "NetClient_GetDomePTZ",         "NetClient_GetDiskGroup",
    "NetClient_GetDiskQuotaState",  "NetClient_NetFileGetChannelParam",
    "NetClient_NetFileGetSchedule", "NetClient_GetCDBurnConfig",
    "NetClient_GetFrameRate",       "NetClient_GetVideoSize",
    "NetClient_GetVideoSizeEx",     "NetClient_GetMaxKByteRate",
    "NetClient_GetVideoSzList",     "NetClient_GetDigitalChannelConfig",
    "NetClient_GetFTPUploadConfig", "NetClient_GetDzTransparentPara",
    "NetClient_GetProductTypeEx",   "NetClient_GetServerVersion_V1",
    "NetClient_HttpXmlConfig",      "NetClient_XmlGetDevConfig",
    "NetClient_XmlSetDevConfig",
};

// No poll of the library waits for real.
void no_sleep(void *, int32_t) {}

void quiet_log(void *, int32_t, const char *, int32_t, const char *) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    os_support_set_log_quiet(1);
    os_support_set_log_hook(quiet_log, nullptr);
    os_support_set_sleep_hook(no_sleep, nullptr);
    os_support_timers_pause(1);
    init_command_lib();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const bool is_set = (data[0] & 1) == 0;
    size_t answer_len = data[1];
    if (answer_len > size - 2)
        answer_len = size - 2;
    const uint8_t *answer = data + 2;
    std::string text(reinterpret_cast<const char *>(answer + answer_len), size - 2 - answer_len);

    sdk_sim_reset();
    for (const char *request : kRequests)
        sdk_sim_set_answer(request, SDK_SIM_ANY, 0, 0, answer, static_cast<int32_t>(answer_len));

    static platform::Host host(1, "fuzz-device", 16, "192.0.2.1");
    AsynOpIt_ComCmd opit{};
    opit.in_buf = text.data();
    opit.filename = const_cast<char *>("/nonexistent/fuzz.jpg");
    if (is_set)
        cmd_common_set_config(host.data(), &opit, sizeof opit);
    else
        cmd_common_get_config(host.data(), &opit, sizeof opit);
    std::free(opit.out_buf);
    return 0;
}
