#include "settings_store.h"

#include "device_sdk_settings.h"
#include "device_sdk_settings_query.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace device_sdk_sim {
namespace {

/* Control commands of the line and contact records. */
constexpr int32_t kDelete = 2;

/* Ability answers: (main, sub) -> decimal text; a sub type of -1 answers
 * every sub type of that main type. Others are left to programmed answers. */
struct Ability {
    int32_t main_type;
    int32_t sub_type;
    const char *param;
};
constexpr Ability kAbilities[] = {{9, -1, "1"}, {20, 116, "8"}, {64, 105, "16"}};

/* The command records' time: 2026-12-01 08:00:00 UTC. */
constexpr dvr_time kRecordTime = {2026, 12, 1, 8, 0, 0};
constexpr int32_t kMaxReportSeq = 1000;

/* The request record of a call, zeroed beyond what the caller passed. */
template <typename Record> Record request(const Call &call) {
    Record r{};
    if (call.in != nullptr && call.in_len > 0)
        std::memcpy(&r, call.in, std::min(sizeof r, static_cast<size_t>(call.in_len)));
    return r;
}

template <size_t N> void put_text(char (&field)[N], std::string_view text) {
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}
template <size_t N> std::string text_of(const char (&field)[N]) { return {field, strnlen(field, N)}; }

}  // namespace

SettingsStore::SettingsStore(int32_t channels, int32_t kind) : channels_(channels), kind_(kind) {}

std::optional<Answer> SettingsStore::answer(const Call &call, const char *function) {
    if (named(function, "NetClient_GetDevConfig"))
        return dev_config(call);
    if (named(function, "NetClient_CmdConfig"))
        return cmd_config(call);
    if (named(function, "NetClient_GetDevConfig_V5") &&
        (call.cmd == NETCLIENT_GET_ALARMINPORT_V5 || call.cmd == NETCLIENT_GET_ALARMOUTPORT_V5))
        return alarm_ports(call.cmd);
    if (named(function, "NetClient_GetCommonEnable") && call.cmd == CI_COMMON_ID_DEVICE_MODE) {
        int32_t mode = kind_ == SDK_SIM_RECORDER ? 2 : 1;
        return answer_with(mode);
    }
    return std::nullopt;
}

std::optional<Answer> SettingsStore::dev_config(const Call &call) const {
    switch (call.cmd) {
    case NET_CLIENT_CHN_CONNECT_STATE: {
        int32_t connected = call.ch >= 0 && call.ch < channels_ ? 1 : 0;
        return answer_with(connected);
    }
    case NET_CLIENT_DORMANCY_STATE: return dormancy(call.ch);
    case NET_CLIENT_DEV_IDENTITY: {
        dev_identity identity{};
        put_text(identity.barcode, kind_ == SDK_SIM_RECORDER ? "SIMNVR2026120100017" : "SIMIPC2026120100023");
        return answer_with(identity);
    }
    case NET_CLIENT_GET_FUNC_ABILITY: {
        auto asked = request<FuncAbility>(call);
        for (const Ability &a : kAbilities) {
            if (a.main_type != asked.iMainFuncType || (a.sub_type != -1 && a.sub_type != asked.iSubFuncType))
                continue;
            std::memset(asked.cParam, 0, sizeof asked.cParam);
            put_text(asked.cParam, a.param);
            return answer_with(asked);
        }
        return std::nullopt;
    }
    default: return std::nullopt;
    }
}

std::optional<Answer> SettingsStore::cmd_config(const Call &call) {
    switch (call.cmd) {
    case CMD_DORMANCY_SET: return set_dormancy(call);
    case CMD_VERTICALLINE: return set_line(call);
    case CMD_VERTICALLINE_QUERY: return lines(call);
    case CMD_PHONE_CONTACT_SET: return set_contact(call);
    case CMD_PHONE_CONTACT_QUERY: return contacts(call);
    case CMD_REPORT_RECORDS: {
        auto asked = request<report_records_query>(call);
        report_records_answer a{};
        a.size = sizeof a;
        a.first_seq = asked.seq_start;
        a.last_seq = std::min<int64_t>(asked.seq_stop, asked.seq_start + asked.page_size);
        a.record_num = static_cast<int32_t>(std::max<int64_t>(a.last_seq - a.first_seq, 0));
        a.max_seq_no = kMaxReportSeq;
        return answer_with(a);
    }
    case CMD_COMMAND_RECORDS: {
        auto asked = request<cmd_records_query>(call);
        cmd_records_answer a{};
        a.size = sizeof a;
        a.value = asked.type * 10;
        a.time = kRecordTime;
        return answer_with(a);
    }
    default: return std::nullopt;
    }
}

Answer SettingsStore::set_dormancy(const Call &call) {
    auto asked = request<dormancy_set>(call);
    dormancy_[call.ch] = Dormancy{asked.enable, asked.dormancy_type};
    return Answer{};
}

Answer SettingsStore::dormancy(int32_t ch) const {
    dormancy_state state{};
    state.size = sizeof state;
    auto kept = dormancy_.find(ch);
    if (kept != dormancy_.end()) {
        state.enable = kept->second.enable;
        state.dormancy_type = kept->second.type;
    }
    return answer_with(state);
}

Answer SettingsStore::set_line(const Call &call) {
    auto asked = request<vertical_line>(call);
    std::vector<Line> &scene = lines_[{call.ch, asked.scene_id}];
    std::erase_if(scene, [&](const Line &l) { return l.line_id == asked.line_id; });
    if (asked.control_cmd != kDelete) {
        Line line{asked.line_id, asked.start_distance, asked.bottom_altitude, {}};
        for (int32_t i = 0; i < std::clamp(asked.cofe_num, 0, static_cast<int32_t>(MAX_COFE_NUM)); ++i)
            line.cofe.emplace_back(asked.cofe_info[i].water_level, asked.cofe_info[i].cofe);
        scene.insert(std::ranges::upper_bound(scene, line.line_id, {}, &Line::line_id), line);
    }
    asked.result = 0;
    return answer_with(asked);
}

Answer SettingsStore::lines(const Call &call) const {
    auto asked = request<vertical_line_query>(call);
    std::vector<Line> found;
    if (auto scene = lines_.find({call.ch, asked.scene_id}); scene != lines_.end())
        std::ranges::copy_if(scene->second, std::back_inserter(found),
                             [&](const Line &l) { return l.line_id >= asked.line_id_start; });
    size_t per_page =
        static_cast<size_t>(std::clamp(asked.each_page_size, 1, static_cast<int32_t>(MAX_VERTICALLINE_PAGE)));
    size_t first = std::min(found.size(), static_cast<size_t>(std::max(asked.page_no, 0)) * per_page);
    size_t count = std::min(found.size() - first, per_page);
    std::vector<vertical_line_result> area(std::max<size_t>(count, 1));
    for (size_t i = 0; i < count; ++i) {
        const Line &l = found[first + i];
        vertical_line_result &r = area[i];
        r.size = sizeof r;
        r.index = static_cast<int32_t>(first + i);
        r.line_id = l.line_id;
        r.start_distance = l.start_distance;
        r.bottom_altitude = l.bottom_altitude;
        r.cofe_num = static_cast<int32_t>(l.cofe.size());
        for (size_t c = 0; c < l.cofe.size(); ++c)
            r.cofe_info[c] = {l.cofe[c].first, l.cofe[c].second};
    }
    area[0].total_num = static_cast<int32_t>(found.size());
    area[0].page_no = asked.page_no;
    area[0].line_num = static_cast<int32_t>(count);
    return Answer{0, std::nullopt, bytes_of(area.data(), area.size())};
}

/* Every channel's phone book starts with the site's two standing contacts. */
std::vector<SettingsStore::Contact> SettingsStore::standing_contacts() {
    return {{1, "Duty officer", "555-0100", 1}, {2, "Maintenance", "555-0101", 2}};
}

Answer SettingsStore::set_contact(const Call &call) {
    auto asked = request<phone_contact>(call);
    auto book = contacts_.try_emplace(call.ch, standing_contacts()).first;
    std::erase_if(book->second, [&](const Contact &c) { return c.people_id == asked.people_id; });
    if (asked.control_type != kDelete) {
        Contact contact{asked.people_id, text_of(asked.name), text_of(asked.phone_number), asked.type};
        book->second.insert(std::ranges::upper_bound(book->second, contact.people_id, {}, &Contact::people_id),
                            contact);
    }
    phone_contact_reply reply{};
    reply.contact = asked;
    return answer_with(reply);
}

Answer SettingsStore::contacts(const Call &call) const {
    auto asked = request<phone_contact_query>(call);
    auto kept = contacts_.find(call.ch);
    std::vector<Contact> standing = kept == contacts_.end() ? standing_contacts() : std::vector<Contact>{};
    const std::vector<Contact> &book = kept != contacts_.end() ? kept->second : standing;
    std::vector<const Contact *> found;
    for (const Contact &c : book)
        if (c.people_id >= asked.people_id_start)
            found.push_back(&c);
    auto page = std::make_unique<phone_contact_page>();
    size_t first = std::min(found.size(), static_cast<size_t>(std::max(asked.page_no, 0)) * MAX_PHONE_CONTACT_PAGE);
    size_t count = std::min<size_t>(found.size() - first, MAX_PHONE_CONTACT_PAGE);
    page->total_num = static_cast<int32_t>(found.size());
    page->current_num = static_cast<int32_t>(count);
    for (size_t i = 0; i < count; ++i) {
        const Contact &c = *found[first + i];
        phone_contact_entry &e = page->contacts[i];
        e.people_id = c.people_id;
        put_text(e.name, c.name);
        put_text(e.phone_number, c.phone_number);
        e.type = c.type;
    }
    return answer_with(*page);
}

Answer SettingsStore::alarm_ports(int32_t cmd) const {
    bool inputs = cmd == NETCLIENT_GET_ALARMINPORT_V5;
    int32_t count = kind_ == SDK_SIM_RECORDER ? (inputs ? 16 : 4) : (inputs ? 2 : 1);
    auto list = std::make_unique<alarm_port_list>();
    list->count = count;
    for (int32_t i = 0; i < count; ++i) {
        alarm_port &p = list->ports[i];
        p.type = 0;
        p.no = i;
        p.on_or_off = 0;
        p.online = 1;
        std::snprintf(p.alias_name, sizeof p.alias_name, "%s %d", inputs ? "Alarm In" : "Alarm Out", i + 1);
    }
    return answer_with(*list);
}

}  // namespace device_sdk_sim
