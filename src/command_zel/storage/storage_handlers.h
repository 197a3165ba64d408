// Storage and recording commands of a recorder: disk groups, quotas, file
// parameters and schedules, the burner, file checks and locks, the disk
// inventory, recording missions and back-fill tasks, and the disk commands
// whose answers arrive later as the device's disk event.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// set 14: which disks record which channels.
int32_t set_disk_group(void *host, json_object *jso);
// set 15: record and picture quota of a channel.
int32_t nvr_set_diskquota_state(void *host, json_object *jso);
// set 16: one recorded-file parameter of a channel.
int32_t nvr_set_channel_param(void *host, json_object *jso);
// set 60: a command to the optical-disc burner.
int32_t set_cdburn_cmd(void *host, json_object *jso);
// set 61: a disk's usage, confirmed through the disk event.
int32_t set_disk_usage(void *host, json_object *jso, char **out_buf);
// set 62: has the device check a recorded file against its size and MD5.
int32_t check_disk_file(void *host, json_object *jso);
// set 69: locks or unlocks a recorded file.
int32_t lock_record_file(void *host, json_object *jso);
// set 73: a recording mission pushed from the platform.
int32_t set_record_mission(void *host, json_object *jso);
// set 80: stops, pauses or resumes a back-fill task.
int32_t set_host_replenish_rec_stop(void *host, json_object *jso, char **out_buf);

// get 14: the disk groups.
int32_t get_disk_group(void *host, char **out_buf);
// get 15: quotas and total of a channel.
int32_t get_diskquota_state(void *host, json_object *jso, char **out_buf);
// get 16: one recorded-file parameter of a channel.
int32_t get_channel_param(void *host, json_object *jso, char **out_buf);
// get 17: a channel's recording schedule of one weekday.
int32_t get_netfile_schedule(void *host, json_object *jso, char **out_buf);
// get 61: state of one burner.
int32_t get_cdburn_status(void *host, json_object *jso, char **out_buf);
// get 66: the disk inventory.
int32_t get_hard_disk_info(void *host, char **out_buf);
// get 72: progress and state of a back-fill task.
int32_t get_replenish_rec_state(void *host, json_object *jso, char **out_buf);
// get 75: which back-fill abilities the device has.
int32_t get_replenish_rec_ability(void *host, json_object *jso, char **out_buf);
// get 84: SMART data of one disk, delivered by the disk event.
int32_t disk_smart_info(void *host, json_object *jso, char **out_buf);
// get 85: online state, every disk with its health, processor and memory load.
int32_t get_host_status(void *host, char **out_buf);
// get 86: the back-fill tasks of a channel.
int32_t get_host_replenish_video_task_list(void *host, json_object *jso, char **out_buf);
// get 89: the health of one disk, delivered by the disk event.
int32_t get_host_disk_status(void *host, json_object *jso, char **out_buf);

}  // namespace zel
