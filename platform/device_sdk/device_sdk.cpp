/* The device SDK's request functions, answered by the simulator.
 *
 * Each function describes its call (sub-command, channel, other scalar
 * arguments, the input record and texts to log), lets the engine decide the
 * answer, and applies the answer's bytes to its own outputs. How bytes map to
 * outputs is described in device_sdk_sim.h. Records are little-endian, as on
 * the hosts this runs on, so i32 fields are copied as they are. */
#include "platform_export.h"
#include "sim_engine.h"
#include "upgrade_runner.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>

#define SDK_EXPORT extern "C" PLATFORM_EXPORT

namespace {

using device_sdk_sim::Answer;
using device_sdk_sim::Call;
using device_sdk_sim::ErrnoGuard;

/* Description of one request under construction. */
class Request {
  public:
    Request(const char *function, int32_t loginfd, int32_t cmd = SDK_SIM_ANY, int32_t ch = SDK_SIM_ANY) {
        call_.function = function;
        call_.loginfd = loginfd;
        call_.cmd = cmd;
        call_.ch = ch;
    }
    Request &args(std::initializer_list<int32_t> values) {
        std::copy_n(values.begin(), std::min(values.size(), call_.args.size()), call_.args.begin());
        return *this;
    }
    Request &input(const void *record, int64_t len) {
        call_.in = record;
        call_.in_len = record != nullptr && len > 0 ? len : 0;
        return *this;
    }
    Request &text(size_t index, std::optional<std::string> value) {
        call_.text[index] = std::move(value);
        return *this;
    }
    Answer send() const { return device_sdk_sim::handle_call(call_); }

  private:
    Call call_;
};

std::optional<std::string> text_of(const char *s) {
    return s == nullptr ? std::nullopt : std::optional<std::string>(s);
}

/* A text given as pointer and length, cut at its first NUL. */
std::optional<std::string> text_of(const char *s, int32_t len) {
    if (s == nullptr)
        return std::nullopt;
    return std::string(s, len > 0 ? strnlen(s, static_cast<size_t>(len)) : 0);
}

/* Copies the answer's bytes to the start of a `len`-byte buffer; the rest of
 * the buffer keeps its contents. Returns the number of bytes written. */
int32_t fill(void *buf, int64_t len, const Answer &a) {
    if (buf == nullptr || len <= 0)
        return 0;
    size_t n = std::min(a.out.size(), static_cast<size_t>(len));
    if (n > 0)
        std::memcpy(buf, a.out.data(), n);
    return static_cast<int32_t>(n);
}

/* Gives consecutive i32 values of the answer's bytes to the outputs in order. */
void fill_ints(const Answer &a, std::initializer_list<int32_t *> outputs) {
    size_t offset = 0;
    for (int32_t *out : outputs) {
        if (offset + sizeof(int32_t) > a.out.size())
            return;
        if (out != nullptr)
            std::memcpy(out, a.out.data() + offset, sizeof(int32_t));
        offset += sizeof(int32_t);
    }
}

/* Logs `buf` as the caller passed it, then fills it from the answer. */
int32_t get_record(Request &request, void *buf, int64_t len) {
    Answer a = request.input(buf, len).send();
    fill(buf, len, a);
    return a.result;
}

int32_t read_i32(const void *record, size_t offset) {
    int32_t v;
    std::memcpy(&v, static_cast<const uint8_t *>(record) + offset, sizeof v);
    return v;
}

void *read_ptr(const void *record, size_t offset) {
    void *p;
    std::memcpy(&p, static_cast<const uint8_t *>(record) + offset, sizeof p);
    return p;
}

constexpr int64_t kDiskGroupBytes = 100;
constexpr int64_t kNetFileParamBytes = 12;
constexpr int64_t kVideoSizeListMax = 32;

/* GetAlarmConfig/SetAlarmConfig have no length argument: the record's length
 * follows from the sub-command. 0 for sub-commands this SDK does not know. */
int64_t alarm_record_bytes(int32_t cmd) {
    switch (cmd) {
    case 112: return 496;
    case 113: return 24;
    case 115: return 152;
    case 116: return 20;
    default: return 0;
    }
}

/* Requests whose output area holds several records while the length argument
 * gives one record's length: the number of records in the area. */
int64_t face_area_records(int32_t cmd) {
    switch (cmd) {
    case 2:  /* face query page */
    case 6:  /* face library page */
    case 14: /* picture search page */
    case 17: /* face cut results */
    case 20: /* snapshot search result page */ return 20;
    case 16: /* library sync status, one entry per channel */ return 320;
    case 21: /* face alarm parameters */ return 300;
    default: return 1;
    }
}

int64_t cmd_config_area_records(int32_t cmd) { return cmd == 15 ? 20 : 1; /* vertical line query: 20 lines */ }

int64_t query_area_records(int32_t query_type) { return query_type == 7 ? 20 : 1; /* picture files: 20 file records */ }

int64_t area_bytes(int32_t record_len, int64_t records) { return record_len > 0 ? record_len * records : 0; }

}  // namespace

SDK_EXPORT int32_t NetClient_GetLastError(void) {
    ErrnoGuard guard;
    return device_sdk_sim::thread_last_error();
}

SDK_EXPORT int32_t NetClient_GetDevConfig(int32_t loginfd, int32_t cmd, int32_t ch, void *buf, int32_t buf_len,
                                          int32_t *bytes_returned) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, cmd, ch).args({buf_len}).input(buf, buf_len).send();
    int32_t n = fill(buf, buf_len, a);
    if (bytes_returned != nullptr)
        *bytes_returned = n;
    return a.result;
}

SDK_EXPORT int32_t NetClient_SetDevConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, cmd, ch).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_GetDevConfig_V5(int32_t loginfd, int32_t cmd, const void *in, int32_t in_len, void *out,
                                             int32_t out_len) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, cmd).args({in_len, out_len}).input(in, in_len).send();
    fill(out, out_len, a);
    return a.result;
}

SDK_EXPORT int32_t NetClient_CmdConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *in, int32_t in_len,
                                       void *out, int32_t out_len) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, cmd, ch).args({in_len, out_len}).input(in, in_len).send();
    fill(out, area_bytes(out_len, cmd_config_area_records(cmd)), a);
    return a.result;
}

SDK_EXPORT int32_t NetClient_GetCommonEnable(int32_t loginfd, int32_t enable_id, int32_t ch, int32_t *value) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, enable_id, ch).send();
    fill_ints(a, {value});
    return a.result;
}

SDK_EXPORT int32_t NetClient_SetCommonEnable(int32_t loginfd, int32_t enable_id, int32_t ch, int32_t value) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, enable_id, ch).args({value}).send().result;
}

SDK_EXPORT int32_t NetClient_VCAGetConfig(int32_t loginfd, int32_t cmd, int32_t ch, void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, cmd, ch);
    return get_record(r.args({buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_VCASetConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, cmd, ch).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_FaceConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *in, int32_t in_len,
                                        void *out, int32_t out_len) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, cmd, ch).args({in_len, out_len}).input(in, in_len).send();
    fill(out, area_bytes(out_len, face_area_records(cmd)), a);
    return a.result;
}

SDK_EXPORT int32_t NetClient_GetChannelNum(int32_t loginfd, int32_t *count) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd).send();
    fill_ints(a, {count});
    return a.result;
}

SDK_EXPORT int32_t NetClient_Query_V5(int32_t loginfd, int32_t query_type, int32_t ch, const void *in, int32_t in_len,
                                      void *out, int32_t out_len) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, query_type, ch).args({in_len, out_len}).input(in, in_len).send();
    fill(out, area_bytes(out_len, query_area_records(query_type)), a);
    return a.result;
}

SDK_EXPORT int32_t NetClient_GetAlarmConfig(int32_t loginfd, int32_t ch, int32_t alarm_type, int32_t cmd, void *buf) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, cmd, ch);
    return get_record(r.args({alarm_type}), buf, alarm_record_bytes(cmd));
}

SDK_EXPORT int32_t NetClient_SetAlarmConfig(int32_t loginfd, int32_t ch, int32_t alarm_type, int32_t cmd,
                                            const void *buf) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, cmd, ch).args({alarm_type}).input(buf, alarm_record_bytes(cmd)).send().result;
}

SDK_EXPORT int32_t NetClient_SendCommand(int32_t loginfd, int32_t cmd, int32_t ch, const void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, cmd, ch).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_RecvCommand(int32_t loginfd, int32_t cmd, int32_t ch, void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, cmd, ch);
    return get_record(r.args({buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_GetDomePTZ(int32_t loginfd, int32_t ch, void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, SDK_SIM_ANY, ch);
    return get_record(r.args({buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_SetDomePTZ(int32_t loginfd, int32_t ch, const void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, SDK_SIM_ANY, ch).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_DeviceCtrlEx(int32_t loginfd, int32_t ch, int32_t action, int32_t param1, int32_t param2,
                                          int32_t param3) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, action, ch).args({param1, param2, param3}).send().result;
}

SDK_EXPORT int32_t NetClient_SetDiskGroup(int32_t loginfd, const void *groups, int32_t group_count) {
    ErrnoGuard guard;
    return Request(__func__, loginfd).args({group_count}).input(groups, group_count * kDiskGroupBytes).send().result;
}

SDK_EXPORT int32_t NetClient_GetDiskGroup(int32_t loginfd, void *groups, int32_t group_count) {
    ErrnoGuard guard;
    Request r(__func__, loginfd);
    return get_record(r.args({group_count}), groups, group_count * kDiskGroupBytes);
}

SDK_EXPORT int32_t NetClient_SetDiskQuota(int32_t loginfd, int32_t ch, const void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, SDK_SIM_ANY, ch).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_GetDiskQuotaState(int32_t loginfd, int32_t ch, int32_t type, void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, type, ch);
    return get_record(r.args({buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_NetFileSetChannelParam(int32_t loginfd, int32_t ch, int32_t reserved, const void *buf) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, SDK_SIM_ANY, ch).args({reserved}).input(buf, kNetFileParamBytes).send().result;
}

SDK_EXPORT int32_t NetClient_NetFileGetChannelParam(int32_t loginfd, int32_t ch, int32_t reserved, void *buf) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, SDK_SIM_ANY, ch);
    return get_record(r.args({reserved}), buf, kNetFileParamBytes);
}

SDK_EXPORT int32_t NetClient_NetFileGetSchedule(int32_t loginfd, int32_t ch, int32_t reserved, void *buf,
                                                int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, SDK_SIM_ANY, ch);
    return get_record(r.args({reserved, buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_NetFileLockFile(int32_t loginfd, const char *filename, int32_t lock) {
    ErrnoGuard guard;
    return Request(__func__, loginfd).args({lock}).text(0, text_of(filename)).send().result;
}

SDK_EXPORT int32_t NetClient_SetCDBurnConfig(int32_t loginfd, int32_t ch, int32_t cmd, const void *buf,
                                             int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, cmd, ch).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_GetCDBurnConfig(int32_t loginfd, int32_t ch, int32_t cmd, void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, cmd, ch);
    return get_record(r.args({buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_SetDevDiskConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *buf,
                                              int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, cmd, ch).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_DiskSetUsage(int32_t loginfd, int32_t disk_no, int32_t usage) {
    ErrnoGuard guard;
    return Request(__func__, loginfd).args({disk_no, usage}).send().result;
}

SDK_EXPORT int32_t NetClient_GetSysInfo(int32_t loginfd) {
    ErrnoGuard guard;
    return Request(__func__, loginfd).send().result;
}

SDK_EXPORT int32_t NetClient_SetHDTimeRangeParam(int32_t loginfd, int32_t ch, int32_t index, const void *buf,
                                                 int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, SDK_SIM_ANY, ch).args({index, buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_SetFrameRate(int32_t loginfd, int32_t ch, int32_t frame_rate, int32_t stream_type) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, SDK_SIM_ANY, ch).args({frame_rate, stream_type}).send().result;
}

SDK_EXPORT int32_t NetClient_GetFrameRate(int32_t loginfd, int32_t ch, int32_t *frame_rate, int32_t stream_no) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, SDK_SIM_ANY, ch).args({stream_no}).send();
    fill_ints(a, {frame_rate});
    return a.result;
}

SDK_EXPORT int32_t NetClient_GetVideoSize(int32_t loginfd, int32_t ch, int32_t *width, int32_t *height,
                                          int32_t stream_no) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, SDK_SIM_ANY, ch).args({stream_no}).send();
    fill_ints(a, {width, height});
    return a.result;
}

SDK_EXPORT int32_t NetClient_SetVideoSize(int32_t loginfd, int32_t ch, int32_t size_code, int32_t data_type) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, SDK_SIM_ANY, ch).args({size_code, data_type}).send().result;
}

SDK_EXPORT int32_t NetClient_GetVideoSizeEx(int32_t loginfd, int32_t ch, int32_t *size_code, int32_t data_type) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, SDK_SIM_ANY, ch).args({data_type}).send();
    fill_ints(a, {size_code});
    return a.result;
}

SDK_EXPORT int32_t NetClient_SetMaxKByteRate(int32_t loginfd, int32_t ch, int32_t kbyte_rate, int32_t data_type) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, SDK_SIM_ANY, ch).args({kbyte_rate, data_type}).send().result;
}

SDK_EXPORT int32_t NetClient_GetMaxKByteRate(int32_t loginfd, int32_t ch, int32_t *kbyte_rate, int32_t data_type) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, SDK_SIM_ANY, ch).args({data_type}).send();
    fill_ints(a, {kbyte_rate});
    return a.result;
}

SDK_EXPORT int32_t NetClient_GetVideoSzList(int32_t loginfd, int32_t ch, int32_t data_type, int32_t *list,
                                            int32_t *count) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, SDK_SIM_ANY, ch).args({data_type}).send();
    if (a.out.size() < sizeof(int32_t))
        return a.result;
    int32_t device_count = read_i32(a.out.data(), 0);
    if (count != nullptr)
        *count = device_count;
    if (list != nullptr) {
        int64_t given = static_cast<int64_t>(a.out.size() / sizeof(int32_t)) - 1;
        int64_t n = std::min({given, kVideoSizeListMax, static_cast<int64_t>(std::max(device_count, 0))});
        std::memcpy(list, a.out.data() + sizeof(int32_t), static_cast<size_t>(n) * sizeof(int32_t));
    }
    return a.result;
}

SDK_EXPORT int32_t NetClient_SetVideoCombine(int32_t loginfd, const void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_GetDigitalChannelConfig(int32_t loginfd, int32_t ch, int32_t cmd, void *buf,
                                                     int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, cmd, ch);
    return get_record(r.args({buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_SetDigitalChannelConfig(int32_t loginfd, int32_t ch, int32_t cmd, const void *buf,
                                                     int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, cmd, ch).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_GetFTPUploadConfig(int32_t loginfd, int32_t cmd, void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd, cmd);
    return get_record(r.args({buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_SetFTPUploadConfig(int32_t loginfd, int32_t cmd, const void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    return Request(__func__, loginfd, cmd).args({buf_len}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_GetDzTransparentPara(int32_t loginfd, void *buf, int32_t buf_len, int32_t param1,
                                                  int32_t param2) {
    ErrnoGuard guard;
    Request r(__func__, loginfd);
    return get_record(r.args({buf_len, param1, param2}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_SetDzTransparentPara(int32_t loginfd, const void *buf, int32_t buf_len, int32_t param1,
                                                  int32_t param2) {
    ErrnoGuard guard;
    return Request(__func__, loginfd).args({buf_len, param1, param2}).input(buf, buf_len).send().result;
}

SDK_EXPORT int32_t NetClient_GetProductTypeEx(int32_t loginfd, int32_t *product_type) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd).send();
    fill_ints(a, {product_type});
    return a.result;
}

SDK_EXPORT int32_t NetClient_GetServerVersion_V1(int32_t loginfd, void *buf, int32_t buf_len) {
    ErrnoGuard guard;
    Request r(__func__, loginfd);
    return get_record(r.args({buf_len}), buf, buf_len);
}

SDK_EXPORT int32_t NetClient_Upgrade_V4(int32_t loginfd, const char *filename, int32_t upgrade_type,
                                        upgrade_complete_cb on_complete) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd).args({upgrade_type}).text(0, text_of(filename)).send();
    if (a.result != 0) /* a programmed refusal */
        return a.result;
    int32_t err = device_sdk_sim::start_upgrade(loginfd, filename, on_complete);
    if (err != 0)
        device_sdk_sim::set_thread_last_error(err);
    return err;
}

SDK_EXPORT int32_t NetClient_GetUpgradePercent(int32_t loginfd) {
    ErrnoGuard guard;
    return Request(__func__, loginfd).send().result;
}

SDK_EXPORT int32_t NetClient_ModifyPwd(int32_t loginfd, const char *username, const char *new_password) {
    ErrnoGuard guard;
    return Request(__func__, loginfd).text(0, text_of(username)).text(1, text_of(new_password)).send().result;
}

/* Request record (48 bytes): i32 type at 0, URL pointer at 8 and its i32
 * length at 16, body pointer at 24 and its i32 length at 32. Reply record
 * (32 bytes): output buffer pointer at 0, its i32 capacity at 8. Fields are
 * read only when the given record length covers them. */
SDK_EXPORT int32_t NetClient_HttpXmlConfig(int32_t loginfd, void *req, int32_t req_len, void *rep, int32_t rep_len) {
    ErrnoGuard guard;
    int64_t req_bytes = req != nullptr && req_len > 0 ? req_len : 0;
    Request r(__func__, loginfd, req_bytes >= 4 ? read_i32(req, 0) : SDK_SIM_ANY);
    r.args({req_len, rep_len}).input(req, req_bytes);
    if (req_bytes >= 20)
        r.text(0, text_of(static_cast<const char *>(read_ptr(req, 8)), read_i32(req, 16)));
    if (req_bytes >= 36)
        r.text(1, text_of(static_cast<const char *>(read_ptr(req, 24)), read_i32(req, 32)));
    Answer a = r.send();
    if (rep != nullptr && rep_len >= 12)
        fill(read_ptr(rep, 0), read_i32(rep, 8), a);
    return a.result;
}

SDK_EXPORT int32_t NetClient_XmlGetDevConfig(int32_t loginfd, int32_t cmd, const void *in, int32_t in_len, void *out,
                                             int32_t out_len) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, cmd).args({in_len, out_len}).input(in, in_len).send();
    fill(out, out_len, a);
    return a.result;
}

SDK_EXPORT int32_t NetClient_XmlSetDevConfig(int32_t loginfd, int32_t cmd, const void *buf, int32_t buf_len,
                                             void *status, int32_t status_len) {
    ErrnoGuard guard;
    Answer a = Request(__func__, loginfd, cmd).args({buf_len, status_len}).input(buf, buf_len).send();
    fill(status, status_len, a);
    return a.result;
}
