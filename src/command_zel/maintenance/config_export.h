// The export step of get 23, and how a test puts another one in its place.
#pragma once

#include <json-c/json.h>

#include <cstdint>

namespace zel {

// Starts an export of the device's configuration for `jso` and writes the
// name of the file it will produce into `name` (`size` bytes); 1 when an
// export started, 0 otherwise.
using ExportStep = int32_t (*)(void *host, json_object *jso, char *name, int32_t size);

// The step this library ships: it exports nothing and always reports failure.
int32_t export_config(void *host, json_object *jso, char *name, int32_t size);

// Puts `step` in the place of the export step get 23 calls and returns the
// one it replaces. The library does not export it: only programs built from
// the library's object files (the tests) reach it.
ExportStep replace_export_step(ExportStep step);

}  // namespace zel
