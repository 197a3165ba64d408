// Firmware upgrade state per device, keyed by login handle.
#pragma once

#include "os_support.h"

namespace zel {

// One 4-byte state per login handle: 1 while an upgrade started here has no
// report yet, the SDK's report afterwards (UPGRADE_STATE_IN_PROGRESS keeps
// it running; any other report is final). Every access holds hash_lock.
extern hash_table_t *s_host_upgrade_status;

}  // namespace zel
