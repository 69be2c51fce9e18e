#!/usr/bin/env bash
# The benchmark in one command: builds the suite for the architecture Wine runs here and prints
# Tavrin's times beside plain file work on the same folder.
#   bench/bench.sh [folder]          SEQUORA_BENCH_ARCH=i686 for the 32-bit build where it runs
set -uo pipefail
. "$(dirname "$0")/../scripts/lib.sh"

arch=${SEQUORA_BENCH_ARCH:-x86_64}
install_packages || exit 1
build_arch "$arch" || exit 1
export SEQUORA_HEADLESS=1
trap stop_all EXIT
start_display
start_wine
"$SEQUORA_BUILD/$arch/wine-exec" "$SEQUORA_BUILD/$arch/bench/tavrin_bench.exe" "$@"
