/* The platform interface headers are C headers: integrators compile against
 * them from C as well as C++. This file includes every one of them as C11,
 * so a C++-only construct in any of them fails the build. */
#include "device_sdk.h"
#include "device_sdk_alarm.h"
#include "device_sdk_events.h"
#include "device_sdk_face.h"
#include "device_sdk_face_search.h"
#include "device_sdk_maintenance.h"
#include "device_sdk_ptz.h"
#include "device_sdk_settings.h"
#include "device_sdk_settings_query.h"
#include "device_sdk_storage.h"
#include "device_sdk_vca.h"
#include "device_sdk_video.h"
#include "device_sdk_xml.h"
#include "face_track_codec.h"
#include "json_accessors.h"
#include "key_utility.h"
#include "message_service.h"
#include "os_support.h"

int platform_headers_are_c(void);
int platform_headers_are_c(void) { return 0; }
