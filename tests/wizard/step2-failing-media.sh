#!/usr/bin/env bash
# Runs page 2 on media that fail: a small tmpfs drive, and two write-protected drives (read-only
# bind mounts), one empty and one holding an older portable disk. Needs root for the mounts (CI
# runs as root).
set -euo pipefail
test_program=$1
base="$SEQUORA_BUILD_DIR/testdata/step2-media-$$"
small="$base/small"
empty="$base/protected-empty"
layout="$base/protected-layout"
mkdir -p "$small" "$empty" "$layout"

cleanup() {
    for m in "$layout" "$empty" "$small"; do
        if mountpoint -q "$m"; then umount "$m"; fi
    done
    rm -rf "$base"
}
trap cleanup EXIT

windows_path() { echo "Z:$1" | tr / '\\'; }
run() { "$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter="$1"; }

mount -t tmpfs -o size=64m tmpfs "$small"
SEQUORA_SMALL_DRIVE=$(windows_path "$small") run 'Step2Media.SmallDrive'

# The older portable disk is written while the drive is still writable.
SEQUORA_PROTECTED_LAYOUT=$(windows_path "$layout") run 'Step2Media.PrepareWriteProtected'
for m in "$empty" "$layout"; do
    mount --bind "$m" "$m"
    mount -o remount,bind,ro "$m"
done
SEQUORA_PROTECTED_EMPTY=$(windows_path "$empty") SEQUORA_PROTECTED_LAYOUT=$(windows_path "$layout") \
    SEQUORA_PROTECTED_READY=1 run 'Step2Media.WriteProtectedDrives'
