#!/usr/bin/env bash
# The library's dynamic symbol table defines exactly its ten entry points;
# every platform function it uses stays undefined (imported).
set -euo pipefail
lib=${1:?usage: check-exports.sh path/to/libcmd_zel.so}
expected="cmd_alarm_notify
cmd_alarm_notify_ex
cmd_common_get_config
cmd_common_set_config
cmd_main_notify
cmd_parachange_notify
cmd_proxy_notify
cmd_update_config
init_command_lib
video_to_cmd_common_get_config"

defined=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TtWwDdBbRrVvi]$/ {print $3}' | sed 's/@.*//' | sort -u)
if [ "$defined" != "$expected" ]; then
  echo "libcmd_zel exports other symbols than its ten entry points:"
  diff <(echo "$expected") <(echo "$defined") || true
  exit 1
fi

undefined=$(nm -D --undefined-only "$lib" | awk '{print $2}' | sed 's/@.*//')
for fn in log_debug_ex os_timer_create adt_dlist_create hash_create json_object_get_field_int rsa_base64_decrypt \
  Encap_FaceTrackInfo Analysis_FaceTrackInfo; do
  if ! grep -qx "$fn" <<<"$undefined"; then
    echo "libcmd_zel does not import $fn"
    exit 1
  fi
done
echo "exports: exactly the ten entry points; platform functions imported"
