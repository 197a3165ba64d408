/* Firmware upgrades of the simulator.
 *
 * An upgrade a simulated device accepts runs on a thread of its own, as the
 * SDK's transfer does: it advances one percent per pace interval (or as far
 * as sdk_sim_advance_upgrade asks), stops where a planned failure says, and
 * reports its end through the completion callback from that thread. An
 * upgrade on a login without a simulated device is kept until a test
 * reports its end with sdk_sim_fire_upgrade_complete. */
#ifndef PLATFORM_DEVICE_SDK_UPGRADE_RUNNER_H
#define PLATFORM_DEVICE_SDK_UPGRADE_RUNNER_H

#include "device_sdk.h"

#include <cstdint>

namespace device_sdk_sim {

/* Starts the upgrade NetClient_Upgrade_V4 asks for, once no programmed
 * answer refused it. A simulated device needs a readable image and must not
 * be upgrading already. Returns 0, or the error number of the refusal. */
int32_t start_upgrade(int32_t loginfd, const char *filename, upgrade_complete_cb on_complete);

/* How far the device's upgrade has come: the running one's percentage, the
 * last one's once it ended, -1 when the device has not upgraded. */
int32_t upgrade_percent(int32_t loginfd);

/* Stops every upgrade without reporting it, joins their threads and forgets
 * the callbacks and planned failures (sdk_sim_reset, process exit). */
void stop_upgrades();

}  // namespace device_sdk_sim

#endif
