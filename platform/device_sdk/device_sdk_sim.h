/* Control interface of the device SDK simulator, for tests and tools.
 *
 * The simulated device does nothing on its own: every request function of
 * device_sdk.h is answered from programmed answers and recorded in a call log.
 *
 * Answers
 * -------
 * An answer is a result, the error code NetClient_GetLastError then reports on
 * the calling thread, and output bytes. A call of `function` with sub-command
 * `cmd` takes, in this order:
 *   1. the oldest queued answer for (function, cmd),
 *   2. the oldest queued answer for (function, SDK_SIM_ANY),
 *   3. the simulated device of the login, when one was added with
 *      sdk_sim_add_device and the request is one it answers (below),
 *   4. the standing answer for (function, cmd),
 *   5. the standing answer for (function, SDK_SIM_ANY),
 *   6. otherwise: result 0, no output bytes, last error unchanged.
 * A queued answer is used once; a standing answer stays until sdk_sim_reset.
 *
 * The sub-command of a call is the argument named cmd, or: enable_id
 * (Get/SetCommonEnable), query_type (Query_V5), action (DeviceCtrlEx), type
 * (GetDiskQuotaState), and for HttpXmlConfig the request type (first i32 of
 * the request record). Functions without one have SDK_SIM_ANY.
 *
 * Output bytes are applied whatever the result:
 *  - Record buffers receive min(answer bytes, buffer length) bytes at offset
 *    0; bytes beyond keep what the caller left there (callers preset request
 *    fields). The buffer length is the length argument, except:
 *      GetDiskGroup: group_count * 100; NetFileGetChannelParam: 12;
 *      GetAlarmConfig: by cmd (112: 496, 113: 24, 115: 152, 116: 20; other
 *        sub-commands: nothing is written);
 *      areas of several records passed with one record's length: out_len
 *        times the records of the area, FaceConfig cmd 2, 6, 14, 17, 20
 *        (20 records), 16 (320), 21 (300); CmdConfig cmd 15 (20); Query_V5
 *        type 7 (20);
 *      HttpXmlConfig: the reply buffer whose pointer is at offset 0 of the
 *        reply record and whose capacity is the i32 at offset 8 (the reply
 *        record itself is not changed);
 *      XmlSetDevConfig: the status record.
 *    A NULL buffer (e.g. FaceConfig without out) receives nothing.
 *    GetDevConfig also stores the number of bytes written in *bytes_returned
 *    (when not NULL).
 *  - int32_t outputs (GetChannelNum, GetCommonEnable, GetFrameRate,
 *    GetVideoSize (width, height), GetVideoSizeEx, GetMaxKByteRate,
 *    GetProductTypeEx) take consecutive little-endian i32 values from the
 *    answer bytes in argument order; an output without bytes left is not
 *    written, and a NULL output is skipped (its value is still taken).
 *  - GetVideoSzList: the bytes are the device's count, then its codes. With
 *    list NULL only *count is written; otherwise *count gets the device's
 *    count and list receives the codes given, at most the device's count
 *    and at most 32.
 * The result of GetUpgradePercent is the percentage itself (a simulated
 * device answers its own, see Upgrades).
 *
 * Call log
 * --------
 * Every request is logged (NetClient_GetLastError, which only reports, is
 * not): function name, loginfd, cmd and ch (SDK_SIM_ANY when the function has
 * none), the other scalar arguments, lengths included, in argument order
 * in args (unused entries 0), a copy of the input record in in/in_len, and copies of text
 * arguments in text (NULL when absent).
 *   in:  for functions with one record buffer, that buffer as the caller
 *        passed it (for Get functions: before the answer is applied, so preset
 *        request fields are visible); for GetDevConfig_V5, CmdConfig,
 *        FaceConfig, Query_V5 and XmlGetDevConfig the in record; for
 *        XmlSetDevConfig buf; for HttpXmlConfig the request record.
 *  text: NetFileLockFile and Upgrade_V4 the file name in text[0]; ModifyPwd
 *        the user name and the new password; HttpXmlConfig the URL and the
 *        body (pointer at offset 8 / length i32 at 16, pointer at 24 /
 *        length i32 at 32), each cut at its first NUL within the length.
 * int32_t output pointers and GetVideoSzList's list are not logged.
 *
 * Face data: a recorder or camera added with sdk_sim_add_device keeps, per
 * login, the face libraries and faces that FaceConfig edits (sub-commands 4,
 * 0) add or change and deletes (5, 1) remove; the library query (6), the face
 * query (2, faces whose name contains the asked text, of the asked library or
 * of all when the uuid is empty) and the picture search (14, faces of the
 * library, each a little less similar than the one before, those at or above
 * the asked similarity) answer pages of 20 records, page number from the
 * request. A snapshot search (18) finds three snapshots on every channel it
 * names; its progress (19) is 100 and its pages (20) are read by task id.
 * GetDevConfig 126 answers the number of faces held. Answers to these are
 * the device's own: a queued answer still comes first.
 *
 * Picture settings: behind channel n of a device is one of three cameras
 * (n % 3: 3840 x 2160, 2592 x 1944, panoramic), each with a main and a sub
 * stream (0, 1) that list their picture sizes (GetVideoSzList, largest
 * first) and a highest frame rate. Per channel and stream the device keeps
 * the size code (SetVideoSize, read by GetVideoSizeEx and, in pixels, by
 * GetVideoSize), the frame rate (SetFrameRate / GetFrameRate) and the byte
 * rate (SetMaxKByteRate / GetMaxKByteRate, 32 to 16384 KB/s), starting from
 * the largest size, 25 (sub stream 15) frames a second and 4096 (512) KB/s.
 * A size or rate the stream does not offer, a channel or stream it does not
 * have, a time-range index outside 0..7 (SetHDTimeRangeParam), and a
 * picture combination on a camera or with an unknown picture count or
 * output (SetVideoCombine) are answered -1, with a last error of 0x3001 (no
 * such channel or stream) or 0x3002 (not offered).
 *
 * Settings: a device added with sdk_sim_add_device also answers, per login,
 * the settings that are more than a kept record (settings_store.cpp): the
 * connection state of a channel (GetDevConfig 90: 1 below its channel
 * count), the dormancy a CmdConfig 2 set (GetDevConfig 219), the vertical
 * water-gauge lines CmdConfig 14 adds, changes or deletes (control 2) per
 * channel and scene, paged by CmdConfig 15, the phone contacts CmdConfig 68
 * adds, changes or deletes (control 2) per channel, starting from two
 * standing contacts, paged 21 at a time by CmdConfig 69, and fixed answers:
 * abilities (GetDevConfig 99: main type 9 "1", (20, 116) "8", (64, 105)
 * "16"; others are left to the programmed answers), the bar code
 * (GetDevConfig 61), the device mode (GetCommonEnable 0xA000: 2 for a
 * recorder, 1 for a camera), alarm input and output lists (GetDevConfig_V5
 * 1 and 2: 16 and 4 ports on a recorder, 2 and 1 on a camera), report
 * records (CmdConfig 22: highest sequence number 1000) and command records
 * (CmdConfig 40: value 10 times the type, time 2026-12-01 08:00:00 UTC).
 *
 * Events: what a device reports later, on the platform's event channel,
 * goes to the event hook (sdk_sim_set_event_hook), called on the thread of
 * the request that caused it, before that request returns. The platform
 * passes it on from its own event thread. Reported so far: a SetDevConfig 32
 * switching a channel's analysis off (first i32 of the record 0) is answered
 * "accepted" (SDK_SIM_EVENT_ANALYSIS_SWITCH, value 1); a position query
 * (SendCommand 43) is answered with the channel's position
 * (SDK_SIM_EVENT_PTZ_POSITION), which RecvCommand 43 then fetches; a
 * ModifyPwd is answered "accepted" (SDK_SIM_EVENT_PASSWORD_CHANGE, value 1)
 * when user name and password are not empty, else "refused" (value 0);
 * a disk's SMART data asked for (SetDevDiskConfig 0x49) and a usage change
 * (DiskSetUsage, the message's health then 5) arrive as
 * SDK_SIM_EVENT_DISK_SMART; the load figures asked for by GetSysInfo as
 * SDK_SIM_EVENT_SYSTEM_LOAD.
 *
 * Alarms and domes: a device added with sdk_sim_add_device keeps the alarm
 * input and output port records (SetAlarmConfig 113, 116) per channel and
 * port, and the water-level alarm (115) per channel, scene, rule and
 * algorithm type, as GetAlarmConfig with those request fields preset reads
 * them back; the water-speed switch (SetCommonEnable 0xE00C) is the
 * device's, read back on any channel. An alarm output set to mode 1 is on,
 * and is listed among its channel's active alarms (GetDevConfig 321: alarm
 * type 1, state 1, the time it was switched on, event type the port; no
 * analysis alarms). Each channel has a PTZ
 * position, 0 0 0 until a move (SendCommand 73) changes it. A cruise
 * template (SetDevConfig 187) is kept with its stops per channel and cruise
 * id; GetDevConfig 187 with the cruise id preset reads it back as the
 * record, its stop pointer zero, followed by its stops. A template whose
 * stops the device cannot read (no stops, more than 32, or a byte length
 * other than 12 per stop) is refused with -1. Dome wait actions and scan
 * settings are kept like every other record setting.
 *
 * Disks: a recorder has four disks (0 to 3), a camera one card (0). The
 * inventory (GetDevConfig_V5 0), the disk count (GetDevConfig 0x60), SMART
 * requests and usage changes of these disks are answered, other disk numbers
 * refused (-1). Quotas (SetDiskQuota, GetDiskQuotaState 1; 2 answers the
 * total) and file parameters (by channel and type) are kept per channel, on
 * the device's channels only. Each channel records around the clock, on
 * motion from Monday to Friday and on alarm at weekends (templates 0 to 2 of
 * NetFileGetSchedule, weekday 0 = Sunday); a recording mission (CmdConfig
 * 0x3E) turns template 3 on for the weekdays it spans and becomes a back-fill
 * task of its channel, which advances a quarter with every progress query
 * (0x3F, counted in ten-thousandths), is paused or stopped (0x43, ctrl 1 or 2)
 * and listed (0x47, eight at most, the count as it is). A recorder starts
 * with task "rep-0001" on channel 0. One burner (0) keeps the last command
 * as its state. The back-fill abilities (GetDevConfig 0x63, main type 64,
 * sub types 167 and 189) are all present.
 *
 * Upgrades: a programmed answer with a non-zero result refuses
 * NetClient_Upgrade_V4. Otherwise a simulated device checks the image: a
 * file it cannot open or read refuses the upgrade with the system's error
 * number (ENOENT, EACCES, EISDIR, ENAMETOOLONG, ...; EINVAL for a NULL
 * name), and so does a device already upgrading (EBUSY); the number is also
 * the thread's last error. An accepted upgrade runs on a thread of its own:
 * it starts at 0 percent, advances one percent per pace interval
 * (sdk_sim_set_upgrade_pace) or as far as sdk_sim_advance_upgrade asks,
 * and at 100 percent, or at a planned failure (sdk_sim_fail_upgrade), calls
 * the completion callback once from that thread with UPGRADE_STATE_DONE or
 * the planned state (device_sdk_maintenance.h). GetUpgradePercent answers
 * the running upgrade's percentage, the last one's once it ended, and -1
 * before the device's first upgrade. On a login without a simulated device
 * NetClient_Upgrade_V4 keeps its callback when its result is 0;
 * sdk_sim_fire_upgrade_complete calls it once, on the calling thread.
 * sdk_sim_reset stops every upgrade without calling its callback and joins
 * its thread; so does the end of the process.
 *
 * All functions may be called from any thread. Every function leaves errno
 * unchanged. */
#ifndef PLATFORM_DEVICE_SDK_SIM_H
#define PLATFORM_DEVICE_SDK_SIM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Exported by the simulated device's library (device_sdk_EXPORTS is set
 * while it is built), imported by everything else. */
#if defined(_WIN32) && defined(device_sdk_EXPORTS)
#define SDK_SIM_EXPORT __declspec(dllexport)
#elif defined(_WIN32)
#define SDK_SIM_EXPORT __declspec(dllimport)
#else
#define SDK_SIM_EXPORT __attribute__((visibility("default")))
#endif

/* The sub-command of functions that have none, and "any sub-command" in answers. */
#define SDK_SIM_ANY INT32_MIN

/* Kinds of simulated device. */
#define SDK_SIM_CAMERA 0
#define SDK_SIM_RECORDER 1

/* Add (or start afresh) the simulated device behind `loginfd`: it has
 * `channels` channels and answers like a device of `kind`. It reports its
 * channel count (NetClient_GetChannelNum), kind (NetClient_GetProductTypeEx)
 * and version texts (NetClient_GetServerVersion_V1), and keeps its settings:
 * the record of a SetDevConfig, VCASetConfig, SetAlarmConfig, SetDomePTZ,
 * SetDiskGroup, SetDigitalChannelConfig,
 * SetFTPUploadConfig or SetDzTransparentPara request, and
 * the value of a SetCommonEnable request, per sub-command and channel, are
 * what the matching Get request then answers. Its picture settings (below)
 * are kept per channel and stream.
 * XML-carried settings (XmlSetDevConfig, the sub-commands of
 * device_sdk_xml.h) are kept as XML documents per sub-command and channel (or
 * type) and read back by XmlGetDevConfig; before a write a read answers the
 * device's factory document. A structure of the wrong size, or a channel the
 * device lacks, is refused (result -1, last error 400 or 404). HttpXmlConfig
 * keeps the face-track document written for a channel and scene (a body that
 * is no face-track document is refused, 400), answers a read with it (face
 * tracking off before any write), and answers the court database query
 * (key 524291, Type 2) with one testimony channel per channel.
 * Returns 0, or -1 for a negative channel count or an unknown kind. */
SDK_SIM_EXPORT int32_t sdk_sim_add_device(int32_t loginfd, int32_t channels, int32_t kind);

/* Forget all answers, the simulated devices, the call log, the upgrades (stopped, their
 * threads joined) and their planned failures, the event hook, and every thread's last
 * error (NetClient_GetLastError reports 0 again). The upgrade pace is kept. */
SDK_SIM_EXPORT void sdk_sim_reset(void);

/* Queue an answer for a call of `function` (the full name, e.g.
 * "NetClient_GetDevConfig") with sub-command `cmd` or SDK_SIM_ANY. `out` is
 * copied (NULL with out_len 0 for none). Returns 0, or -1 when refused: an
 * unknown function name, out_len < 0, or out NULL with out_len > 0. */
SDK_SIM_EXPORT int32_t sdk_sim_push_answer(const char *function, int32_t cmd, int32_t result, int32_t last_error,
                                           const void *out, int32_t out_len);

/* Set the standing answer for (function, cmd), replacing an earlier one. */
SDK_SIM_EXPORT int32_t sdk_sim_set_answer(const char *function, int32_t cmd, int32_t result, int32_t last_error,
                                          const void *out, int32_t out_len);

typedef struct sdk_sim_call {
    const char *function; /* e.g. "NetClient_SetDevConfig" */
    int32_t loginfd;
    int32_t cmd;       /* SDK_SIM_ANY when the function has no sub-command */
    int32_t ch;        /* SDK_SIM_ANY when the function has no channel */
    int32_t args[4];   /* the other scalar arguments in order, then 0 */
    const uint8_t *in; /* copy of the input record; NULL when in_len is 0 */
    int32_t in_len;
    const char *text[2]; /* copies of text arguments, NULL when absent */
} sdk_sim_call;

/* Whether requests are written to the call log (1, the default) or not (0):
 * a long-running tool or a benchmark turns it off so that neither memory nor
 * the log's lock grows with the number of requests. */
SDK_SIM_EXPORT void sdk_sim_set_call_log(int32_t enabled);

/* Number of calls logged since the last reset. */
SDK_SIM_EXPORT int32_t sdk_sim_call_count(void);

/* Call number `index` (0 = oldest). Returns 1 and fills *call, or 0 when there
 * is no such call. The pointers stay valid until sdk_sim_reset. */
SDK_SIM_EXPORT int32_t sdk_sim_get_call(int32_t index, sdk_sim_call *call);

/* Report the end of the upgrade started on `loginfd`, a login without a
 * simulated device: calls its callback (loginfd, state, 0) once and forgets
 * it. Returns 1 when a callback was called, 0 when none was pending. */
SDK_SIM_EXPORT int32_t sdk_sim_fire_upgrade_complete(int32_t loginfd, int32_t state);

/* Milliseconds a simulated device's upgrade takes per percent (20 until set:
 * two seconds for a whole upgrade). 0: upgrades advance only when
 * sdk_sim_advance_upgrade asks, so a test decides every step. */
SDK_SIM_EXPORT void sdk_sim_set_upgrade_pace(int32_t ms_per_percent);

/* Advances the running upgrade of the simulated device `loginfd` by
 * `points` percent (at most to 100 or to a planned failure). The upgrade's
 * own thread takes the step; this returns once it has, and when the step
 * ended the upgrade, once the callback has returned. Returns the percentage
 * reached, or -1 when no upgrade runs there or `points` is negative. */
SDK_SIM_EXPORT int32_t sdk_sim_advance_upgrade(int32_t loginfd, int32_t points);

/* Plans a failure: the running or next upgrade of the simulated device
 * `loginfd` stops on reaching `at_percent` (0 to 100; at 0 the device reports
 * the failure as soon as the upgrade starts, before NetClient_Upgrade_V4
 * returns 0) and reports `state`. Returns 0, or -1 for a percentage outside 0 to 100. */
SDK_SIM_EXPORT int32_t sdk_sim_fail_upgrade(int32_t loginfd, int32_t at_percent, int32_t state);

/* Events a simulated device reports. */
#define SDK_SIM_EVENT_ANALYSIS_SWITCH 1 /* value: 1 accepted, 0 refused */
#define SDK_SIM_ANALYSIS_ACCEPTED 1
#define SDK_SIM_EVENT_PTZ_POSITION 2    /* position: pan, tilt, zoom */
#define SDK_SIM_EVENT_PASSWORD_CHANGE 3 /* value: 1 accepted, 0 refused; ch SDK_SIM_ANY */
#define SDK_SIM_EVENT_DISK_SMART 4      /* value: the disk; data: its 96-byte SMART message (device event 123) */
#define SDK_SIM_EVENT_SYSTEM_LOAD 5     /* data: processor and memory load in percent, one byte each */

/* The largest data record an event carries. */
#define SDK_SIM_EVENT_DATA_MAX 128

typedef struct sdk_sim_event {
    int32_t type;        /* SDK_SIM_EVENT_* */
    int32_t loginfd;     /* the device */
    int32_t ch;          /* the channel concerned */
    int32_t value;       /* the answer */
    int32_t position[3]; /* SDK_SIM_EVENT_PTZ_POSITION: the reported pan, tilt, zoom */
    int32_t data_len;    /* bytes of data used, 0 for none */
    uint8_t data[SDK_SIM_EVENT_DATA_MAX];
} sdk_sim_event;

typedef void (*sdk_sim_event_hook)(void *ctx, const sdk_sim_event *event);

/* Install the hook that receives device events (NULL removes it). Returns
 * only once a hook call in progress has finished, so ctx may then be freed. */
SDK_SIM_EXPORT void sdk_sim_set_event_hook(sdk_sim_event_hook hook, void *ctx);

#ifdef __cplusplus
}
#endif

#endif
