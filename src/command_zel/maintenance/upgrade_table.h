// Firmware upgrade state per device, keyed by login handle.
#pragma once

#include "os_support.h"

namespace zel {

extern hash_table_t *s_host_upgrade_status;

}  // namespace zel
