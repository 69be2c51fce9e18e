#!/usr/bin/env bash
# Runs the maker on media that fail: a tiny tmpfs that fills up, and a drive mounted read-only.
#   failing-media.sh <test_portable_disk.exe>
set -euo pipefail
. "$SEQUORA_SOURCE_DIR/tests/harness/failing-media.sh" "$1" media
full=$(media_folder full)
protected=$(media_folder protected)

make_small "$full" 4m
SEQUORA_FULL_DRIVE=$(windows_path "$full") run 'FailingMedia.FullDrive*'

# The write-protected drive holds a portable disk and a user's files, written while it was writable.
SEQUORA_PROTECTED_DRIVE=$(windows_path "$protected") run 'FailingMedia.PrepareWriteProtected'
write_protect "$protected"
SEQUORA_PROTECTED_DRIVE=$(windows_path "$protected") SEQUORA_PROTECTED_READY=1 run 'FailingMedia.WriteProtected*'
