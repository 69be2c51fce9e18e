#!/usr/bin/env bash
# Pages 3 and 4 on media that fail: a write-protected drive holding a portable disk and a drive with
# room for the image but not for Agent's files as well. Needs root for the mounts (CI runs as root).
set -euo pipefail
test_program=$1
base="$SEQUORA_BUILD_DIR/testdata/open-media-$$"
small="$base/small"
protected="$base/protected"
mkdir -p "$small" "$protected"

cleanup() {
    mountpoint -q "$protected" && umount "$protected"
    mountpoint -q "$small" && umount "$small"
    rm -rf "$base"
}
trap cleanup EXIT

windows_path() { echo "Z:$1" | tr / '\\'; }
run() { "$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter="$1"; }

# The road's image (32 MiB, as the test makes it) fits, Agent's files after it do not: the copy
# itself runs out of room.
image_bytes=$((32 * 1024 * 1024))
agent_bytes=$(stat -c %s "$SEQUORA_PROGRAM_DIR/Agent.exe" "$SEQUORA_PROGRAM_DIR/Agent.ini" \
    "$SEQUORA_PROGRAM_DIR/Tavrin.dll" | awk '{ total += $1 } END { print total }')
small_bytes=$(( (image_bytes + agent_bytes / 2 + 4095) / 4096 * 4096 ))
mount -t tmpfs -o "size=$small_bytes" tmpfs "$small"

SEQUORA_PROTECTED_DRIVE=$(windows_path "$protected") run 'OpenRoadsOnFailingMedia.PrepareWriteProtected'
mount --bind "$protected" "$protected"
mount -o remount,bind,ro "$protected"
SEQUORA_PROTECTED_DRIVE=$(windows_path "$protected") SEQUORA_SMALL_DRIVE=$(windows_path "$small") \
    SEQUORA_PROTECTED_READY=1 run 'OpenRoadsOnFailingMedia.*'
