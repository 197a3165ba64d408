#!/usr/bin/env bash
# The library defines exactly its ten entry points and imports every platform
# function it uses: on Linux they stay undefined in libcmd_zel.so; on Windows
# cmd_zel.dll exports the ten by name and imports from the stand-ins' DLLs.
set -euo pipefail
lib=${1:?usage: check-exports.sh path/to/libcmd_zel.so|cmd_zel.dll}
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

if [[ $lib == *.dll ]]; then
  table=$(x86_64-w64-mingw32-objdump -p "$lib")
  defined=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" | awk '/^\t\[/ {print $3}' | sort -u)
  imported_dlls=$(awk '/DLL Name:/ {print $3}' <<<"$table")
  for dll in libos_support.dll libjson_accessors.dll libdevice_sdk.dll libmessage_service.dll libkey_utility.dll \
    libface_track_codec.dll libjson-c.dll; do
    if ! grep -qx "$dll" <<<"$imported_dlls"; then
      echo "$lib does not import from $dll"
      exit 1
    fi
  done
  undefined=$(awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}' <<<"$table")
else
  defined=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TtWwDdBbRrVvi]$/ {print $3}' | sed 's/@.*//' | sort -u)
  undefined=$(nm -D --undefined-only "$lib" | awk '{print $2}' | sed 's/@.*//')
fi
if [ "$defined" != "$expected" ]; then
  echo "$lib exports other symbols than its ten entry points:"
  diff <(echo "$expected") <(echo "$defined") || true
  exit 1
fi

for fn in log_debug_ex os_timer_create adt_dlist_create hash_create json_object_get_field_int rsa_base64_decrypt \
  Encap_FaceTrackInfo Analysis_FaceTrackInfo; do
  if ! grep -qx "$fn" <<<"$undefined"; then
    echo "$lib does not import $fn"
    exit 1
  fi
done
echo "exports: exactly the ten entry points; platform functions imported"
