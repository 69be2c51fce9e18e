#!/usr/bin/env bash
# A portable disk made and used on one computer (the shared test prefix) and opened on another: a
# brand-new Wine prefix where the disk driver was never installed. The USB drive is a host folder
# mapped in each prefix in turn.
#   another-computer.sh <test_portable_road.exe>
set -euo pipefail
test_program=$1
work=$SEQUORA_BUILD_DIR/testdata/another-computer
usb=$work/usb
rm -rf "$work"
mkdir -p "$usb"
export SEQUORA_ROAD_USB="Z:$(tr / '\\' <<<"$usb")"
"$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter=AnotherComputer.MakesThePortableDisk
bash "$SEQUORA_SOURCE_DIR/tests/harness/with-fresh-prefix" "$work/prefix" \
    "$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter=AnotherComputer.OpensItWithTheDriverInstalledByAgent
rm -rf "$work"
