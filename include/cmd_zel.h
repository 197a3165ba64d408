/* cmd_zel: the command library a video-surveillance platform loads to drive
 * the devices it has logged in to.
 *
 * The platform calls init_command_lib once, then hands each command to
 * cmd_common_set_config or cmd_common_get_config together with the device's
 * host record. A reply, when a command gives one, is a NUL-terminated JSON
 * text in a buffer from calloc stored in out_buf; the platform frees it with
 * free. On a result of 0 the calling thread's errno holds a CMD_ZEL_E* code
 * (or, for unknown command numbers, is left as it was). */
#ifndef CMD_ZEL_H
#define CMD_ZEL_H

#include <stddef.h>
#include <stdint.h>

/* On Windows the entry points are exported while the library itself is
 * built (CMD_ZEL_BUILDING) and imported from cmd_zel.dll everywhere else. */
#if defined(_WIN32) && defined(CMD_ZEL_BUILDING)
#define CMD_ZEL_API __declspec(dllexport)
#elif defined(_WIN32)
#define CMD_ZEL_API __declspec(dllimport)
#else
#define CMD_ZEL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The 48-byte command record of the two command entry points. The fields
 * marked platform-owned are neither read nor written by the library. */
typedef struct AsynOpIt_ComCmd {
    void *platform_0;    /* platform-owned */
    char *in_buf;        /* JSON text of the command; must not be null */
    char *out_buf;       /* reply slot: a calloc'd JSON text, freed by the platform */
    void *platform_24;   /* platform-owned */
    char *filename;      /* file name, read by get command 8 only */
    int32_t result;      /* set commands 0, 20 and 80 store their result here */
    int32_t platform_44; /* platform-owned */
} AsynOpIt_ComCmd;

#ifdef __cplusplus
static_assert(sizeof(AsynOpIt_ComCmd) == 48, "command record is 48 bytes");
static_assert(offsetof(AsynOpIt_ComCmd, platform_0) == 0, "");
static_assert(offsetof(AsynOpIt_ComCmd, in_buf) == 8, "");
static_assert(offsetof(AsynOpIt_ComCmd, out_buf) == 16, "");
static_assert(offsetof(AsynOpIt_ComCmd, platform_24) == 24, "");
static_assert(offsetof(AsynOpIt_ComCmd, filename) == 32, "");
static_assert(offsetof(AsynOpIt_ComCmd, result) == 40, "");
static_assert(offsetof(AsynOpIt_ComCmd, platform_44) == 44, "");
#else
_Static_assert(sizeof(AsynOpIt_ComCmd) == 48, "command record is 48 bytes");
#endif

/* Library error codes left in errno after a result of 0. */
enum {
    CMD_ZEL_EINVAL = 0x1000002,        /* invalid argument */
    CMD_ZEL_ENOTDONE = 0x1000004,      /* operation not carried out */
    CMD_ZEL_ENOHOST = 0x1000005,       /* no host record */
    CMD_ZEL_ENOTSUPPORTED = 0x1000007, /* not supported by the device */
    CMD_ZEL_ENOPERMISSION = 0x1000014, /* no permission */
    CMD_ZEL_ENOSESSION = 0x1000015,    /* query session not found */
    CMD_ZEL_EDEVICE = 0x1000016        /* device call failed */
};

/* Callbacks the platform may store in the host record (offsets 5592 and
 * 6248). The library calls them on the thread that delivered the event. */
typedef int32_t (*host_event_cb)(void *host, uint32_t code, uint32_t now, void *payload);
typedef int32_t (*host_alarm_cb)(void *host, uint32_t code, uint32_t value, void *reserved, uint32_t extra);

CMD_ZEL_API int32_t init_command_lib(void);
CMD_ZEL_API int32_t cmd_common_set_config(void *host, void *opit, int32_t size);
CMD_ZEL_API int32_t cmd_common_get_config(void *host, void *opit, int32_t size);
CMD_ZEL_API int32_t video_to_cmd_common_get_config(void *host, int32_t type, void *opit, int32_t size);
CMD_ZEL_API int32_t cmd_update_config(void);
CMD_ZEL_API void cmd_main_notify(void *host, uint32_t event, void *data, int64_t extra);
CMD_ZEL_API int32_t cmd_alarm_notify_ex(void *host, uint32_t alarm_type, void *info, uint32_t extra);
CMD_ZEL_API void cmd_alarm_notify(void *p, int32_t a, int32_t b, int32_t c);
CMD_ZEL_API void cmd_parachange_notify(void *p, int32_t a, int32_t b, int64_t c);
CMD_ZEL_API void cmd_proxy_notify(void *p, int32_t a, int64_t b, int32_t c);

#ifdef __cplusplus
}
#endif

#endif
