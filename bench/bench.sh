#!/usr/bin/env bash
# The benchmark in one command: builds the suite and prints one table, each figure beside its
# reference measured in the same run on the same folder (medians of several runs), with its goal.
#   scripts/bench [--runs N] [--rounds N] [--only jobs|disk|startup|sizes] [--library]
#     --runs N     runs of each disk job and its reference (default 7)
#     --rounds N   start-up rounds (default 7)
#     --only PART  one part of the table
#     --library    afterwards, the disk library alone: creation, mount and dismount against plain files
# It times the shipping build (i686) where the host runs 32-bit programs, else the 64-bit one;
# SEQUORA_BENCH_ARCH=x86_64 (or i686) chooses. Sizes come from both builds.
set -uo pipefail
. "$(dirname "$0")/../scripts/lib.sh"

if host_runs_32bit; then shipping=i686; else shipping=x86_64; fi
arch=${SEQUORA_BENCH_ARCH:-$shipping}
bench_args=()
library=0
while [ $# -gt 0 ]; do
    case $1 in
        --runs|--rounds|--only|--disk) bench_args+=("$1" "$2"); shift 2 ;;
        --library) library=1; shift ;;
        *) echo "usage: scripts/bench [--runs N] [--rounds N] [--only jobs|disk|startup|sizes] [--library]" >&2; exit 2 ;;
    esac
done

install_packages || exit 1
for a in $SEQUORA_ARCHES; do
    build_arch "$a" >/dev/null || { echo "the $a build failed" >&2; exit 1; }
done
for a in $SEQUORA_ARCHES; do
    [ "$a" = "$arch" ] && continue
    bench_args+=(--sizes-of "$a=Z:$(tr / '\\' <<<"$SEQUORA_BUILD/$a/program")")
done

# A headless display and a Wine prefix of the bench's own: a test run or scripts/run beside it
# does not share its drives, windows or load. As in the tests, Wine does not wait for a window
# manager there (it would add two seconds to a program each time it hides a window).
export SEQUORA_HEADLESS=1
export WINEPREFIX=$SEQUORA_BUILD/bench-wineprefix
trap stop_all EXIT
start_display
start_wine

bin=$SEQUORA_BUILD/$arch/bench
"$SEQUORA_BUILD/$arch/wine-exec" "$bin/suite_bench.exe" "${bench_args[@]}"
status=$?
if [ "$library" = 1 ]; then
    echo
    echo "The disk library alone:"
    "$SEQUORA_BUILD/$arch/wine-exec" "$bin/tavrin_bench.exe" || status=1
fi
exit $status
