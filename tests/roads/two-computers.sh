#!/usr/bin/env bash
# A USB drive carried between two computers: "here", the shared test prefix, and "there", a
# brand-new Wine prefix where the disk driver was never installed. The drive is a host folder,
# mapped in each prefix in turn; the tests find it in SEQUORA_ROAD_USB. Each step runs the tests of
# one filter on one of the computers, in the order given.
#   two-computers.sh <name> <test program> here:<filter>|there:<filter>...
set -euo pipefail
name=$1
test_program=$2
shift 2
work=$SEQUORA_BUILD_DIR/testdata/$name
rm -rf "$work"
mkdir -p "$work/usb"
export SEQUORA_ROAD_USB="Z:$(tr / '\\' <<<"$work/usb")"
for step in "$@"; do
    filter=${step#*:}
    case $step in
        here:*) "$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter="$filter" ;;
        there:*) bash "$SEQUORA_SOURCE_DIR/tests/harness/with-fresh-prefix" "$work/prefix" \
                     "$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter="$filter" ;;
        *) echo "a step is here:<filter> or there:<filter>, not $step" >&2; exit 2 ;;
    esac
done
rm -rf "$work"
