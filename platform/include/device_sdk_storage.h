/* Device SDK: storage and recording records. Disk groups, quotas, file
 * parameters and schedules, the burner, file checks, the hard-disk inventory,
 * recording missions and back-fill tasks, the disk SMART exchange, and the
 * function-ability record the back-fill commands read. Little-endian, laid
 * out byte for byte as they cross the SDK interface; zero-filled before use. */
#ifndef PLATFORM_DEVICE_SDK_STORAGE_H
#define PLATFORM_DEVICE_SDK_STORAGE_H

#include <stddef.h>
#include <stdint.h>

#ifndef __cplusplus
#include <assert.h> /* static_assert */
#endif

#include "device_sdk.h"
#include "device_sdk_events.h"

/* Sub-commands and capacities. */
enum {
    MAX_DISK_GROUP_NUM = 16,             /* NetClient_Set/GetDiskGroup: records per call */
    NET_CLIENT_DISK_COUNT = 0x60,        /* NetClient_GetDevConfig, ch 0: DiskCountConfig */
    NETCLIENT_GET_HARDDISKINFO_V5 = 0,   /* NetClient_GetDevConfig_V5: HardDiskInfo */
    DISK_QUOTA_STATE_QUOTA = 1,          /* NetClient_GetDiskQuotaState: DiskQuota */
    DISK_QUOTA_STATE_TOTAL = 2,          /* NetClient_GetDiskQuotaState: one int32_t */
    CDBURN_CMD_GET_STATUS = 6,           /* NetClient_GetCDBurnConfig: CdBurnStatus */
    CMD_CHECK_DISKFILE = 0x2F,           /* NetClient_CmdConfig: CheckDiskFile -> CheckDiskFileResult */
    CMD_RECORD_MISSION = 0x3E,           /* NetClient_CmdConfig: RecordMission -> RecordMissionResult */
    CMD_REPLENISH_QUERY = 0x3F,          /* NetClient_CmdConfig: ReplenishQuery in and out */
    CMD_REPLENISH_STOP = 0x43,           /* NetClient_CmdConfig, whole device: ReplenishStop in and out */
    CMD_REPLENISH_TASK_LIST = 0x47,      /* NetClient_CmdConfig, no input: ReplenishTaskList */
    NET_CLIENT_DISK_SMART_ENABLE = 0x48, /* NetClient_SetDevDiskConfig: DiskSmartEnable */
    NET_CLIENT_SMART_INFO = 0x49,        /* NetClient_SetDevDiskConfig: HardDiskSmartMsg as request */
    DISK_GROUP_DISKS = 192,              /* disks a DiskGroup can name */
    DISK_GROUP_CHANNELS = 512,           /* channels a DiskGroup can name */
    MAX_HARDDISK_NUM = 256,              /* entries of HardDiskInfo */
    NET_FILE_SCHEDULE_TEMPLATES = 4,     /* enable flags of NetFileSchedule */
    MAX_REPLENISH_TASKS = 8,             /* entries of ReplenishTaskList */
    FUNC_ABILITY_MAIN_STORAGE = 64,      /* FuncAbility main type of the back-fill abilities */
    FUNC_ABILITY_SUB_REPLENISH = 167,    /* "1" when back-fill recording is supported */
    FUNC_ABILITY_SUB_REPLENISH_EX = 189, /* bits, see REPLENISH_ABILITY_* */
    REPLENISH_ABILITY_V2 = 1 << 0,
    REPLENISH_ABILITY_SHORT = 1 << 1,
    REPLENISH_ABILITY_LONG = 1 << 2,
    REPLENISH_ABILITY_TEN_THOUSANDTHS = 1 << 3 /* progress counted in ten-thousandths */
};

/* Which disks record which channels (an array of MAX_DISK_GROUP_NUM). Disk
 * d < 64 is bit d%32 of disk_bits[d/32], disk 64..191 bit d%32 of
 * disk_bits_ex[d/32 - 2]; channel c < 128 is bit c%32 of channel_bits[c/32],
 * channel 128..511 bit c%32 of channel_bits_ex[c/32 - 4]. */
typedef struct DiskGroup {
    int32_t size; /* 100 */
    int32_t group_no;
    uint32_t disk_bits[2];
    uint32_t channel_bits[4];
    uint32_t disk_bits_ex[4];
    uint32_t channel_bits_ex[12];
    int32_t reserved;
} DiskGroup;
static_assert(sizeof(DiskGroup) == 100, "DiskGroup");
static_assert(offsetof(DiskGroup, size) == 0, "DiskGroup.size");
static_assert(offsetof(DiskGroup, group_no) == 4, "DiskGroup.group_no");
static_assert(offsetof(DiskGroup, disk_bits) == 8, "DiskGroup.disk_bits");
static_assert(offsetof(DiskGroup, channel_bits) == 16, "DiskGroup.channel_bits");
static_assert(offsetof(DiskGroup, disk_bits_ex) == 32, "DiskGroup.disk_bits_ex");
static_assert(offsetof(DiskGroup, channel_bits_ex) == 48, "DiskGroup.channel_bits_ex");
static_assert(offsetof(DiskGroup, reserved) == 96, "DiskGroup.reserved");

/* NET_CLIENT_DISK_COUNT: the number of disks; the other fields are the
 * device's. */
typedef struct DiskCountConfig {
    int32_t size;
    int32_t disk_count;
    int32_t reserved[4];
} DiskCountConfig;
static_assert(sizeof(DiskCountConfig) == 24, "DiskCountConfig");
static_assert(offsetof(DiskCountConfig, size) == 0, "DiskCountConfig.size");
static_assert(offsetof(DiskCountConfig, disk_count) == 4, "DiskCountConfig.disk_count");
static_assert(offsetof(DiskCountConfig, reserved) == 8, "DiskCountConfig.reserved");

/* Record and picture quota of a channel. */
typedef struct DiskQuota {
    int32_t size; /* 12 */
    int32_t record_quota;
    int32_t picture_quota;
} DiskQuota;
static_assert(sizeof(DiskQuota) == 12, "DiskQuota");
static_assert(offsetof(DiskQuota, size) == 0, "DiskQuota.size");
static_assert(offsetof(DiskQuota, record_quota) == 4, "DiskQuota.record_quota");
static_assert(offsetof(DiskQuota, picture_quota) == 8, "DiskQuota.picture_quota");

/* One recorded-file parameter of a channel (size 12 to set, 0 to read). */
typedef struct NetFileChannelParam {
    int32_t size;
    int32_t type;
    int32_t value;
} NetFileChannelParam;
static_assert(sizeof(NetFileChannelParam) == 12, "NetFileChannelParam");
static_assert(offsetof(NetFileChannelParam, size) == 0, "NetFileChannelParam.size");
static_assert(offsetof(NetFileChannelParam, type) == 4, "NetFileChannelParam.type");
static_assert(offsetof(NetFileChannelParam, value) == 8, "NetFileChannelParam.value");

/* A channel's recording schedule of one weekday: which templates record. */
typedef struct NetFileSchedule {
    int32_t weekday;
    int32_t enable[NET_FILE_SCHEDULE_TEMPLATES];
} NetFileSchedule;
static_assert(sizeof(NetFileSchedule) == 20, "NetFileSchedule");
static_assert(offsetof(NetFileSchedule, weekday) == 0, "NetFileSchedule.weekday");
static_assert(offsetof(NetFileSchedule, enable) == 4, "NetFileSchedule.enable");

/* A burner command (the command itself is the call's sub-command). */
typedef struct CdBurnCmd {
    int32_t cdromid;
    int32_t flagbits;
} CdBurnCmd;
static_assert(sizeof(CdBurnCmd) == 8, "CdBurnCmd");
static_assert(offsetof(CdBurnCmd, cdromid) == 0, "CdBurnCmd.cdromid");
static_assert(offsetof(CdBurnCmd, flagbits) == 4, "CdBurnCmd.flagbits");

/* CDBURN_CMD_GET_STATUS: state of one burner (cdromid preset). */
typedef struct CdBurnStatus {
    int32_t cdromid;
    int32_t state;
    int32_t total;
    int32_t free;
    int32_t reserved;
    char filename[256];
    char filemd5[64];
    int32_t driver_state;
    int32_t disk_state;
} CdBurnStatus;
static_assert(sizeof(CdBurnStatus) == 348, "CdBurnStatus");
static_assert(offsetof(CdBurnStatus, cdromid) == 0, "CdBurnStatus.cdromid");
static_assert(offsetof(CdBurnStatus, state) == 4, "CdBurnStatus.state");
static_assert(offsetof(CdBurnStatus, total) == 8, "CdBurnStatus.total");
static_assert(offsetof(CdBurnStatus, free) == 12, "CdBurnStatus.free");
static_assert(offsetof(CdBurnStatus, reserved) == 16, "CdBurnStatus.reserved");
static_assert(offsetof(CdBurnStatus, filename) == 20, "CdBurnStatus.filename");
static_assert(offsetof(CdBurnStatus, filemd5) == 276, "CdBurnStatus.filemd5");
static_assert(offsetof(CdBurnStatus, driver_state) == 340, "CdBurnStatus.driver_state");
static_assert(offsetof(CdBurnStatus, disk_state) == 344, "CdBurnStatus.disk_state");

/* CMD_CHECK_DISKFILE: a recorded file to check against its size and MD5. */
typedef struct CheckDiskFile {
    int32_t reserved;
    char file_path[256];
    uint8_t pad[4];
    int64_t file_size;
    char file_md5[64];
} CheckDiskFile;
static_assert(sizeof(CheckDiskFile) == 336, "CheckDiskFile");
static_assert(offsetof(CheckDiskFile, reserved) == 0, "CheckDiskFile.reserved");
static_assert(offsetof(CheckDiskFile, file_path) == 4, "CheckDiskFile.file_path");
static_assert(offsetof(CheckDiskFile, pad) == 260, "CheckDiskFile.pad");
static_assert(offsetof(CheckDiskFile, file_size) == 264, "CheckDiskFile.file_size");
static_assert(offsetof(CheckDiskFile, file_md5) == 272, "CheckDiskFile.file_md5");

/* The device's answer to a file check, kept opaque. */
typedef struct CheckDiskFileResult {
    uint8_t data[264];
} CheckDiskFileResult;
static_assert(sizeof(CheckDiskFileResult) == 264, "CheckDiskFileResult");
static_assert(offsetof(CheckDiskFileResult, data) == 0, "CheckDiskFileResult.data");

/* One disk of the inventory; sizes are in the device's unit. */
typedef struct HardDiskEntry {
    int32_t iDiskType;
    int32_t iDiskNumber;
    uint32_t uiTotalSpace; /* 0: no disk in this entry */
    uint32_t uiFreeSpace;
    uint16_t wPartNum;
    uint16_t wStatus;
    uint16_t wUsage;
    uint16_t reserved;
    int32_t iExpCabinetNo;
    uint8_t reserved_tail[336];
} HardDiskEntry;
static_assert(sizeof(HardDiskEntry) == 364, "HardDiskEntry");
static_assert(offsetof(HardDiskEntry, iDiskType) == 0, "HardDiskEntry.iDiskType");
static_assert(offsetof(HardDiskEntry, iDiskNumber) == 4, "HardDiskEntry.iDiskNumber");
static_assert(offsetof(HardDiskEntry, uiTotalSpace) == 8, "HardDiskEntry.uiTotalSpace");
static_assert(offsetof(HardDiskEntry, uiFreeSpace) == 12, "HardDiskEntry.uiFreeSpace");
static_assert(offsetof(HardDiskEntry, wPartNum) == 16, "HardDiskEntry.wPartNum");
static_assert(offsetof(HardDiskEntry, wStatus) == 18, "HardDiskEntry.wStatus");
static_assert(offsetof(HardDiskEntry, wUsage) == 20, "HardDiskEntry.wUsage");
static_assert(offsetof(HardDiskEntry, reserved) == 22, "HardDiskEntry.reserved");
static_assert(offsetof(HardDiskEntry, iExpCabinetNo) == 24, "HardDiskEntry.iExpCabinetNo");
static_assert(offsetof(HardDiskEntry, reserved_tail) == 28, "HardDiskEntry.reserved_tail");

/* NETCLIENT_GET_HARDDISKINFO_V5: the disk inventory. */
typedef struct HardDiskInfo {
    int32_t iDiskCount;
    int32_t header[2];
    HardDiskEntry disks[MAX_HARDDISK_NUM];
} HardDiskInfo;
static_assert(sizeof(HardDiskInfo) == 93196, "HardDiskInfo");
static_assert(offsetof(HardDiskInfo, iDiskCount) == 0, "HardDiskInfo.iDiskCount");
static_assert(offsetof(HardDiskInfo, header) == 4, "HardDiskInfo.header");
static_assert(offsetof(HardDiskInfo, disks) == 12, "HardDiskInfo.disks");

/* CMD_RECORD_MISSION: a recording the platform asks a recorder to make. */
typedef struct RecordMission {
    int32_t size; /* 1480 */
    char mission_id[64];
    int32_t rec_ch;
    int64_t start_time;
    int64_t end_time;
    int32_t file_type;
    char storage_ms_ip[16];
    int32_t storage_ms_port;
    char cmd_type[16];
    uint8_t reserved[48];
    char dev_id[256];
    char dev_sup_id[256];
    char client_sup_id[256];
    char client_sup_ip[16];
    int32_t client_sup_port;
    char rec_host_id[256];
    char alias_name[256];
    int32_t disk_group_no;
} RecordMission;
static_assert(sizeof(RecordMission) == 1480, "RecordMission");
static_assert(offsetof(RecordMission, size) == 0, "RecordMission.size");
static_assert(offsetof(RecordMission, mission_id) == 4, "RecordMission.mission_id");
static_assert(offsetof(RecordMission, rec_ch) == 68, "RecordMission.rec_ch");
static_assert(offsetof(RecordMission, start_time) == 72, "RecordMission.start_time");
static_assert(offsetof(RecordMission, end_time) == 80, "RecordMission.end_time");
static_assert(offsetof(RecordMission, file_type) == 88, "RecordMission.file_type");
static_assert(offsetof(RecordMission, storage_ms_ip) == 92, "RecordMission.storage_ms_ip");
static_assert(offsetof(RecordMission, storage_ms_port) == 108, "RecordMission.storage_ms_port");
static_assert(offsetof(RecordMission, cmd_type) == 112, "RecordMission.cmd_type");
static_assert(offsetof(RecordMission, reserved) == 128, "RecordMission.reserved");
static_assert(offsetof(RecordMission, dev_id) == 176, "RecordMission.dev_id");
static_assert(offsetof(RecordMission, dev_sup_id) == 432, "RecordMission.dev_sup_id");
static_assert(offsetof(RecordMission, client_sup_id) == 688, "RecordMission.client_sup_id");
static_assert(offsetof(RecordMission, client_sup_ip) == 944, "RecordMission.client_sup_ip");
static_assert(offsetof(RecordMission, client_sup_port) == 960, "RecordMission.client_sup_port");
static_assert(offsetof(RecordMission, rec_host_id) == 964, "RecordMission.rec_host_id");
static_assert(offsetof(RecordMission, alias_name) == 1220, "RecordMission.alias_name");
static_assert(offsetof(RecordMission, disk_group_no) == 1476, "RecordMission.disk_group_no");

/* The device's answer to a recording mission: 0 accepted. */
typedef struct RecordMissionResult {
    uint8_t reserved[72];
    int32_t iRetCode;
} RecordMissionResult;
static_assert(sizeof(RecordMissionResult) == 76, "RecordMissionResult");
static_assert(offsetof(RecordMissionResult, reserved) == 0, "RecordMissionResult.reserved");
static_assert(offsetof(RecordMissionResult, iRetCode) == 72, "RecordMissionResult.iRetCode");

/* CMD_REPLENISH_STOP: control of a back-fill task; the answer fills iRetCode
 * (0 done) and the time the task last stopped. */
typedef struct ReplenishStop {
    char mission_id[64];
    int32_t ctrl;
    int32_t iRetCode;
    int64_t last_stop_time;
} ReplenishStop;
static_assert(sizeof(ReplenishStop) == 80, "ReplenishStop");
static_assert(offsetof(ReplenishStop, mission_id) == 0, "ReplenishStop.mission_id");
static_assert(offsetof(ReplenishStop, ctrl) == 64, "ReplenishStop.ctrl");
static_assert(offsetof(ReplenishStop, iRetCode) == 68, "ReplenishStop.iRetCode");
static_assert(offsetof(ReplenishStop, last_stop_time) == 72, "ReplenishStop.last_stop_time");

/* CMD_REPLENISH_QUERY: progress of a back-fill task; state bit i set means
 * state i + 1. */
typedef struct ReplenishQuery {
    int32_t size; /* 88 */
    char mission_id[64];
    int32_t progress;
    uint32_t state;
    int32_t reserved;
    int64_t last_stop_time;
} ReplenishQuery;
static_assert(sizeof(ReplenishQuery) == 88, "ReplenishQuery");
static_assert(offsetof(ReplenishQuery, size) == 0, "ReplenishQuery.size");
static_assert(offsetof(ReplenishQuery, mission_id) == 4, "ReplenishQuery.mission_id");
static_assert(offsetof(ReplenishQuery, progress) == 68, "ReplenishQuery.progress");
static_assert(offsetof(ReplenishQuery, state) == 72, "ReplenishQuery.state");
static_assert(offsetof(ReplenishQuery, reserved) == 76, "ReplenishQuery.reserved");
static_assert(offsetof(ReplenishQuery, last_stop_time) == 80, "ReplenishQuery.last_stop_time");

typedef struct ReplenishTask {
    char mission_id[64];
    int32_t state;
} ReplenishTask;
static_assert(sizeof(ReplenishTask) == 68, "ReplenishTask");
static_assert(offsetof(ReplenishTask, mission_id) == 0, "ReplenishTask.mission_id");
static_assert(offsetof(ReplenishTask, state) == 64, "ReplenishTask.state");

/* CMD_REPLENISH_TASK_LIST: the back-fill tasks of a channel (size and entry
 * size preset by the caller). */
typedef struct ReplenishTaskList {
    int32_t size; /* 556 */
    int32_t task_count;
    int32_t entry_size; /* 68 */
    ReplenishTask tasks[MAX_REPLENISH_TASKS];
} ReplenishTaskList;
static_assert(sizeof(ReplenishTaskList) == 556, "ReplenishTaskList");
static_assert(offsetof(ReplenishTaskList, size) == 0, "ReplenishTaskList.size");
static_assert(offsetof(ReplenishTaskList, task_count) == 4, "ReplenishTaskList.task_count");
static_assert(offsetof(ReplenishTaskList, entry_size) == 8, "ReplenishTaskList.entry_size");
static_assert(offsetof(ReplenishTaskList, tasks) == 12, "ReplenishTaskList.tasks");

/* NET_CLIENT_DISK_SMART_ENABLE: switches SMART reports of a disk on. */
typedef struct DiskSmartEnable {
    int32_t size; /* 12 */
    int32_t disk_no;
    int32_t enable;
} DiskSmartEnable;
static_assert(sizeof(DiskSmartEnable) == 12, "DiskSmartEnable");
static_assert(offsetof(DiskSmartEnable, size) == 0, "DiskSmartEnable.size");
static_assert(offsetof(DiskSmartEnable, disk_no) == 4, "DiskSmartEnable.disk_no");
static_assert(offsetof(DiskSmartEnable, enable) == 8, "DiskSmartEnable.enable");

#endif
