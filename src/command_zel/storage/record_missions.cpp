// Recordings the platform asks for (set 73) and the back-fill tasks that
// fetch missing footage: stop or pause (set 80), progress (get 72), the
// device's back-fill abilities (get 75) and a channel's tasks (get 86).
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "storage/storage_handlers.h"
#include "storage/storage_support.h"

namespace zel {
namespace {

// A required text member of the mission, named like its field, and where
// that field lies.
struct MissionText {
    const char *key;
    size_t offset;
    size_t width;
};

// Read in this order; the first one missing refuses the mission.
constexpr MissionText kMissionTexts[] = {
    {"dev_id", offsetof(RecordMission, dev_id), sizeof(RecordMission::dev_id)},
    {"dev_sup_id", offsetof(RecordMission, dev_sup_id), sizeof(RecordMission::dev_sup_id)},
    {"client_sup_id", offsetof(RecordMission, client_sup_id), sizeof(RecordMission::client_sup_id)},
    {"client_sup_ip", offsetof(RecordMission, client_sup_ip), sizeof(RecordMission::client_sup_ip)},
    {"mission_id", offsetof(RecordMission, mission_id), sizeof(RecordMission::mission_id)},
    {"alias_name", offsetof(RecordMission, alias_name), sizeof(RecordMission::alias_name)},
    {"rec_host_id", offsetof(RecordMission, rec_host_id), sizeof(RecordMission::rec_host_id)},
    {"storage_ms_ip", offsetof(RecordMission, storage_ms_ip), sizeof(RecordMission::storage_ms_ip)},
    {"cmd_type", offsetof(RecordMission, cmd_type), sizeof(RecordMission::cmd_type)},
};

// The mission's required numbers; "data_type" is required but has no field
// in the record.
struct MissionNumbers {
    int32_t storage_ms_port, rec_ch, client_sup_port, start_time, end_time, data_type, file_type;
};
constexpr IntMember<MissionNumbers> kMissionNumbers[] = {
    {"storage_ms_port", &MissionNumbers::storage_ms_port},
    {"rec_ch", &MissionNumbers::rec_ch},
    {"client_sup_port", &MissionNumbers::client_sup_port},
    {"start_time", &MissionNumbers::start_time},
    {"end_time", &MissionNumbers::end_time},
    {"data_type", &MissionNumbers::data_type},
    {"file_type", &MissionNumbers::file_type},
};

bool read_mission(json_object *jso, RecordMission &mission) {
    for (const MissionText &t : kMissionTexts) {
        const char *text = json_object_get_field_string(jso, t.key);
        if (text == nullptr)
            return ZREFUSE("%s == NULL", t.key);
        std::strncpy(reinterpret_cast<char *>(&mission) + t.offset, text, t.width - 1);
    }
    MissionNumbers n{};
    if (!read_required_members<MissionNumbers>(jso, kMissionNumbers, n, kKeepErrno) ||
        !read_non_negative(jso, "disk_group_no", mission.disk_group_no, {"disk_group_no < 0", kKeepErrno}))
        return false;
    mission.storage_ms_port = n.storage_ms_port;
    mission.rec_ch = n.rec_ch;
    mission.client_sup_port = n.client_sup_port;
    mission.start_time = n.start_time;
    mission.end_time = n.end_time;
    mission.file_type = n.file_type;
    return true;
}

}  // namespace

int32_t set_record_mission(void *host, json_object *jso) {
    if (!has_command(host, jso, {.host_id = ", host_id:%s"}))
        return 0;
    HostView view(host);
    auto mission = sized_record<RecordMission>();
    if (!read_mission(jso, mission))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZFAIL(CMD_ZEL_EINVAL, "ch < 0, id: %s, ch: %d", view.id(), ch);

    RecordMissionResult result{};
    if (NetClient_CmdConfig(view.loginfd(), CMD_RECORD_MISSION, ch, &mission, record_len<RecordMission>(), &result,
                            record_len<RecordMissionResult>()) != 0)
        return ZREFUSE("!NetClient_CmdConfig errno:%lx, host_id:%s", sdk_error(), view.id());
    if (result.iRetCode != 0)
        return ZREFUSE("record_result.iRetCode:%d, id:%s, ch:%d", result.iRetCode, view.id(), ch);
    return 1;
}

namespace {

// Sends the stop of set 80; true when the device carried it out.
bool stop_replenish(const HostView &view, json_object *jso, int32_t &ctrl, ReplenishStop &answer) {
    const char *mission_id = json_object_get_field_string(jso, "mission_id");
    if (mission_id == nullptr)
        return ZREFUSE("set_host_replenish_rec_stop mission_id == NULL");
    ctrl = json_object_get_field_int(jso, "ctrl", -1);
    if (ctrl < 0)
        return ZREFUSE("set_host_replenish_rec_stop ctrl:%d < 0", ctrl);
    ReplenishStop stop{};
    copy_text(stop.mission_id, mission_id);
    stop.ctrl = ctrl;
    int32_t ret = NetClient_CmdConfig(view.loginfd(), CMD_REPLENISH_STOP, kAllChannels, &stop,
                                      record_len<ReplenishStop>(), &answer, record_len<ReplenishStop>());
    if (ret != 0)
        return ZREFUSE("set_host_replenish_rec_stop !NetClient_CmdConfig ret:%d, errno:%lx, host_id:%s", ret,
                       sdk_error(), view.id());
    if (answer.iRetCode != 0)
        return ZREFUSE("set_host_replenish_rec_stop record_result.iRetCode:%d, id:%s", answer.iRetCode, view.id());
    return true;
}

}  // namespace

int32_t set_host_replenish_rec_stop(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf,
                               {.prefix = "set_host_replenish_rec_stop ", .host_id = ", host_id:%s"}))
        return 0;
    int32_t ctrl = -1;
    ReplenishStop answer{};
    bool stopped = stop_replenish(HostView(host), jso, ctrl, answer);
    // Whatever happened the caller gets a buffer; only a stop or pause that
    // was carried out says when the task stopped.
    Oom oom{"set_host_replenish_rec_stop *out_buf == NULL"};
    if (stopped && (ctrl == 1 || ctrl == 2))
        reply_last_stop_time(out_buf, answer.last_stop_time, oom);
    else
        *out_buf = static_cast<char *>(xcalloc(1, kFixedReplySize, oom.what, oom.site));
    return stopped ? 1 : 0;
}

namespace {

// Asks the device for ability (storage, `sub`) on channel `ch`; the
// device's result.
int32_t read_ability(const HostView &view, int32_t ch, int32_t sub, FuncAbility &ability) {
    ability = sized_record<FuncAbility>();
    ability.iMainFuncType = FUNC_ABILITY_MAIN_STORAGE;
    ability.iSubFuncType = sub;
    int32_t returned = 0;
    return NetClient_GetDevConfig(view.loginfd(), NET_CLIENT_GET_FUNC_ABILITY, ch, &ability, record_len<FuncAbility>(),
                                  &returned);
}

size_t text_length(const FuncAbility &ability) { return strnlen(ability.cParam, sizeof ability.cParam); }

// The number the device answered as text; nothing when the request failed
// or the text is empty. The device may fill the field to its last byte.
std::optional<int32_t> ability_number(int32_t ret, const FuncAbility &ability) {
    if (ret != 0 || text_length(ability) == 0)
        return std::nullopt;
    char text[sizeof ability.cParam + 1] = {};
    std::memcpy(text, ability.cParam, text_length(ability));
    long value = std::strtol(text, nullptr, 10);
    return static_cast<int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

void log_missing_ability(int32_t ret, const FuncAbility &ability) {
    ZLOG(kLogError, "!NetClient_GetDevConfig err:%d, strlen(ability_info.cParam):%zu", ret, text_length(ability));
}

}  // namespace

int32_t get_replenish_rec_state(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, {.host_id = ", host_id:%s"}))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZREFUSE("ch < 0");
    const char *mission_id = json_object_get_field_string(jso, "mission_id");
    if (mission_id == nullptr)
        return ZREFUSE("mission_id == NULL");
    HostView view(host);
    auto query = sized_record<ReplenishQuery>();
    copy_text(query.mission_id, mission_id);
    ReplenishQuery answer{};
    if (NetClient_CmdConfig(view.loginfd(), CMD_REPLENISH_QUERY, ch, &query, record_len<ReplenishQuery>(), &answer,
                            record_len<ReplenishQuery>()) != 0)
        return ZREFUSE("NetClient_CmdConfig err, errno:%lu, host_id:%s", sdk_error(), view.id());

    // Devices that count in ten-thousandths report percent here.
    FuncAbility ability;
    std::optional<int32_t> bits =
        ability_number(read_ability(view, kAllChannels, FUNC_ABILITY_SUB_REPLENISH_EX, ability), ability);
    int32_t progress = answer.progress;
    if (bits && (*bits & REPLENISH_ABILITY_TEN_THOUSANDTHS) != 0 && progress >= 1)
        progress /= 100;

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "progress", progress);
    JsonPtr states = new_array("is_error(jso_states)");
    for (int32_t bit = 0; bit < 32; ++bit)
        if ((answer.state & (1u << bit)) != 0)
            append(states.get(), json_object_new_int(bit + 1), "is_error(jso_states)");
    if (answer.state == 0)
        append(states.get(), json_object_new_int(0), "is_error(jso_states)");
    add(reply.get(), "state", states.release(), "is_error(jso_states)");
    add_int64(reply.get(), "last_stop_time", answer.last_stop_time);
    return reply_document(out_buf, reply.get()) ? 1 : 0;
}

int32_t get_replenish_rec_ability(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(host, jso, out_buf, {.host_id = ", host_id:%s"}))
        return 0;
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        ch = kAllChannels;
    HostView view(host);
    FuncAbility ability;
    int32_t ret = read_ability(view, ch, FUNC_ABILITY_SUB_REPLENISH, ability);
    bool supported = ability_number(ret, ability) == 1;
    if (!supported)
        log_missing_ability(ret, ability);
    ret = read_ability(view, ch, FUNC_ABILITY_SUB_REPLENISH_EX, ability);
    std::optional<int32_t> answered = ability_number(ret, ability);
    if (!answered)
        log_missing_ability(ret, ability);
    int32_t bits = answered.value_or(0);

    JsonPtr reply = new_object("is_error(jso_ret)");
    add_int(reply.get(), "is_support_replenishrec", supported ? 1 : 0);
    add_int(reply.get(), "is_support_replenishrec_v2", (bits & REPLENISH_ABILITY_V2) != 0 ? 1 : 0);
    add_int(reply.get(), "is_short_replenishrec", (bits & REPLENISH_ABILITY_SHORT) != 0 ? 1 : 0);
    add_int(reply.get(), "is_long_replenishrec", (bits & REPLENISH_ABILITY_LONG) != 0 ? 1 : 0);
    add_int(reply.get(), "is_progress_ten_thousand", (bits & REPLENISH_ABILITY_TEN_THOUSANDTHS) != 0 ? 1 : 0);
    if (!reply_document(out_buf, reply.get()))
        return 0;
    ZLOG(kLogInfo, "jso_string   %s", *out_buf);
    return 1;
}

int32_t get_host_replenish_video_task_list(void *host, json_object *jso, char **out_buf) {
    if (!has_command_and_reply(
            host, jso, out_buf,
            {.host_code = kKeepErrno, .prefix = "get_host_replenish_video_task_list ", .host_id = ", host_id:%s"}))
        return 0;
    HostView view(host);
    int32_t ch = json_object_get_field_int(jso, "ch", -1);
    if (ch < 0)
        return ZREFUSE("get_host_replenish_video_task_list ch:%d, host_id:%s", ch, view.id());
    auto list = sized_record<ReplenishTaskList>();
    list.entry_size = record_len<ReplenishTask>();
    if (NetClient_CmdConfig(view.loginfd(), CMD_REPLENISH_TASK_LIST, ch, nullptr, 0, &list,
                            record_len<ReplenishTaskList>()) != 0)
        return ZREFUSE("get_host_replenish_video_task_list NetClient_CmdConfig err, errno:%lx, host_id:%s, ch:%d",
                       sdk_error(), view.id(), ch);

    // The record holds eight tasks: a device reporting more lists those.
    int32_t count = clamp_count(list.task_count, MAX_REPLENISH_TASKS);
    HostText no_object("get_host_replenish_video_task_list is_error(jso_ret), host_id:%s", view.id());
    HostText no_array("get_host_replenish_video_task_list jso_arr == NULL, host_id:%s", view.id());
    HostText no_task("get_host_replenish_video_task_list jso_tmp == NULL, host_id:%s", view.id());
    JsonPtr reply = new_object(no_object.text);
    add_int(reply.get(), "task_count", count, no_object.text);
    JsonPtr tasks = new_array(no_array.text);
    for (int32_t i = 0; i < count; ++i) {
        JsonPtr task = new_object(no_task.text);
        add_text(task.get(), "mission", list.tasks[i].mission_id, no_task.text);
        add_int(task.get(), "task_state", list.tasks[i].state, no_task.text);
        append(tasks.get(), task.release(), no_task.text);
    }
    add(reply.get(), "task_list", tasks.release(), no_array.text);
    HostText no_buffer("get_host_replenish_video_task_list *out_buf == NULL calloc err!, host_id:%s", view.id());
    HostText empty("get_host_replenish_video_task_list jso_string == NULL, host_id:%s", view.id());
    return reply_document(out_buf, reply.get(), {no_buffer.text}, empty.text) ? 1 : 0;
}

}  // namespace zel
