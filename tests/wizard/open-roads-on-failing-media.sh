#!/usr/bin/env bash
# Pages 3 and 4 on media that fail: a write-protected drive holding a portable disk and a drive with
# room for the image but not for Agent's files as well.
#   open-roads-on-failing-media.sh <test_open_roads.exe>
set -euo pipefail
. "$SEQUORA_SOURCE_DIR/tests/harness/failing-media.sh" "$1" open-media
small=$(media_folder small)
protected=$(media_folder protected)

# The road's image (32 MiB, as the test makes it) fits, Agent's files after it do not: the copy
# itself runs out of room.
image_bytes=$((32 * 1024 * 1024))
agent_bytes=$(stat -c %s "$SEQUORA_PROGRAM_DIR/Agent.exe" "$SEQUORA_PROGRAM_DIR/Agent.ini" \
    "$SEQUORA_PROGRAM_DIR/Tavrin.dll" | awk '{ total += $1 } END { print total }')
make_small "$small" $(( (image_bytes + agent_bytes / 2 + 4095) / 4096 * 4096 ))

SEQUORA_PROTECTED_DRIVE=$(windows_path "$protected") run 'OpenRoadsOnFailingMedia.PrepareWriteProtected'
write_protect "$protected"
SEQUORA_PROTECTED_DRIVE=$(windows_path "$protected") SEQUORA_SMALL_DRIVE=$(windows_path "$small") \
    SEQUORA_PROTECTED_READY=1 run 'OpenRoadsOnFailingMedia.*'
