#!/usr/bin/env bash
# Runs page 2 on media that fail: a small tmpfs drive, and two write-protected drives, one empty and
# one holding an older portable disk.
#   step2-failing-media.sh <test_step2.exe>
set -euo pipefail
. "$SEQUORA_SOURCE_DIR/tests/harness/failing-media.sh" "$1" step2-media
small=$(media_folder small)
empty=$(media_folder protected-empty)
layout=$(media_folder protected-layout)

make_small "$small" 64m
SEQUORA_SMALL_DRIVE=$(windows_path "$small") run 'Step2Media.SmallDrive'

# The older portable disk is written while the drive is still writable.
SEQUORA_PROTECTED_LAYOUT=$(windows_path "$layout") run 'Step2Media.PrepareWriteProtected'
write_protect "$empty"
write_protect "$layout"
SEQUORA_PROTECTED_EMPTY=$(windows_path "$empty") SEQUORA_PROTECTED_LAYOUT=$(windows_path "$layout") \
    SEQUORA_PROTECTED_READY=1 run 'Step2Media.WriteProtectedDrives'
