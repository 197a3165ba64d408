// The broker destinations of the configuration file: parsing, starting the
// senders at initialisation and applying a reloaded file.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "mq_send_record.h"
#include "zel_paths.h"

namespace zel {

// Path of the configuration file, relative to the working directory.
inline constexpr char kMqConfigPath[] = "var" ZEL_PATH_SEPARATOR "platform" ZEL_PATH_SEPARATOR "vs_config.json";

// Validates one destination object and, only when every member passes,
// fills `settings` (the options text is a new heap copy). 1 or 0.
int32_t parse_mq_info(json_object *jso, mq_settings *settings);
// 0 when equal, 1 when different, -1 when either is missing.
int32_t compare_mq_info(const mq_settings *a, const mq_settings *b);

// Parses a destination into its sender and starts the sender's thread.
int32_t init_mq_param(json_object *jso, mq_send_record *record);
// Starts the senders of the configuration file; 1 also when there is no
// file, 0 when a configured destination could not be started.
int32_t init_parse_mq_param();

// Applies one destination (null: absent) to a live sender.
int32_t update_mq_param(json_object *jso, mq_send_record *record);
// Rereads the configuration file and applies both destinations.
int32_t update_mq_config();

}  // namespace zel
