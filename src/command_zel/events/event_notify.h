// Bodies of the event entry points: device events and alarm events.
#pragma once

#include <cstdint>

namespace zel {

void main_notify(void *host, uint32_t event, void *data);
// What the host's alarm callback returned, or 0 when it did not run.
int32_t alarm_notify_ex(void *host, uint32_t alarm_type, void *info);

}  // namespace zel
