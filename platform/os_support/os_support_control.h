/* Control interface of the OS support library, for tests and tools. */
#ifndef PLATFORM_OS_SUPPORT_CONTROL_H
#define PLATFORM_OS_SUPPORT_CONTROL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* While a hook is set, os_sleep calls hook(ctx, ms) on the sleeping thread
 * instead of sleeping. NULL restores real sleeping. */
void os_support_set_sleep_hook(void (*hook)(void *ctx, int32_t ms), void *ctx);

/* While a hook is set, every log_debug_ex call of any level is also passed to
 * it with the formatted message, one call at a time. NULL removes it; returns
 * only once a hook call in progress has finished, so ctx may then be freed. */
void os_support_set_log_hook(void (*hook)(void *ctx, int32_t level, const char *file, int32_t line,
                                          const char *message),
                             void *ctx);

/* Non-zero stops writing lines to stderr or OS_LOG_FILE; the log hook still
 * receives them. Zero resumes. */
void os_support_set_log_quiet(int32_t quiet);

/* Non-zero stops the timer thread from firing and returns once no callback is
 * running on it (at once when called from a timer callback). Zero resumes. */
void os_support_timers_pause(int32_t paused);

/* Runs the callback of every live timer once, on the calling thread, in
 * creation order; returns how many ran. */
int32_t os_support_timers_fire(void);

#ifdef __cplusplus
}
#endif

#endif
