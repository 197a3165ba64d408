/* Inside of the device SDK simulator: the description of one request, the
 * answer it gets, and the engine that logs requests and decides answers.
 * The exported request functions (device_sdk.cpp) describe their call, hand
 * it to handle_call, and apply the answer's bytes to their outputs.
 * Not exported: the library is built with hidden visibility. */
#ifndef PLATFORM_DEVICE_SDK_SIM_ENGINE_H
#define PLATFORM_DEVICE_SDK_SIM_ENGINE_H

#include "device_sdk.h"
#include "device_sdk_sim.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace device_sdk_sim {

/* Restores errno on scope exit: every exported function leaves it unchanged. */
class ErrnoGuard {
  public:
    ErrnoGuard() : saved_(errno) {}
    ~ErrnoGuard() { errno = saved_; }
    ErrnoGuard(const ErrnoGuard &) = delete;
    ErrnoGuard &operator=(const ErrnoGuard &) = delete;

  private:
    int saved_;
};

/* One request as the caller made it. Pointers are the caller's and valid only
 * during the call; the engine copies what it keeps. */
struct Call {
    const char *function = nullptr; /* the exported function's name */
    int32_t loginfd = 0;
    int32_t cmd = SDK_SIM_ANY;
    int32_t ch = SDK_SIM_ANY;
    std::array<int32_t, 4> args{};
    const void *in = nullptr; /* input record to log */
    int64_t in_len = 0;
    std::array<std::optional<std::string>, 2> text;
};

struct Answer {
    int32_t result = 0;
    std::optional<int32_t> last_error; /* empty: the thread's last error stays */
    std::vector<uint8_t> out;
};

/* The input record of a call, or nothing when the caller passed less. */
template <typename Record> std::optional<Record> input_record(const Call &call) {
    if (call.in == nullptr || call.in_len < static_cast<int64_t>(sizeof(Record)))
        return std::nullopt;
    Record r;
    std::memcpy(&r, call.in, sizeof r);
    return r;
}

/* The bytes of `count` records, as an answer carries them. */
template <typename Record> std::vector<uint8_t> bytes_of(const Record *records, size_t count = 1) {
    const auto *begin = reinterpret_cast<const uint8_t *>(records);
    return {begin, begin + count * sizeof(Record)};
}

/* A successful answer carrying one record. */
template <typename Record> Answer answer_with(const Record &record) {
    return Answer{0, std::nullopt, bytes_of(&record)};
}

/* Whether the call is to the exported function `name`. */
inline bool named(const char *function, const char *name) { return std::string_view(function) == name; }

/* A text field of a record: it need not be terminated within its width. */
template <size_t N> std::string_view field_text(const char (&field)[N]) { return {field, strnlen(field, N)}; }

/* Logs the call, decides its answer, and makes the answer's last error the
 * calling thread's. Aborts when `call.function` is not a request function
 * (a wiring mistake in this library). */
Answer handle_call(const Call &call);

/* Whether sdk_sim_add_device added a simulated device for `loginfd`. */
bool has_device(int32_t loginfd);

/* The last error reported to the calling thread, and setting it. */
int32_t thread_last_error();
void set_thread_last_error(int32_t value);

}  // namespace device_sdk_sim

#endif
