/* Device SDK: the request functions through which the platform reaches its
 * devices. The first argument is always the login handle; records are
 * zero-filled little-endian buffers passed with their byte length. */
#ifndef PLATFORM_DEVICE_SDK_H
#define PLATFORM_DEVICE_SDK_H

#include <assert.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Called once on the SDK's own thread when a firmware upgrade ends. */
typedef void (*upgrade_complete_cb)(int32_t loginfd, int32_t state, int32_t extra);

/* Whole-device channel. */
#define NETCLIENT_ALL_CHANNELS 0x7FFFFFFF

/* The SDK's calendar time: six 16-bit fields, no time zone of its own (local
 * time unless a request says UTC). */
typedef struct dvr_time {
    uint16_t year;   /* full year, e.g. 2024 */
    uint16_t month;  /* 1..12 */
    uint16_t day;    /* 1..31 */
    uint16_t hour;   /* 0..23 */
    uint16_t minute; /* 0..59 */
    uint16_t second; /* 0..59 */
} dvr_time;
static_assert(sizeof(dvr_time) == 12, "dvr_time");
static_assert(offsetof(dvr_time, year) == 0, "dvr_time.year");
static_assert(offsetof(dvr_time, month) == 2, "dvr_time.month");
static_assert(offsetof(dvr_time, day) == 4, "dvr_time.day");
static_assert(offsetof(dvr_time, hour) == 6, "dvr_time.hour");
static_assert(offsetof(dvr_time, minute) == 8, "dvr_time.minute");
static_assert(offsetof(dvr_time, second) == 10, "dvr_time.second");

int32_t NetClient_GetLastError(void);
int32_t NetClient_GetDevConfig(int32_t loginfd, int32_t cmd, int32_t ch, void *buf, int32_t buf_len,
                               int32_t *bytes_returned);
int32_t NetClient_SetDevConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *buf, int32_t buf_len);
int32_t NetClient_GetDevConfig_V5(int32_t loginfd, int32_t cmd, const void *in, int32_t in_len, void *out,
                                  int32_t out_len);
int32_t NetClient_CmdConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *in, int32_t in_len, void *out,
                            int32_t out_len);
int32_t NetClient_GetCommonEnable(int32_t loginfd, int32_t enable_id, int32_t ch, int32_t *value);
int32_t NetClient_SetCommonEnable(int32_t loginfd, int32_t enable_id, int32_t ch, int32_t value);
int32_t NetClient_VCAGetConfig(int32_t loginfd, int32_t cmd, int32_t ch, void *buf, int32_t buf_len);
int32_t NetClient_VCASetConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *buf, int32_t buf_len);
int32_t NetClient_FaceConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *in, int32_t in_len, void *out,
                             int32_t out_len);
int32_t NetClient_GetChannelNum(int32_t loginfd, int32_t *count);
int32_t NetClient_Query_V5(int32_t loginfd, int32_t query_type, int32_t ch, const void *in, int32_t in_len, void *out,
                           int32_t out_len);
int32_t NetClient_GetAlarmConfig(int32_t loginfd, int32_t ch, int32_t alarm_type, int32_t cmd, void *buf);
int32_t NetClient_SetAlarmConfig(int32_t loginfd, int32_t ch, int32_t alarm_type, int32_t cmd, const void *buf);
int32_t NetClient_SendCommand(int32_t loginfd, int32_t cmd, int32_t ch, const void *buf, int32_t buf_len);
int32_t NetClient_RecvCommand(int32_t loginfd, int32_t cmd, int32_t ch, void *buf, int32_t buf_len);
int32_t NetClient_GetDomePTZ(int32_t loginfd, int32_t ch, void *buf, int32_t buf_len);
int32_t NetClient_SetDomePTZ(int32_t loginfd, int32_t ch, const void *buf, int32_t buf_len);
int32_t NetClient_DeviceCtrlEx(int32_t loginfd, int32_t ch, int32_t action, int32_t param1, int32_t param2,
                               int32_t param3);
int32_t NetClient_SetDiskGroup(int32_t loginfd, const void *groups, int32_t group_count);
int32_t NetClient_GetDiskGroup(int32_t loginfd, void *groups, int32_t group_count);
int32_t NetClient_SetDiskQuota(int32_t loginfd, int32_t ch, const void *buf, int32_t buf_len);
int32_t NetClient_GetDiskQuotaState(int32_t loginfd, int32_t ch, int32_t type, void *buf, int32_t buf_len);
int32_t NetClient_NetFileSetChannelParam(int32_t loginfd, int32_t ch, int32_t reserved, const void *buf);
int32_t NetClient_NetFileGetChannelParam(int32_t loginfd, int32_t ch, int32_t reserved, void *buf);
int32_t NetClient_NetFileGetSchedule(int32_t loginfd, int32_t ch, int32_t reserved, void *buf, int32_t buf_len);
int32_t NetClient_NetFileLockFile(int32_t loginfd, const char *filename, int32_t lock);
int32_t NetClient_SetCDBurnConfig(int32_t loginfd, int32_t ch, int32_t cmd, const void *buf, int32_t buf_len);
int32_t NetClient_GetCDBurnConfig(int32_t loginfd, int32_t ch, int32_t cmd, void *buf, int32_t buf_len);
int32_t NetClient_SetDevDiskConfig(int32_t loginfd, int32_t cmd, int32_t ch, const void *buf, int32_t buf_len);
int32_t NetClient_DiskSetUsage(int32_t loginfd, int32_t disk_no, int32_t usage);
int32_t NetClient_GetSysInfo(int32_t loginfd);
int32_t NetClient_SetHDTimeRangeParam(int32_t loginfd, int32_t ch, int32_t index, const void *buf, int32_t buf_len);
int32_t NetClient_SetFrameRate(int32_t loginfd, int32_t ch, int32_t frame_rate, int32_t stream_type);
int32_t NetClient_GetFrameRate(int32_t loginfd, int32_t ch, int32_t *frame_rate, int32_t stream_no);
int32_t NetClient_GetVideoSize(int32_t loginfd, int32_t ch, int32_t *width, int32_t *height, int32_t stream_no);
int32_t NetClient_SetVideoSize(int32_t loginfd, int32_t ch, int32_t size_code, int32_t data_type);
int32_t NetClient_GetVideoSizeEx(int32_t loginfd, int32_t ch, int32_t *size_code, int32_t data_type);
int32_t NetClient_SetMaxKByteRate(int32_t loginfd, int32_t ch, int32_t kbyte_rate, int32_t data_type);
int32_t NetClient_GetMaxKByteRate(int32_t loginfd, int32_t ch, int32_t *kbyte_rate, int32_t data_type);
int32_t NetClient_GetVideoSzList(int32_t loginfd, int32_t ch, int32_t data_type, int32_t *list, int32_t *count);
int32_t NetClient_SetVideoCombine(int32_t loginfd, const void *buf, int32_t buf_len);
int32_t NetClient_GetDigitalChannelConfig(int32_t loginfd, int32_t ch, int32_t cmd, void *buf, int32_t buf_len);
int32_t NetClient_SetDigitalChannelConfig(int32_t loginfd, int32_t ch, int32_t cmd, const void *buf, int32_t buf_len);
int32_t NetClient_GetFTPUploadConfig(int32_t loginfd, int32_t cmd, void *buf, int32_t buf_len);
int32_t NetClient_SetFTPUploadConfig(int32_t loginfd, int32_t cmd, const void *buf, int32_t buf_len);
int32_t NetClient_GetDzTransparentPara(int32_t loginfd, void *buf, int32_t buf_len, int32_t param1, int32_t param2);
int32_t NetClient_SetDzTransparentPara(int32_t loginfd, const void *buf, int32_t buf_len, int32_t param1,
                                       int32_t param2);
int32_t NetClient_GetProductTypeEx(int32_t loginfd, int32_t *product_type);
int32_t NetClient_GetServerVersion_V1(int32_t loginfd, void *buf, int32_t buf_len);
int32_t NetClient_Upgrade_V4(int32_t loginfd, const char *filename, int32_t upgrade_type,
                             upgrade_complete_cb on_complete);
int32_t NetClient_GetUpgradePercent(int32_t loginfd);
int32_t NetClient_ModifyPwd(int32_t loginfd, const char *username, const char *new_password);
int32_t NetClient_HttpXmlConfig(int32_t loginfd, void *req, int32_t req_len, void *rep, int32_t rep_len);
int32_t NetClient_XmlGetDevConfig(int32_t loginfd, int32_t cmd, const void *in, int32_t in_len, void *out,
                                  int32_t out_len);
int32_t NetClient_XmlSetDevConfig(int32_t loginfd, int32_t cmd, const void *buf, int32_t buf_len, void *status,
                                  int32_t status_len);

#ifdef __cplusplus
}
#endif

#endif
