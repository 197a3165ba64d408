/* The platform message service. Type 5 executes one broker request
 * synchronously; type 150 publishes an event text. */
#ifndef PLATFORM_MESSAGE_SERVICE_H
#define PLATFORM_MESSAGE_SERVICE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int32_t ms_push_message(uint8_t type, const char *text);

#ifdef __cplusplus
}
#endif

#endif
