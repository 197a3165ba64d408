#include "script.h"

#include <json-c/json.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <thread>
#include <utility>

#include "command_catalog.h"
#include "device_events.h"
#include "message_service_control.h"
#include "video/video_sizes.h"

namespace console {
namespace {

std::string trim(const std::string &s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// Splits off the first word.
std::pair<std::string, std::string> word(const std::string &s) {
    std::string t = trim(s);
    size_t sp = t.find_first_of(" \t");
    if (sp == std::string::npos)
        return {t, ""};
    return {t.substr(0, sp), trim(t.substr(sp))};
}

// Canonical compact JSON of a text, or the text itself when it is not JSON.
std::string canonical(const std::string &text) {
    json_object *doc = json_tokener_parse(text.c_str());
    if (doc == nullptr)
        return trim(text);
    std::string out = json_object_to_json_string_ext(doc, JSON_C_TO_STRING_PLAIN);
    json_object_put(doc);
    return out;
}

// The reply's member `key` as compact JSON, or nothing. A dotted key
// ("param.flow") walks into nested objects, and a number into arrays
// ("list.0.event_type").
bool member_of(const std::string &reply, const std::string &key, std::string &value) {
    json_object *doc = json_tokener_parse(reply.c_str());
    json_object *m = doc;
    bool found = doc != nullptr;
    std::istringstream path(key);
    for (std::string part; found && std::getline(path, part, '.');)
        if (json_object_is_type(m, json_type_array))
            found = !part.empty() && part.find_first_not_of("0123456789") == std::string::npos &&
                    (m = json_object_array_get_idx(m, std::strtoul(part.c_str(), nullptr, 10))) != nullptr;
        else
            found = json_object_is_type(m, json_type_object) && json_object_object_get_ex(m, part.c_str(), &m);
    if (found)
        value = json_object_to_json_string_ext(m, JSON_C_TO_STRING_PLAIN);
    json_object_put(doc);
    return found;
}

const zel::CommandInfo *catalogue_entry(const std::string &side, int number) {
    if (side == "set" && number >= 0 && static_cast<size_t>(number) < zel::kSetCommandCount)
        return &zel::kSetCommands[number];
    if (side == "get" && number >= 0 && static_cast<size_t>(number) < zel::kGetCommandCount)
        return &zel::kGetCommands[number];
    return nullptr;
}

// The size codes of the commands whose "video_size" member is one, printed
// from the library's own tables: definition numbers (set 83, get 78, get 79)
// and the numbers get 74 reports.
void describe_sizes(std::FILE *out, std::string_view handler) {
    namespace video = zel::video;
    if (handler == "set_current_video_param" || handler == "get_current_video_param" ||
        handler == "get_support_video_param_info") {
        std::fprintf(out, "  video_size: definition   device code   width x height\n");
        // A second code of a definition is only ever read from a device.
        for (const video::PictureSize &s : video::kPictureSizes)
            std::fprintf(out, "    %3d   0x%-6x   %4d x %d%s\n", s.definition, static_cast<unsigned>(s.code), s.width,
                         s.height, video::size_of_definition(s.definition) != &s ? "   (read only)" : "");
        std::fprintf(out, "    a value with bit 30 set is a device code carrying its size: the width in bits\n"
                          "    0..14, the height in bits 15..29\n");
    } else if (handler == "get_video_rate_size") {
        std::fprintf(out, "  video_size: device code   reported as\n");
        for (const video::ReportedSize &r : video::kReportedSizes)
            std::fprintf(out, "    0x%-10x   %d\n", static_cast<unsigned>(r.code), r.number);
        std::fprintf(out, "    any other code is reported as it is\n");
    }
}

}  // namespace

bool Script::run(const std::string &raw) {
    std::string line = trim(raw);
    if (line.empty() || line[0] == '#')
        return true;
    auto [verb, rest] = word(line);
    if (verb == "echo") {
        printer_.heading(rest);
        return true;
    }
    if (verb == "set" || verb == "get")
        return send(line, true);
    if (verb == "repeat")
        return repeat(rest);
    if (verb == "expect")
        return expect(rest);
    if (verb == "event")
        return event(rest);
    if (verb == "wait")
        return wait(rest);
    if (verb == "upgrade")
        return upgrade(rest);
    if (verb == "commands") {
        list_commands(printer_.stream());
        return true;
    }
    if (verb == "help") {
        auto [side, number] = word(rest);
        if (describe_command(printer_.stream(), side, std::atoi(number.c_str())))
            return true;
        return fail("no command " + rest);
    }
    return fail("unknown statement: " + line);
}

bool Script::send(const std::string &statement, bool show) {
    auto [side, json] = word(statement);
    if (side != "set" && side != "get")
        return fail("expected set or get: " + statement);
    std::string text = substitute(json);
    if (show)
        printer_.command(side == "set" ? Side::Set : Side::Get, text);
    last_ = session_.send(side == "set" ? Side::Set : Side::Get, text);
    if (show)
        printer_.outcome(last_);
    keep_members();
    return true;
}

bool Script::repeat(const std::string &rest) {
    auto [key, after_key] = word(rest);
    auto [value, statement] = word(after_key);
    for (int i = 0; i < 100; ++i) {
        if (!send(statement, true))
            return false;
        std::string got;
        if (member_of(last_.reply, key, got) && got == canonical(value))
            return true;
    }
    return fail("\"" + key + "\" never became " + value);
}

bool Script::expect(const std::string &rest) {
    auto [what, value] = word(rest);
    if (what == "result") {
        if (last_.result == std::atoi(value.c_str()))
            return true;
        return fail("result " + std::to_string(last_.result) + ", expected " + value);
    }
    if (what == "errno") {
        if (last_.err == static_cast<int>(std::strtol(value.c_str(), nullptr, 0)))
            return true;
        return fail("errno " + errno_name(last_.err) + ", expected " + value);
    }
    if (what == "reply") {
        if (last_.has_reply && last_.reply == substitute(value))
            return true;
        return fail("reply " + (last_.has_reply ? last_.reply : "(none)") + ", expected " + value);
    }
    if (what == "member") {
        auto [key, expected] = word(value);
        std::string got;
        if (member_of(last_.reply, key, got) && got == canonical(substitute(expected)))
            return true;
        return fail("member \"" + key + "\" is " + (got.empty() ? "absent" : got) + ", expected " + expected);
    }
    if (what == "log") {
        for (const LogLine &line : last_.log)
            if (line.message == value)
                return true;
        return fail("no log line \"" + value + "\"");
    }
    if (what == "delivered")
        return expect_delivered(value);
    return fail("unknown expectation: " + rest);
}

bool Script::event(const std::string &rest) {
    auto [name, words] = word(rest);
    std::vector<std::string> fields;
    std::istringstream in(words);
    for (std::string w; in >> w;)
        fields.push_back(w);
    EventRecord record;
    std::string error;
    if (!build_event(name, fields, record, error))
        return fail(error);
    printer_.statement("event " + rest + "  (cmd_main_notify event " + std::to_string(record.number) + ")");
    last_ = session_.notify(record.number, std::move(record.data));
    printer_.log(last_);
    return true;
}

bool Script::wait(const std::string &rest) {
    auto [what, count] = word(rest);
    int32_t wanted = std::atoi(count.c_str());
    constexpr int32_t kTimeoutMs = 10000;
    if (what == "delivered") {
        int32_t reached = ms_control_wait_delivered(wanted, kTimeoutMs);
        if (reached < wanted)
            return fail(std::to_string(reached) + " messages delivered, expected " + count);
        printer_.note(std::to_string(reached) + " messages delivered to the broker");
        return true;
    }
    if (what == "producers") {
        int32_t reached = ms_control_wait_producers(wanted, kTimeoutMs);
        if (reached != wanted)
            return fail(std::to_string(reached) + " broker producers open, expected " + count);
        // A sender marks itself ready just after the broker has answered its
        // producer request; give it that moment before events are sent.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        printer_.note(std::to_string(reached) + " broker producers open: the library's senders are connected");
        return true;
    }
    return fail("unknown wait: " + rest);
}

bool Script::expect_delivered(const std::string &rest) {
    auto [key, expected] = word(rest);
    std::vector<char> text(16384);
    // Newest first: the service holds only the most recent messages.
    for (int32_t i = ms_control_delivered_count() - 1;
         ms_control_delivered(i, text.data(), static_cast<int32_t>(text.size())) >= 0; --i) {
        std::string got;
        if (member_of(text.data(), key, got) && got == canonical(expected))
            return true;
    }
    return fail("no delivered message has \"" + key + "\" " + expected);
}

bool Script::upgrade(const std::string &rest) {
    auto [file, type] = word(rest);
    if (file.empty())
        return fail("upgrade needs an image file: upgrade FILE [TYPE]");
    json_object *doc = json_object_new_object();
    json_object_object_add(doc, "command", json_object_new_int(29));
    json_object_object_add(doc, "upgrade_type", json_object_new_int(std::atoi(type.c_str())));
    json_object_object_add(doc, "filename", json_object_new_string(file.c_str()));
    std::string start = std::string("set ") + json_object_to_json_string_ext(doc, JSON_C_TO_STRING_PLAIN);
    json_object_put(doc);
    send(start, true);
    if (last_.result != 1) {
        printer_.note("the upgrade did not start");
        return true;
    }
    return follow_upgrade();
}

// Polls get 22 until the device reports the upgrade's end, drawing the
// progress; a device whose percentage stands still too long is given up on.
bool Script::follow_upgrade() {
    constexpr auto kPatience = std::chrono::seconds(10);
    auto moved = std::chrono::steady_clock::now();
    for (std::string last_pos;;) {
        Outcome polled = session_.send(Side::Get, R"({"command":22})");
        std::string ret, pos;
        if (polled.result != 1 || !member_of(polled.reply, "ret", ret) || !member_of(polled.reply, "pos", pos)) {
            printer_.progress_done();
            printer_.outcome(polled);
            last_ = polled;
            return fail("the progress query failed");
        }
        printer_.progress(std::atoi(pos.c_str()));
        if (ret != "1") {
            printer_.progress_done();
            printer_.log(polled);
            last_ = polled;
            keep_members();
            printer_.note(ret == "0" ? "upgrade finished: the device took the new firmware"
                                     : "upgrade failed: the device reported state " + ret);
            return true;
        }
        auto now = std::chrono::steady_clock::now();
        if (pos != std::exchange(last_pos, pos))
            moved = now;
        else if (now - moved > kPatience) {
            printer_.progress_done();
            return fail("the upgrade made no progress for 10 s");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

bool Script::fail(const std::string &why) {
    ++failures_;
    printer_.failure(why);
    return false;
}

std::string Script::substitute(const std::string &text) const {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '$') {
            size_t end = i + 1;
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
                ++end;
            auto it = variables_.find(text.substr(i + 1, end - i - 1));
            if (it != variables_.end()) {
                out += it->second;
                i = end;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

void Script::keep_members() {
    json_object *doc = json_tokener_parse(last_.reply.c_str());
    if (doc != nullptr && json_object_is_type(doc, json_type_object)) {
        json_object_object_foreach(doc, key, value) {
            variables_[key] = json_object_to_json_string_ext(value, JSON_C_TO_STRING_PLAIN);
        }
    }
    json_object_put(doc);
}

void list_commands(std::FILE *out) {
    auto list = [out](const char *side, const zel::CommandInfo *table, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const zel::CommandInfo &c = table[i];
            if (c.handler == nullptr)
                continue;
            std::fprintf(out, "%s %-3d %-42s %-3s%s %s\n", side, c.number, c.handler, zel::call_form_name(c.form),
                         c.stores_result ? "R" : " ", c.members);
        }
    };
    list("set", zel::kSetCommands, zel::kSetCommandCount);
    list("get", zel::kGetCommands, zel::kGetCommandCount);
}

bool describe_command(std::FILE *out, const std::string &side, int number) {
    const zel::CommandInfo *c = catalogue_entry(side, number);
    if (c == nullptr)
        return false;
    if (c->handler == nullptr) {
        std::fprintf(out, "%s %d: no command\n", side.c_str(), number);
        return true;
    }
    static const char *const kForms[] = {"", "the command document", "the command document and a reply", "a reply only",
                                         "the record's file name, the command document and a reply"};
    std::fprintf(out, "%s %d: %s\n  takes %s%s\n", side.c_str(), number, c->handler, kForms[static_cast<int>(c->form)],
                 c->stores_result ? "; the result is also stored in the record" : "");
    if (*c->members != '\0')
        std::fprintf(out, "  members: %s\n  example: %s %s\n", c->members, side.c_str(), c->example);
    else
        std::fprintf(out, "  not served by this build\n");
    describe_sizes(out, c->handler);
    return true;
}

}  // namespace console
