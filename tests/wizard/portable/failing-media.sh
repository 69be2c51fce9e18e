#!/usr/bin/env bash
# Runs the maker on media that fail: a tiny tmpfs that fills up, and a drive mounted read-only.
# Needs root for the mounts (CI runs as root).
set -euo pipefail
test_program=$1
base="$SEQUORA_BUILD_DIR/testdata/media-$$"
full="$base/full"
protected="$base/protected"
mkdir -p "$full" "$protected"

cleanup() {
    mountpoint -q "$protected" && umount "$protected"
    mountpoint -q "$full" && umount "$full"
    rm -rf "$base"
}
trap cleanup EXIT

windows_path() { echo "Z:$1" | tr / '\\'; }
run() { "$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter="$1"; }

mount -t tmpfs -o size=4m tmpfs "$full"
SEQUORA_FULL_DRIVE=$(windows_path "$full") run 'FailingMedia.FullDrive*'

# The write-protected drive holds a portable disk and a user's files, written while it was writable.
SEQUORA_PROTECTED_DRIVE=$(windows_path "$protected") run 'FailingMedia.PrepareWriteProtected'
mount --bind "$protected" "$protected"
mount -o remount,bind,ro "$protected"
SEQUORA_PROTECTED_DRIVE=$(windows_path "$protected") SEQUORA_PROTECTED_READY=1 run 'FailingMedia.WriteProtected*'
