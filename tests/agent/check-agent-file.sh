#!/usr/bin/env bash
# Agent.exe is copied onto every USB drive and carried inside Brixom: it stays small, carries the
# flag that makes Windows run it from the swap file, and binds Tavrin.dll by name.
set -euo pipefail
exe=$SEQUORA_PROGRAM_DIR/Agent.exe
size=$(stat -c %s "$exe")
aim=$((256 * 1024))
limit=$((512 * 1024))
# The aim is reported, the limit enforced.
if [ "$size" -le "$aim" ]; then
    echo "Agent.exe: $size bytes, within the 256 KiB aim by $((aim - size)) bytes (limit: 512 KiB)"
else
    echo "Agent.exe: $size bytes, over the 256 KiB aim by $((size - aim)) bytes (limit: 512 KiB)"
fi
[ "$size" -le "$limit" ] || { echo "Agent.exe is over 512 KiB"; exit 1; }
u16() { od -An -t u2 -j "$1" -N 2 "$exe" | tr -d ' '; }
u32() { od -An -t u4 -j "$1" -N 4 "$exe" | tr -d ' '; }
flags=$(u16 $(( $(u32 60) + 22 )))
(( flags & 0x0400 )) || { echo "run-from-swap flag missing"; exit 1; }
imports=$("$SEQUORA_OBJDUMP" -p "$exe")
grep -q "DLL Name: Tavrin.dll" <<<"$imports" || { echo "Tavrin.dll not imported"; exit 1; }
for name in Tavrin_GetInfo Tavrin_Mount Tavrin_Unmount Tavrin_MoveFile Tavrin_FindFreeDriveLetter; do
    grep -q "$name" <<<"$imports" || { echo "$name not imported by name"; exit 1; }
done
echo "ok"
