// Temperature, humidity and traffic-flow events turned into JSON messages
// queued on their message-queue senders. Neither waits on the broker.
#pragma once

#include <cstdint>

namespace zel {

// 1 when the event was handled (queued, or deliberately not forwarded),
// 0 when it was refused or its sender has no producer.
int32_t notify_temp_humidity(void *host, const void *report);
int32_t notify_traffic_flow(void *host, const void *report, int32_t size);

}  // namespace zel
