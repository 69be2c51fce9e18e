#!/usr/bin/env bash
# Sets IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP (0x0400) in a PE file's COFF characteristics; the GNU
# linker has no option for it.
set -euo pipefail
file=$1
u16() { od -An -t u2 -j "$1" -N 2 "$file" | tr -d ' '; }
u32() { od -An -t u4 -j "$1" -N 4 "$file" | tr -d ' '; }
pe=$(u32 60)
[ "$(u32 "$pe")" = 17744 ] || { echo "$file: not a PE file" >&2; exit 1; }
at=$((pe + 22))
flags=$(( $(u16 "$at") | 0x0400 ))
printf "$(printf '\\%03o\\%03o' $((flags & 255)) $((flags >> 8)))" | dd of="$file" bs=1 seek="$at" conv=notrunc status=none
