/* Firmware upgrade: the states the completion callback of
 * NetClient_Upgrade_V4 (device_sdk.h) reports. A state other than
 * UPGRADE_STATE_IN_PROGRESS ends the upgrade; while an upgrade runs,
 * NetClient_GetUpgradePercent reports how far it has come (0 to 100,
 * negative on error). */
#ifndef PLATFORM_DEVICE_SDK_MAINTENANCE_H
#define PLATFORM_DEVICE_SDK_MAINTENANCE_H

enum {
    UPGRADE_STATE_DONE = 0,         /* the device took the new firmware */
    UPGRADE_STATE_FAILED = -1,      /* the device could not take the image */
    UPGRADE_STATE_IN_PROGRESS = -2, /* not over: ask for the percentage again */
};

#endif
