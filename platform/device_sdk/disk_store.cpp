#include "disk_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace device_sdk_sim {
namespace {

/* The SDK's error for a disk, channel, burner or task the device has not. */
constexpr int32_t kNoSuchObject = 0x17;
/* Result codes of the recorder's mission and back-fill answers. */
constexpr int32_t kDone = 0;
constexpr int32_t kUnknownTask = 1;
constexpr int32_t kUnknownControl = 2;
constexpr int32_t kEmptyMission = 3;
/* Health of a disk message that confirms a usage change. */
constexpr int32_t kUsageApplied = 5;
/* Back-fill progress is counted in ten-thousandths; each query adds a quarter. */
constexpr int32_t kProgressDone = 10000;
constexpr int32_t kProgressStep = 2500;
/* State bits of a back-fill task. */
constexpr uint32_t kTaskRunning = 1u << 0;
constexpr uint32_t kTaskDone = 1u << 1;
constexpr uint32_t kTaskStopped = 1u << 2;
/* Template 3 of a schedule: the recording missions. */
constexpr size_t kMissionTemplate = 3;
constexpr uint8_t kProcessorLoad = 23;
constexpr uint8_t kMemoryLoad = 41;

struct DiskSpec {
    uint32_t total_mb;
    uint32_t free_mb;
    uint16_t status; /* 0 in order, 1 worn */
    const char *model;
    const char *serial;
    int32_t temperature;
    int32_t hours;
    int32_t health; /* 0 good, 1 to be replaced soon */
};
constexpr DiskSpec kRecorderDisks[] = {
    {3815447, 1024000, 0, "ST4000VX007", "ZGY0A1B2", 38, 8760, 0},
    {3815447, 2621440, 0, "ST4000VX007", "ZGY0A1B3", 39, 8755, 0},
    {7630885, 7000000, 0, "WD80PURZ", "VK1F2G3H", 41, 1200, 0},
    {1907729, 10240, 1, "WD20PURX", "WMC4M0K1", 47, 41000, 1},
};
constexpr DiskSpec kCameraCard = {61035, 30517, 0, "SDSQQVR-064G", "SD0064A1", 45, 3000, 0};

Answer refused() { return Answer{-1, kNoSuchObject, {}}; }

template <size_t N> void put_text(char (&field)[N], std::string_view value) {
    std::memset(field, 0, N);
    std::memcpy(field, value.data(), std::min(value.size(), N - 1));
}

/* The day since 1 January 1970 that holds `seconds`. */
int64_t day_of(int64_t seconds) { return seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0); }

/* 0 = Sunday; 1 January 1970 was a Thursday. */
size_t weekday(int64_t day) { return static_cast<size_t>(((day + 4) % 7 + 7) % 7); }

}  // namespace

DiskStore::DiskStore(int32_t loginfd, int32_t channels, int32_t kind) : loginfd_(loginfd), channels_(channels) {
    std::vector<DiskSpec> specs(std::begin(kRecorderDisks), std::end(kRecorderDisks));
    if (kind != SDK_SIM_RECORDER)
        specs = {kCameraCard};
    int32_t worst = 0;
    for (const DiskSpec &s : specs)
        worst = std::max(worst, s.health);
    for (const DiskSpec &s : specs) {
        Disk d{};
        int32_t number = static_cast<int32_t>(disks_.size());
        d.entry.iDiskType = kind == SDK_SIM_RECORDER ? 0 : 1;
        d.entry.iDiskNumber = number;
        d.entry.uiTotalSpace = s.total_mb;
        d.entry.uiFreeSpace = s.free_mb;
        d.entry.wPartNum = 1;
        d.entry.wStatus = s.status;
        d.smart.size = sizeof d.smart;
        d.smart.iDiskId = number;
        d.smart.iTotalPackageNum = 1;
        d.smart.iCurrentPackageMsgNo = 1;
        put_text(d.smart.cHDDModel, s.model);
        put_text(d.smart.cSericalNum, s.serial);
        d.smart.iTemprt = s.temperature;
        d.smart.iUsedTime = s.hours;
        d.smart.iHealth = s.health;
        d.smart.iAllHealth = worst;
        disks_.push_back(d);
    }
    burner_.total = 4482;
    burner_.free = 4482;
    burner_.driver_state = 1;
    burner_.disk_state = 1;
    if (kind == SDK_SIM_RECORDER && channels > 0)
        tasks_.push_back({"rep-0001", 0, 1796457600, 1796461200, 0, false});
}

std::optional<Answer> DiskStore::answer(const Call &call, const char *function, std::vector<sdk_sim_event> &reported) {
    if (named(function, "NetClient_GetDevConfig")) {
        if (call.cmd == NET_CLIENT_DISK_COUNT)
            return disk_count();
        if (call.cmd == NET_CLIENT_GET_FUNC_ABILITY)
            return ability(call);
        return std::nullopt;
    }
    if (named(function, "NetClient_GetDevConfig_V5"))
        return call.cmd == NETCLIENT_GET_HARDDISKINFO_V5 ? std::optional(inventory()) : std::nullopt;
    if (named(function, "NetClient_SetDevDiskConfig"))
        return disk_request(call, reported);
    if (named(function, "NetClient_DiskSetUsage"))
        return set_usage(call, reported);
    if (named(function, "NetClient_GetSysInfo"))
        return system_load(reported);
    if (named(function, "NetClient_SetDiskQuota"))
        return set_quota(call);
    if (named(function, "NetClient_GetDiskQuotaState"))
        return quota(call);
    if (named(function, "NetClient_NetFileSetChannelParam"))
        return set_file_param(call);
    if (named(function, "NetClient_NetFileGetChannelParam"))
        return file_param(call);
    if (named(function, "NetClient_NetFileGetSchedule"))
        return file_schedule(call);
    if (named(function, "NetClient_SetCDBurnConfig"))
        return burn(call);
    if (named(function, "NetClient_GetCDBurnConfig"))
        return call.cmd == CDBURN_CMD_GET_STATUS ? std::optional(burner_status(call)) : std::nullopt;
    if (named(function, "NetClient_CmdConfig"))
        return cmd_config(call);
    return std::nullopt;
}

DiskStore::Disk *DiskStore::disk(int32_t number) {
    auto it = std::find_if(disks_.begin(), disks_.end(), [&](const Disk &d) { return d.entry.iDiskNumber == number; });
    return it == disks_.end() ? nullptr : &*it;
}

DiskStore::Task *DiskStore::task(const char *mission_id, size_t width) {
    std::string_view id(mission_id, strnlen(mission_id, width));
    auto it = std::find_if(tasks_.begin(), tasks_.end(), [&](const Task &t) { return t.mission_id == id; });
    return it == tasks_.end() ? nullptr : &*it;
}

/* Around the clock every day, on motion from Monday to Friday, on alarm at
 * weekends; template 3 is turned on by the missions. */
DiskStore::Schedule &DiskStore::schedule(int32_t ch) {
    auto [it, added] = schedules_.try_emplace(ch);
    if (added)
        for (int32_t day = 0; day < 7; ++day) {
            bool weekend = day == 0 || day == 6;
            it->second[day] = {1, weekend ? 0 : 1, weekend ? 1 : 0, 0};
        }
    return it->second;
}

Answer DiskStore::disk_count() const {
    DiskCountConfig count{};
    count.size = sizeof count;
    count.disk_count = static_cast<int32_t>(disks_.size());
    return answer_with(count);
}

std::optional<Answer> DiskStore::ability(const Call &call) const {
    auto in = input_record<FuncAbility>(call);
    if (!in || in->iMainFuncType != FUNC_ABILITY_MAIN_STORAGE)
        return std::nullopt;
    FuncAbility out = *in;
    if (in->iSubFuncType == FUNC_ABILITY_SUB_REPLENISH)
        put_text(out.cParam, "1");
    else if (in->iSubFuncType == FUNC_ABILITY_SUB_REPLENISH_EX)
        std::snprintf(out.cParam, sizeof out.cParam, "%d",
                      REPLENISH_ABILITY_V2 | REPLENISH_ABILITY_SHORT | REPLENISH_ABILITY_LONG |
                          REPLENISH_ABILITY_TEN_THOUSANDTHS);
    else
        return std::nullopt;
    return answer_with(out);
}

Answer DiskStore::inventory() const {
    std::vector<uint8_t> out(sizeof(HardDiskInfo), 0);
    auto *info = reinterpret_cast<HardDiskInfo *>(out.data());
    info->iDiskCount = static_cast<int32_t>(disks_.size());
    for (size_t i = 0; i < disks_.size(); ++i)
        info->disks[i] = disks_[i].entry;
    return Answer{0, std::nullopt, std::move(out)};
}

sdk_sim_event DiskStore::device_event(int32_t type, int32_t value, const void *data, size_t len) const {
    sdk_sim_event e{};
    e.type = type;
    e.loginfd = loginfd_;
    e.ch = NETCLIENT_ALL_CHANNELS;
    e.value = value;
    e.data_len = static_cast<int32_t>(len);
    std::memcpy(e.data, data, len);
    return e;
}

sdk_sim_event DiskStore::smart_event(const HardDiskSmartMsg &msg) const {
    static_assert(sizeof msg <= SDK_SIM_EVENT_DATA_MAX);
    return device_event(SDK_SIM_EVENT_DISK_SMART, msg.iDiskId, &msg, sizeof msg);
}

Answer DiskStore::disk_request(const Call &call, std::vector<sdk_sim_event> &reported) {
    if (call.cmd == NET_CLIENT_DISK_SMART_ENABLE) {
        auto in = input_record<DiskSmartEnable>(call);
        return in && disk(in->disk_no) != nullptr ? Answer{} : refused();
    }
    if (call.cmd != NET_CLIENT_SMART_INFO)
        return refused();
    auto in = input_record<HardDiskSmartMsg>(call);
    Disk *d = in ? disk(in->iDiskId) : nullptr;
    if (d == nullptr)
        return refused();
    reported.push_back(smart_event(d->smart));
    return Answer{};
}

Answer DiskStore::set_usage(const Call &call, std::vector<sdk_sim_event> &reported) {
    Disk *d = disk(call.args[0]);
    if (d == nullptr)
        return refused();
    d->entry.wUsage = static_cast<uint16_t>(call.args[1]);
    HardDiskSmartMsg confirmed = d->smart;
    confirmed.iHealth = kUsageApplied;
    reported.push_back(smart_event(confirmed));
    return Answer{};
}

Answer DiskStore::system_load(std::vector<sdk_sim_event> &reported) const {
    const uint8_t load[] = {kProcessorLoad, kMemoryLoad};
    reported.push_back(device_event(SDK_SIM_EVENT_SYSTEM_LOAD, 0, load, sizeof load));
    return Answer{};
}

Answer DiskStore::set_quota(const Call &call) {
    auto in = input_record<DiskQuota>(call);
    if (!in || !has_channel(call.ch))
        return refused();
    quotas_[call.ch] = *in;
    return Answer{};
}

Answer DiskStore::quota(const Call &call) const {
    if (!has_channel(call.ch))
        return refused();
    if (call.cmd == DISK_QUOTA_STATE_TOTAL) {
        uint64_t total = 0;
        for (const Disk &d : disks_)
            total += d.entry.uiTotalSpace;
        int32_t total_gb = static_cast<int32_t>(total >> 10);
        return answer_with(total_gb);
    }
    if (call.cmd != DISK_QUOTA_STATE_QUOTA)
        return refused();
    auto kept = quotas_.find(call.ch);
    DiskQuota q{static_cast<int32_t>(sizeof(DiskQuota)), 0, 0};
    return answer_with(kept != quotas_.end() ? kept->second : q);
}

Answer DiskStore::set_file_param(const Call &call) {
    auto in = input_record<NetFileChannelParam>(call);
    if (!in || !has_channel(call.ch))
        return refused();
    file_params_[{call.ch, in->type}] = in->value;
    return Answer{};
}

Answer DiskStore::file_param(const Call &call) const {
    auto in = input_record<NetFileChannelParam>(call);
    if (!in || !has_channel(call.ch))
        return refused();
    auto kept = file_params_.find({call.ch, in->type});
    NetFileChannelParam out{static_cast<int32_t>(sizeof out), in->type, kept != file_params_.end() ? kept->second : 0};
    return answer_with(out);
}

Answer DiskStore::file_schedule(const Call &call) {
    auto in = input_record<NetFileSchedule>(call);
    if (!in || !has_channel(call.ch) || in->weekday < 0 || in->weekday > 6)
        return refused();
    NetFileSchedule out{in->weekday, {}};
    const auto &day = schedule(call.ch)[static_cast<size_t>(in->weekday)];
    std::copy(day.begin(), day.end(), out.enable);
    return answer_with(out);
}

Answer DiskStore::burn(const Call &call) {
    auto in = input_record<CdBurnCmd>(call);
    if (!in || in->cdromid != burner_.cdromid)
        return refused();
    burner_.state = call.cmd;
    return Answer{};
}

Answer DiskStore::burner_status(const Call &call) const {
    auto in = input_record<CdBurnStatus>(call);
    if (!in || in->cdromid != burner_.cdromid)
        return refused();
    return answer_with(burner_);
}

std::optional<Answer> DiskStore::cmd_config(const Call &call) {
    switch (call.cmd) {
    case CMD_RECORD_MISSION: return add_mission(call);
    case CMD_REPLENISH_QUERY: return query_task(call);
    case CMD_REPLENISH_STOP: return stop_task(call);
    case CMD_REPLENISH_TASK_LIST: return list_tasks(call);
    default: return std::nullopt;
    }
}

/* A mission becomes a back-fill task of its channel and records on the
 * weekdays it spans. */
Answer DiskStore::add_mission(const Call &call) {
    auto in = input_record<RecordMission>(call);
    if (!in || !has_channel(call.ch))
        return refused();
    RecordMissionResult result{};
    if (in->end_time <= in->start_time) {
        result.iRetCode = kEmptyMission;
        return answer_with(result);
    }
    Task added{std::string(field_text(in->mission_id)), call.ch, in->start_time, in->end_time, 0, false};
    if (Task *kept = task(in->mission_id, sizeof in->mission_id))
        *kept = added;
    else
        tasks_.push_back(added);
    Schedule &days = schedule(call.ch);
    int64_t first = day_of(in->start_time);
    int64_t last = std::min(day_of(in->end_time - 1), first + 6);
    for (int64_t day = first; day <= last; ++day)
        days[weekday(day)][kMissionTemplate] = 1;
    result.iRetCode = kDone;
    return answer_with(result);
}

namespace {

uint32_t task_state(int32_t progress, bool stopped) {
    if (progress >= kProgressDone)
        return kTaskDone;
    return stopped ? kTaskStopped : kTaskRunning;
}

int64_t stop_time(int64_t start, int64_t end, int32_t progress) {
    return start + (end - start) * progress / kProgressDone;
}

}  // namespace

Answer DiskStore::query_task(const Call &call) {
    auto in = input_record<ReplenishQuery>(call);
    Task *t = in ? task(in->mission_id, sizeof in->mission_id) : nullptr;
    if (t == nullptr)
        return refused();
    if (!t->stopped)
        t->progress = std::min(t->progress + kProgressStep, kProgressDone);
    ReplenishQuery out = *in;
    out.progress = t->progress;
    out.state = task_state(t->progress, t->stopped);
    out.last_stop_time = stop_time(t->start_time, t->end_time, t->progress);
    return answer_with(out);
}

/* ctrl 0 resumes a task, 1 pauses and 2 stops it. */
Answer DiskStore::stop_task(const Call &call) {
    auto in = input_record<ReplenishStop>(call);
    if (!in)
        return refused();
    ReplenishStop out = *in;
    Task *t = task(in->mission_id, sizeof in->mission_id);
    if (t == nullptr) {
        out.iRetCode = kUnknownTask;
    } else if (in->ctrl < 0 || in->ctrl > 2) {
        out.iRetCode = kUnknownControl;
    } else {
        t->stopped = in->ctrl != 0;
        out.iRetCode = kDone;
        out.last_stop_time = stop_time(t->start_time, t->end_time, t->progress);
    }
    return answer_with(out);
}

/* Every task of the channel is counted; the record lists the first eight. */
Answer DiskStore::list_tasks(const Call &call) const {
    if (!has_channel(call.ch))
        return refused();
    ReplenishTaskList out{};
    out.size = sizeof out;
    out.entry_size = sizeof(ReplenishTask);
    for (const Task &t : tasks_) {
        if (t.ch != call.ch)
            continue;
        if (out.task_count < MAX_REPLENISH_TASKS) {
            ReplenishTask &entry = out.tasks[out.task_count];
            put_text(entry.mission_id, t.mission_id);
            entry.state = static_cast<int32_t>(task_state(t.progress, t.stopped));
        }
        ++out.task_count;
    }
    return answer_with(out);
}

}  // namespace device_sdk_sim
