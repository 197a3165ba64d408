// Device settings described as data. Most settings commands read a few
// members into one SDK record, pass it with one call, and (get commands)
// answer some of the record's fields: a Setting says which members go where,
// which call carries the record, how a failure is reported and what the
// reply holds, and apply_setting / query_setting run it.
//
// One Field type describes both directions: a set command's members are
// read into the record at their offsets, and a get command's reply shows
// the answer's fields at theirs, in table order. So a reply is often the
// tail of the members' table (std::span::subspan).
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

#include "handler_support.h"

namespace zel::settings {

// The largest record a Setting may use (request or answer).
inline constexpr size_t kMaxRecord = 4112;

// A field that is not in the record: the SDK call's channel.
inline constexpr size_t kChannelArg = std::numeric_limits<size_t>::max();

// ---------------------------------------------------------------------------
// Fields.

// How a member is checked once read.
enum class Check : uint8_t {
    Required,     // refused when it reads its default ("<key> == -1")
    NonNegative,  // refused when negative
    InRange,      // refused outside [low, high]
    Optional,     // absent: `refusal` is logged (when given) and the field kept
    Unchecked,    // taken as read (a count that its list checks)
};

enum class Kind : uint8_t {
    Int32,
    Int16,
    Text,  // `parts` fields of `width` bytes: a member is cut into them, a reply joins them
    List,
    // Shown in replies only:
    HostId,   // the host record's id
    Request,  // a 32-bit field of the request record (where the answer is another record)
    UtcTime,  // a calendar time read as UTC, as seconds since 1970 (low 32 bits)
};

struct List;

struct Field {
    const char *key;
    size_t offset;  // in the record (in the slot, for list elements), or kChannelArg
    Kind kind = Kind::Int32;
    Check check = Check::Required;
    const char *refusal = nullptr;  // logged when refused; null: "<key> == -1" ("<key> == NULL" for texts)
    int32_t low = 0;
    int32_t high = 0;
    int32_t absent = -1;         // what the member reads when it is missing
    size_t width = 0;            // texts
    size_t parts = 1;            // texts
    const List *list = nullptr;  // lists
};

constexpr Field required(const char *key, size_t offset, const char *refusal = nullptr, int32_t absent = -1) {
    return {.key = key, .offset = offset, .refusal = refusal, .absent = absent};
}
constexpr Field non_negative(const char *key, size_t offset, const char *refusal = nullptr, int32_t absent = -1) {
    return {.key = key, .offset = offset, .check = Check::NonNegative, .refusal = refusal, .absent = absent};
}
constexpr Field in_range(const char *key, size_t offset, int32_t low, int32_t high, const char *refusal,
                         int32_t absent = -1) {
    return {.key = key,
            .offset = offset,
            .check = Check::InRange,
            .refusal = refusal,
            .low = low,
            .high = high,
            .absent = absent};
}
constexpr Field optional(const char *key, size_t offset, const char *absent_log) {
    return {.key = key, .offset = offset, .check = Check::Optional, .refusal = absent_log};
}
// A field taken as it is: a count its list checks, or a field of an answer.
constexpr Field field(const char *key, size_t offset) {
    return {.key = key, .offset = offset, .check = Check::Unchecked};
}
// A 16-bit field that must not be negative.
constexpr Field non_negative16(const char *key, size_t offset) {
    return {.key = key, .offset = offset, .kind = Kind::Int16, .check = Check::NonNegative};
}
// A required text, cut to its field (or into `parts` fields of `width`).
constexpr Field text(const char *key, size_t offset, size_t width, size_t parts = 1) {
    return {.key = key, .offset = offset, .kind = Kind::Text, .width = width, .parts = parts};
}
constexpr Field host_id(const char *key) { return {.key = key, .offset = 0, .kind = Kind::HostId}; }
constexpr Field from_request(const char *key, size_t offset) {
    return {.key = key, .offset = offset, .kind = Kind::Request};
}
constexpr Field utc_time(const char *key, size_t offset) {
    return {.key = key, .offset = offset, .kind = Kind::UtcTime};
}

// An array whose elements are consecutive slots of the record.
//
// As a member, its checks run in this order: absent, not an array, length
// against the count (when `exact` is given), count outside [low, high]; the
// count is the count field when `count_read` (a member read before it), else
// the array's length, which is then written to the count field. In a reply,
// the answer's count field says how many slots there are, never more than
// `high`. `high` is never more than the record's slots.
struct List {
    const char *key;
    size_t count_offset;
    int32_t high;
    size_t first;   // offset of slot 0
    size_t stride;  // bytes per slot
    std::span<const Field> elements;
    // Members only:
    bool count_read = false;
    int32_t low = 0;
    const char *count_refusal = nullptr;
    const char *absent = nullptr;     // the member is missing
    const char *not_array = nullptr;  // it is no array
    const char *exact = nullptr;      // the array's length differs from the count

    // The same list with one thing said about it.
    constexpr List refusing(const char *missing, const char *no_array) const {
        List l = *this;
        l.absent = missing;
        l.not_array = no_array;
        return l;
    }
    // The count is a member read before the list, within [at_least, high].
    constexpr List counted_by_member(const char *out_of_range = nullptr, int32_t at_least = 0) const {
        List l = *this;
        l.count_read = true;
        l.low = at_least;
        l.count_refusal = out_of_range;
        return l;
    }
    // The count is the array's length, within [at_least, high].
    constexpr List counted_by_length(int32_t at_least, const char *out_of_range) const {
        List l = *this;
        l.low = at_least;
        l.count_refusal = out_of_range;
        return l;
    }
    constexpr List exactly(const char *length_differs) const {
        List l = *this;
        l.exact = length_differs;
        return l;
    }
};

// Up to `high` slots of type Slot from `first`, their count at `count_offset`.
template <typename Slot>
constexpr List slots(const char *key, size_t first, int32_t high, size_t count_offset,
                     std::span<const Field> elements) {
    return {key, count_offset, high, first, sizeof(Slot), elements};
}

constexpr Field list(const List &l) { return {.key = l.key, .offset = 0, .kind = Kind::List, .list = &l}; }

// ---------------------------------------------------------------------------
// The setting.

enum class Sdk : uint8_t {
    DevConfig,      // NetClient_GetDevConfig / NetClient_SetDevConfig (sub-command, channel)
    FtpUpload,      // NetClient_GetFTPUploadConfig / NetClient_SetFTPUploadConfig (sub-command)
    CmdConfig,      // NetClient_CmdConfig (sub-command, channel, request, answer)
    DzTransparent,  // NetClient_GetDzTransparentPara / NetClient_SetDzTransparentPara
};

// How a failed device call is logged: most handlers name the host by its
// id; the thermal-screen handlers put their own name in front (the opening's
// prefix) and print the device's address.
enum class Voice : uint8_t { Plain, Thermal };

// The thermal-screen handlers' opening: their name in front and no error
// code; the line names every condition at once (see opening_for).
constexpr Opening thermal_opening(const char *name_and_space) {
    return {.host_code = kKeepErrno, .code = kKeepErrno, .prefix = name_and_space};
}

// Where "ret" stands in a get command's reply: nowhere (the reply is only
// made on success), first or last (the reply is made whatever happened).
enum class Ret : uint8_t { None, First, Last };

// A record's size and whether its first word holds that size.
struct Shape {
    size_t bytes = 0;
    bool sized = false;
};
template <typename Record> consteval Shape shape() {
    static_assert(sizeof(Record) <= kMaxRecord, "a Setting's record must fit kMaxRecord");
    if constexpr (requires { Record{}.size; })
        return {sizeof(Record), offsetof(Record, size) == 0};
    else
        return {sizeof(Record), false};
}

// An SDK sub-command and its name, as failure lines print it.
struct Sub {
    int32_t value;
    const char *name;
};
#define SDK_SUB(constant)                                                                                              \
    ::zel::settings::Sub { constant, #constant }

struct Setting {
    Sdk sdk;
    Sub sub;       // the sub-command (name null: the function has none)
    Shape record;  // the request (for get calls also the answer, unless `answer` is given)
    Shape answer = {};
    std::span<const Field> members = {};
    bool read_first = false;         // set: the device's record is read, changed and written back
    int32_t channel = kAllChannels;  // the call's channel when no member gives it
    Voice voice = Voice::Plain;
    Opening opening = {};
    int32_t failure_code = kKeepErrno;     // the code a failed device call sets
    const char *failure_text = nullptr;    // logged instead of the usual failure line
    size_t result_offset = 0;              // the answer's result word (0: accepted) ...
    const char *result_refusal = nullptr;  // ... checked when this line is given (host id, channel)
    Ret ret = Ret::None;
    std::span<const Field> reply = {};
    const char *reply_log = nullptr;  // the finished reply text is logged with this format

    // The same setting with one thing said about it.
    constexpr Setting reading(std::span<const Field> read) const { return with(&Setting::members, read); }
    constexpr Setting failing_with(int32_t code) const { return with(&Setting::failure_code, code); }
    constexpr Setting failure_line(const char *text) const { return with(&Setting::failure_text, text); }
    constexpr Setting changing_device_record() const { return with(&Setting::read_first, true); }
    constexpr Setting logging_reply(const char *format) const { return with(&Setting::reply_log, format); }
    constexpr Setting answering(std::span<const Field> shown, Ret where = Ret::None) const {
        return with(&Setting::reply, shown).with(&Setting::ret, where);
    }
    constexpr Setting checking_result(size_t offset, const char *line) const {
        return with(&Setting::result_offset, offset).with(&Setting::result_refusal, line);
    }
    constexpr Setting thermal(const char *name_and_space) const {
        return with(&Setting::voice, Voice::Thermal).with(&Setting::opening, thermal_opening(name_and_space));
    }

  private:
    template <typename Member, typename Value> constexpr Setting with(Member Setting::*member, Value value) const {
        Setting changed = *this;
        changed.*member = value;
        return changed;
    }
};

// Settings carried by each SDK function, on their records.
template <typename Record> constexpr Setting dev_config(Sub sub) { return {Sdk::DevConfig, sub, shape<Record>()}; }
template <typename Record> constexpr Setting ftp_upload(Sub sub) { return {Sdk::FtpUpload, sub, shape<Record>()}; }
template <typename Request, typename Answer> constexpr Setting cmd_config(Sub sub) {
    return {Sdk::CmdConfig, sub, shape<Request>(), shape<Answer>()};
}
template <typename Record> constexpr Setting dz_transparent() {
    return {Sdk::DzTransparent, {0, nullptr}, shape<Record>()};
}

// Set command of call form J: reads the members, calls the device, 1 on success.
int32_t apply_setting(void *host, json_object *jso, const Setting &setting);
// Get command of call form JO.
int32_t query_setting(void *host, json_object *jso, char **out_buf, const Setting &setting);

}  // namespace zel::settings
