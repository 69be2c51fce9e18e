#!/usr/bin/env bash
# A portable disk made by Brixom on one computer (the shared test prefix), opened, written to and
# re-keyed by Agent on another (a brand-new Wine prefix), and opened by Brixom again on the first.
# The USB drive is a host folder mapped in each prefix in turn.
#   brixom-agent-road.sh <test_brixom_agent_road.exe>
set -euo pipefail
test_program=$1
work=$SEQUORA_BUILD_DIR/testdata/brixom-agent-road
usb=$work/usb
rm -rf "$work"
mkdir -p "$usb"
export SEQUORA_ROAD_USB="Z:$(tr / '\\' <<<"$usb")"
"$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter=BrixomAndAgent.BrixomMakesThePortableDisk
bash "$SEQUORA_SOURCE_DIR/tests/harness/with-fresh-prefix" "$work/prefix" \
    "$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter=AgentOnAnotherComputer.*
"$SEQUORA_WINE_EXEC" "$test_program" --gtest_filter=BrixomAndAgent.BrixomOpensTheDiskWithThePasswordAgentSet
rm -rf "$work"
