#include "settings/setting_engine.h"

#include <array>
#include <cstring>

#include "comm_func/comm_func.h"
#include "host_view.h"

namespace zel::settings {
namespace {

using Record = std::array<uint8_t, kMaxRecord>;

int32_t word_at(const uint8_t *base, size_t offset) {
    int32_t value;
    std::memcpy(&value, base + offset, sizeof value);
    return value;
}

void put_word(uint8_t *base, size_t offset, int32_t value) { std::memcpy(base + offset, &value, sizeof value); }

bool accepts(const Field &m, int32_t value) {
    switch (m.check) {
    case Check::Required: return value != m.absent;
    case Check::NonNegative: return value >= 0;
    case Check::InRange: return value >= m.low && value <= m.high;
    case Check::Optional:
    case Check::Unchecked: break;
    }
    return true;
}

// Cuts `text` into `parts` fields of `width` bytes, each holding at most
// width - 1 characters and terminated.
void copy_parts(uint8_t *field, const char *text, size_t width, size_t parts) {
    std::memset(field, 0, width * parts);
    size_t left = std::strlen(text);
    for (size_t p = 0; p < parts && left > 0; ++p) {
        size_t n = left < width - 1 ? left : width - 1;
        std::memcpy(field + p * width, text, n);
        text += n;
        left -= n;
    }
}

// Reads a command's members into a record. A refused member is logged with
// the setting's prefix and its own line (or "<key> == -1", "<key> == NULL")
// and sets 0x1000002.
class Reader {
  public:
    Reader(const char *prefix, int32_t default_channel) : channel(default_channel), prefix_(prefix) {}

    // Bit i of `written` is set when member i wrote its field (an optional
    // member that was absent writes nothing); kept for the first 64 members.
    bool members(json_object *jso, std::span<const Field> fields, uint8_t *base, uint64_t *written = nullptr) {
        for (size_t i = 0; i < fields.size(); ++i) {
            bool wrote = false;
            if (!member(jso, fields[i], base, wrote))
                return false;
            if (written != nullptr && wrote && i < 64)
                *written |= uint64_t{1} << i;
        }
        return true;
    }

    int32_t channel;

  private:
    bool refuse(const char *text, const char *key, const char *fallback) const {
        if (text != nullptr)
            ZLOG(kLogError, "%s%s", prefix_, text);
        else
            ZLOG(kLogError, "%s%s %s", prefix_, key, fallback);
        set_error(CMD_ZEL_EINVAL);
        return false;
    }

    bool member(json_object *jso, const Field &m, uint8_t *base, bool &wrote) {
        wrote = false;
        if (m.kind == Kind::List)
            return wrote = list(jso, *m.list, base);
        if (m.kind == Kind::Text) {
            const char *value = json_object_get_field_string(jso, m.key);
            if (value == nullptr)
                return refuse(m.refusal, m.key, "== NULL");
            copy_parts(base + m.offset, value, m.width, m.parts);
            return wrote = true;
        }
        int32_t value = json_object_get_field_int(jso, m.key, m.absent);
        if (m.check == Check::Optional && value == m.absent) {
            if (m.refusal != nullptr)
                ZLOG(kLogError, "%s%s", prefix_, m.refusal);
            return true;
        }
        if (!accepts(m, value))
            return refuse(m.refusal, m.key, "== -1");
        if (m.offset == kChannelArg) {
            channel = value;
        } else if (m.kind == Kind::Int16) {
            auto narrow = static_cast<int16_t>(value);
            std::memcpy(base + m.offset, &narrow, sizeof narrow);
        } else {
            put_word(base, m.offset, value);
        }
        return wrote = true;
    }

    bool list(json_object *jso, const List &l, uint8_t *base) {
        json_object *array = json_object_object_get(jso, l.key);
        if (array == nullptr)
            return refuse(l.absent, l.key, "== NULL");
        if (!json_object_is_type(array, json_type_array))
            return refuse(l.not_array, l.key, "is no array");
        auto length = static_cast<int64_t>(json_object_array_length(array));
        int64_t count = l.count_read ? word_at(base, l.count_offset) : length;
        if (l.exact != nullptr && count != length)
            return refuse(l.exact, l.key, "length differs");
        if (count < l.low || count > l.high)
            return refuse(l.count_refusal, l.key, "count out of range");
        if (!l.count_read)
            put_word(base, l.count_offset, static_cast<int32_t>(count));
        for (int64_t i = 0; i < count; ++i) {
            // An element past the end reads as missing: its members are refused.
            json_object *element = json_object_array_get_idx(array, static_cast<size_t>(i));
            if (!members(element, l.elements, base + l.first + static_cast<size_t>(i) * l.stride))
                return false;
        }
        return true;
    }

    const char *prefix_;
};

// Bytes a member fills in the record.
size_t member_bytes(const Field &m) {
    switch (m.kind) {
    case Kind::Int32: return sizeof(int32_t);
    case Kind::Int16: return sizeof(int16_t);
    case Kind::Text: return m.width * m.parts;
    default: return 0;
    }
}

// Copies what the members wrote into the device's own record.
void merge_members(const Setting &s, uint64_t written, const uint8_t *request, uint8_t *device) {
    for (size_t i = 0; i < s.members.size(); ++i) {
        const Field &m = s.members[i];
        if (i < 64 && (written & (uint64_t{1} << i)) != 0 && m.offset != kChannelArg)
            std::memcpy(device + m.offset, request + m.offset, member_bytes(m));
    }
}

enum class Direction : uint8_t { Get, Set };

const char *function_name(Sdk sdk, Direction d) {
    bool get = d == Direction::Get;
    switch (sdk) {
    case Sdk::DevConfig: return get ? "NetClient_GetDevConfig" : "NetClient_SetDevConfig";
    case Sdk::FtpUpload: return get ? "NetClient_GetFTPUploadConfig" : "NetClient_SetFTPUploadConfig";
    case Sdk::CmdConfig: return "NetClient_CmdConfig";
    case Sdk::DzTransparent: return get ? "NetClient_GetDzTransparentPara" : "NetClient_SetDzTransparentPara";
    }
    return "";
}

int32_t call_device(const Setting &s, Direction d, int32_t loginfd, int32_t channel, uint8_t *record, uint8_t *answer) {
    auto len = static_cast<int32_t>(s.record.bytes);
    bool get = d == Direction::Get;
    switch (s.sdk) {
    case Sdk::DevConfig: {
        int32_t returned = 0;
        return get ? NetClient_GetDevConfig(loginfd, s.sub.value, channel, record, len, &returned)
                   : NetClient_SetDevConfig(loginfd, s.sub.value, channel, record, len);
    }
    case Sdk::FtpUpload:
        return get ? NetClient_GetFTPUploadConfig(loginfd, s.sub.value, record, len)
                   : NetClient_SetFTPUploadConfig(loginfd, s.sub.value, record, len);
    case Sdk::CmdConfig:
        return NetClient_CmdConfig(loginfd, s.sub.value, channel, record, len, s.answer.bytes > 0 ? answer : nullptr,
                                   static_cast<int32_t>(s.answer.bytes));
    case Sdk::DzTransparent:
        return get ? NetClient_GetDzTransparentPara(loginfd, record, len, 1, 1)
                   : NetClient_SetDzTransparentPara(loginfd, record, len, 1, 1);
    }
    return -1;
}

// Calls the device; a failure is logged as the setting words it and sets
// its code. The result is the SDK's.
int32_t call_or_report(const Setting &s, Direction d, const HostView &dev, int32_t channel, uint8_t *record,
                       uint8_t *answer) {
    int32_t ret = call_device(s, d, dev.loginfd(), channel, record, answer);
    if (ret == 0)
        return ret;
    const char *function = function_name(s.sdk, d);
    if (s.failure_text != nullptr)
        ZLOG(kLogError, "%s", s.failure_text);
    else if (s.voice == Voice::Thermal)
        ZLOG(kLogError, "%s%s-%s failed, ip:%s, err_code:%lx, ret_value:%d", s.opening.prefix, function, s.sub.name,
             dev.log_ip(), sdk_error(), ret);
    else
        ZLOG(kLogError, "%s%s%s failed, host_id:%s, err_code:%lx, ret_value:%d", function, s.sub.name ? "-" : "",
             s.sub.name ? s.sub.name : "", dev.id(), sdk_error(), ret);
    if (s.failure_code != kKeepErrno)
        set_error(s.failure_code);
    return ret;
}

// The request record, zeroed, with its size word when it has one.
void start_record(const Shape &shape, uint8_t *record) {
    std::memset(record, 0, shape.bytes);
    if (shape.sized)
        put_word(record, 0, static_cast<int32_t>(shape.bytes));
}

// What a reply field reads besides the answer.
struct Context {
    const HostView &dev;
    int32_t channel;
    const uint8_t *request;
};

void describe(json_object *reply, std::span<const Field> fields, const uint8_t *answer, const Context &c);

// A text shown from its field, or from `parts` fields joined; never read
// past a field.
json_object *shown_text(const Field &f, const uint8_t *answer) {
    std::array<char, kMaxRecord + 1> joined{};
    size_t len = 0;
    for (size_t p = 0; p < f.parts; ++p) {
        const char *part = reinterpret_cast<const char *>(answer + f.offset + p * f.width);
        size_t n = strnlen(part, f.width);
        std::memcpy(joined.data() + len, part, n);
        len += n;
    }
    return json_object_new_string_len(joined.data(), static_cast<int>(len));
}

json_object *shown_list(const List &l, const uint8_t *answer, const Context &c) {
    JsonPtr array = new_array("is_error(jso_array)");
    int32_t count = clamp_count(word_at(answer, l.count_offset), l.high);
    for (int32_t i = 0; i < count; ++i) {
        JsonPtr item = new_object("is_error(jso_item)");
        describe(item.get(), l.elements, answer + l.first + static_cast<size_t>(i) * l.stride, c);
        append(array.get(), item.release());
    }
    return array.release();
}

json_object *shown(const Field &f, const uint8_t *answer, const Context &c) {
    switch (f.kind) {
    case Kind::Int32: return json_object_new_int(f.offset == kChannelArg ? c.channel : word_at(answer, f.offset));
    case Kind::Int16: {
        int16_t value;
        std::memcpy(&value, answer + f.offset, sizeof value);
        return json_object_new_int(value);
    }
    case Kind::Text: return shown_text(f, answer);
    case Kind::List: return shown_list(*f.list, answer, c);
    case Kind::HostId: return field_string(c.dev.id(), host_field::kIdSize);
    case Kind::Request: return json_object_new_int(word_at(c.request, f.offset));
    case Kind::UtcTime: {
        dvr_time time;
        std::memcpy(&time, answer + f.offset, sizeof time);
        return json_object_new_int(static_cast<int32_t>(utc_dvr_time_to_time_t(&time)));
    }
    }
    return nullptr;
}

void describe(json_object *reply, std::span<const Field> fields, const uint8_t *answer, const Context &c) {
    for (const Field &f : fields)
        add(reply, f.key, shown(f, answer, c));
}

// The thermal-screen handlers refuse a missing host, command or reply slot
// with one line naming all the conditions they check.
Opening opening_for(const Setting &s, bool answers) {
    Opening opening = s.opening;
    if (s.voice == Voice::Thermal)
        opening.any_missing =
            answers ? "host == NULL || jso == NULL || out_buf == NULL" : "host == NULL || jso == NULL";
    return opening;
}

}  // namespace

int32_t apply_setting(void *host, json_object *jso, const Setting &s) {
    if (!has_command(host, jso, opening_for(s, false)))
        return 0;
    Record request;
    start_record(s.record, request.data());
    Reader reader(s.opening.prefix, s.channel);
    uint64_t written = 0;
    if (!reader.members(jso, s.members, request.data(), &written))
        return 0;
    const int32_t channel = reader.channel;

    HostView dev(host);
    uint8_t *sent = request.data();
    Record device;
    if (s.read_first) {
        start_record(s.record, device.data());
        if (call_or_report(s, Direction::Get, dev, channel, device.data(), nullptr) != 0)
            return 0;
        merge_members(s, written, request.data(), device.data());
        sent = device.data();
    }
    Record answer{};
    if (call_or_report(s, Direction::Set, dev, channel, sent, answer.data()) != 0)
        return 0;
    if (s.result_refusal != nullptr && word_at(answer.data(), s.result_offset) != 0) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        ZLOG(kLogError, s.result_refusal, dev.id(), channel);
#pragma GCC diagnostic pop
        return fail_with(s.failure_code);
    }
    return 1;
}

int32_t query_setting(void *host, json_object *jso, char **out_buf, const Setting &s) {
    if (!has_command_and_reply(host, jso, out_buf, opening_for(s, true)))
        return 0;
    JsonPtr reply = new_object("is_error(jso_ret)");
    // json-c keeps a member's place when its value is replaced, so a "ret"
    // that comes first is added now and given its value at the end.
    if (s.ret == Ret::First)
        add_int(reply.get(), "ret", -1);

    Record request;
    start_record(s.record, request.data());
    Reader reader(s.opening.prefix, s.channel);
    int32_t ret = -1;
    if (reader.members(jso, s.members, request.data())) {
        HostView dev(host);
        Record answer{};
        uint8_t *answered = s.answer.bytes > 0 ? answer.data() : request.data();
        ret = call_or_report(s, Direction::Get, dev, reader.channel, request.data(), answer.data());
        if (ret == 0)
            describe(reply.get(), s.reply, answered, {dev, reader.channel, request.data()});
    }
    if (s.ret == Ret::None && ret != 0)
        return 0;
    if (s.ret != Ret::None)
        add_int(reply.get(), "ret", ret);
    if (!reply_document(out_buf, reply.get()))
        return 0;
    if (s.reply_log != nullptr) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        ZLOG(kLogError, s.reply_log, *out_buf);
#pragma GCC diagnostic pop
    }
    return ret >= 0 ? 1 : 0;
}

}  // namespace zel::settings
