// What every command handler uses between receiving the command and calling
// the device SDK: the opening checks, the member readers, text copies into
// SDK fields, and small record helpers.
//
// Refusals are logged at level 2 at the handler's own line (the Site default
// argument) and set the error code the call names. A code of kKeepErrno
// leaves errno as it was, for the handlers whose refusals carry no code.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>

#include <json-c/json.h>

#include "device_sdk.h"
#include "zel_json.h"
#include "zel_log.h"

namespace zel {

// The error-code argument of a refusal that leaves errno alone.
inline constexpr int32_t kKeepErrno = 0;

// The SDK's whole-device channel.
inline constexpr int32_t kAllChannels = NETCLIENT_ALL_CHANNELS;

// ---------------------------------------------------------------------------
// Opening checks: host record, command object, reply slot, in that order.

// How a handler words its opening refusals and which codes they set.
struct Opening {
    int32_t host_code = CMD_ZEL_EINVAL;  // a missing host record: CMD_ZEL_EINVAL, CMD_ZEL_ENOHOST or kKeepErrno
    int32_t code = CMD_ZEL_EINVAL;       // a missing command object or reply slot
    const char *prefix = "";             // put before each text: "<absolute_coordinates> ", "disk_smart_info: "
    const char *suffix = "";             // put after each text: ", <get_ref_boundary>"
    const char *host_id = nullptr;       // once the host is known, its id follows: ", host_id:%s"
    const char *any_missing = nullptr;   // one text for whatever is missing: "host == NULL || is_error(jso)"
};

// False (refused) when the host record is missing: "host == NULL".
bool has_host(void *host, const Opening &opening = {}, Site site = {});
// The same, then the command object: "is_error(jso)".
bool has_command(void *host, json_object *jso, const Opening &opening = {}, Site site = {});
// The same, then the reply slot: "out_buf == NULL".
bool has_command_and_reply(void *host, json_object *jso, char **out_buf, const Opening &opening = {}, Site site = {});
// Host record and reply slot, for the handlers that read no command.
bool has_host_and_reply(void *host, char **out_buf, const Opening &opening = {}, Site site = {});
// Only the reply slot, for handlers that check it after other members.
bool has_reply_slot(void *host, char **out_buf, const Opening &opening = {}, Site site = {});

// ---------------------------------------------------------------------------
// Member readers. An integer member that is absent, JSON null or not a
// number reads as the default the reader passes (-1 unless said otherwise),
// so it is refused exactly like an absent one.

// What a refused member logs and the code it sets. Without a text the line
// is "<key> == -1".
struct Refusal {
    const char *text = nullptr;
    int32_t code = CMD_ZEL_EINVAL;
    Refusal(const char *refusal_text = nullptr, int32_t error_code = CMD_ZEL_EINVAL)  // NOLINT: implicit on purpose
        : text(refusal_text), code(error_code) {}
};

// Refuses a member equal to its default `absent` ("== -1", "== -2").
bool read_required(json_object *jso, const char *key, int32_t &value, const Refusal &refusal = {}, int32_t absent = -1,
                   Site site = {});
// Refuses a negative member ("< 0"); absent reads -1.
bool read_non_negative(json_object *jso, const char *key, int32_t &value, const Refusal &refusal = {}, Site site = {});
// Refuses a member outside [low, high]; absent reads -1.
bool read_in_range(json_object *jso, const char *key, int32_t &value, int32_t low, int32_t high,
                   const Refusal &refusal = {}, Site site = {});
// An optional member: when absent (-1) `absent_log` is logged at level 2
// (when given) and `field` keeps its value; otherwise the value is stored.
void read_optional(json_object *jso, const char *key, int32_t &field, const char *absent_log = nullptr, Site site = {});

// The channel of the handlers that accept the whole device: "ch" absent or
// -1 is the whole device (kAllChannels), below -1 is refused ("ch < -1").
bool read_device_channel(json_object *jso, int32_t &ch, const Refusal &refusal = {"ch < -1"}, Site site = {});

// A text member when present and shorter than `limit` characters, else null.
const char *bounded_text(json_object *jso, const char *key, size_t limit);
// A required text member; refuses an absent one ("<key> == NULL" without a
// refusal text). The text is borrowed from the command object.
bool read_text(json_object *jso, const char *key, const char *&text, const Refusal &refusal = {}, Site site = {});
// The same for a text that must also be shorter than `limit` characters
// (bounded_text); an absent or longer one is refused with `refusal`.
bool read_bounded_text(json_object *jso, const char *key, size_t limit, const char *&text, const Refusal &refusal,
                       Site site = {});

// Copies a command string into a fixed-width SDK text field: at most the
// width minus one characters, always terminated. A null text leaves the
// field empty.
template <size_t N> void copy_text(char (&field)[N], const char *text) {
    static_assert(N > 0);
    std::memset(field, 0, N);
    if (text != nullptr)
        std::memcpy(field, text, strnlen(text, N - 1));
}

// An optional text member copied into its field; when absent `absent_log`
// is logged at level 2 (when given) and the field keeps its contents.
template <size_t N>
void read_optional_text(json_object *jso, const char *key, char (&field)[N], const char *absent_log = nullptr,
                        Site site = {}) {
    const char *text = json_object_get_field_string(jso, key);
    if (text != nullptr)
        copy_text(field, text);
    else if (absent_log != nullptr)
        log_debug_ex(kLogError, site.file(), site.line, "%s", absent_log);
}

// ---------------------------------------------------------------------------
// Member tables: records whose integer fields map one to one to members,
// read in table order and answered in the same order.

template <typename Record> struct IntMember {
    const char *key;
    int32_t Record::*field;
    const char *refusal = nullptr;  // logged when the member is refused; null: "<key> == -1"
};

// A table as the readers take it: any array or span of IntMember<Record>,
// the record type coming from the record argument.
template <typename Record> using MemberTable = std::type_identity_t<std::span<const IntMember<Record>>>;

// Reads every member with read_non_negative; stops at the first refused one.
template <typename Record>
bool read_non_negative_members(json_object *jso, MemberTable<Record> members, Record &record,
                               int32_t code = CMD_ZEL_EINVAL, Site site = {}) {
    for (const IntMember<Record> &m : members)
        if (!read_non_negative(jso, m.key, record.*m.field, {m.refusal, code}, site))
            return false;
    return true;
}

// Reads every member with read_required; stops at the first refused one.
template <typename Record>
bool read_required_members(json_object *jso, MemberTable<Record> members, Record &record, int32_t code = CMD_ZEL_EINVAL,
                           Site site = {}) {
    for (const IntMember<Record> &m : members)
        if (!read_required(jso, m.key, record.*m.field, {m.refusal, code}, -1, site))
            return false;
    return true;
}

// Adds every member of the table to `reply`, in table order.
template <typename Record>
void add_members(json_object *reply, MemberTable<Record> members, const Record &record,
                 const char *what = "is_error(jso_ret)") {
    for (const IntMember<Record> &m : members)
        add_int(reply, m.key, record.*m.field, what);
}

// ---------------------------------------------------------------------------
// Records and device answers.

// A zeroed SDK request record whose first field carries its own size.
template <typename Record> Record sized_record() {
    Record record{};
    record.size = static_cast<decltype(record.size)>(sizeof(Record));
    return record;
}

// The byte length of a record as the SDK functions take it.
template <typename Record> constexpr int32_t record_len() { return static_cast<int32_t>(sizeof(Record)); }

// A count the device reports, clamped to what its record holds: negative
// counts are 0 and nothing is ever read past the last slot.
constexpr int32_t clamp_count(int32_t reported, int32_t capacity) { return std::clamp(reported, 0, capacity); }

// The SDK's last error as the failure lines print it (%lx).
inline unsigned long sdk_error() { return static_cast<unsigned long>(static_cast<uint32_t>(NetClient_GetLastError())); }

struct FreeRecord {
    void operator()(void *p) const { std::free(p); }
};
template <typename Record> using HeapRecord = std::unique_ptr<Record, FreeRecord>;

// A zeroed record too large for a handler's stack; exhaustion is fatal with
// `what` as the level-5 line.
template <typename Record> HeapRecord<Record> zeroed_heap_record(const char *what, Site site = {}) {
    return HeapRecord<Record>(static_cast<Record *>(xcalloc(1, sizeof(Record), what, site)));
}

// ---------------------------------------------------------------------------
// Waits for an answer that the platform's event thread writes into the host
// record: `answered` is asked up to `reads` times with os_sleep(pause_ms)
// between two reads. True as soon as it says yes.
template <typename Answered> bool wait_for_answer(int32_t reads, int32_t pause_ms, Answered answered) {
    for (int32_t i = 0; i < reads; ++i) {
        if (answered())
            return true;
        if (i + 1 < reads)
            os_sleep(pause_ms);
    }
    return false;
}

// The device's answer to switching a channel's analysis off, which the
// platform's event thread writes into the channel record (0 refused,
// 1 accepted). Polls about a second, 10 ms apart, and consumes the answer
// it finds; empty when none came.
std::optional<bool> take_analysis_off_answer(void *host, int32_t ch);

// ---------------------------------------------------------------------------
// Handler shapes shared by many commands.

// Set commands that answer {"ret":%d}: `send` reads the members and calls
// the device once the opening checks passed, returning the device's result
// or -1 when it refused a member. Whatever stopped the command, a reply slot
// that is there receives the reply; the result is 1 when "ret" is 0 or more.
template <typename Send>
int32_t run_with_ret_reply(void *host, json_object *jso, char **out_buf, const Opening &opening, Send send,
                           Site site = {}) {
    int32_t ret = -1;
    if (has_command(host, jso, opening, site)) {
        if (!has_reply_slot(host, out_buf, opening, site))
            return 0;
        ret = send(host, jso);
    }
    if (out_buf != nullptr)
        reply_ret(out_buf, ret);
    return ret >= 0 ? 1 : 0;
}

// Get commands whose document ends with "ret": after the opening checks,
// `fill` reads the members, calls the device and adds the data members to
// the reply, returning the device's result or -1 when a member was refused.
// A refused command is still answered (with "ret" -1); the result is 1 when
// "ret" is 0 or more. `oom` is the level-5 line of a failed reply buffer.
template <typename Fill>
int32_t run_with_document_reply(void *host, json_object *jso, char **out_buf, const Opening &opening, Fill fill,
                                const char *oom = "*out_buf == NULL calloc err!", Site site = {}) {
    if (!has_command_and_reply(host, jso, out_buf, opening, site))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)", site);
    int32_t ret = fill(host, jso, reply.get());
    add_int(reply.get(), "ret", ret);
    if (!reply_document(out_buf, reply.get(), {oom, site}))
        return 0;
    return ret >= 0 ? 1 : 0;
}

}  // namespace zel
