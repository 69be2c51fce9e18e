#!/usr/bin/env bash
# A read-only disk refuses every write to its letter, for every user but root: Wine turns the
# library's rule into Unix permissions, which refuse root nothing. The runs as root cannot see the
# refusal, so the tests that check it run here as an ordinary user ("nobody"), in a Wine prefix of
# that user's own on the test display.
#   read-only-as-a-user.sh <test program> <filter> [<test program> <filter>...]
# The checkout may lie where that user cannot go (a clone under /root, mode 700), so the user runs
# copies: of the harness script and the scripts it sources, of the test programs and their helpers
# and of the program folder, laid out as in the build, in a temporary folder of the user's own.
set -euo pipefail
user=nobody
if [ "$(id -u)" -ne 0 ]; then
    run_as() { "$@"; }
else
    run_as() { setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups -- "$@"; }
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/sequora-as-a-user.XXXXXX")
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
build=$work/build
mkdir -p "$work/source/tests/harness" "$work/source/scripts" "$build/tests" "$work/testdata"
cp "$SEQUORA_SOURCE_DIR/tests/harness/with-fresh-prefix" "$work/source/tests/harness/"
cp "$SEQUORA_SOURCE_DIR/scripts/lib.sh" "$work/source/scripts/"
cp -r "$SEQUORA_BUILD_DIR/program" "$build/"
# The test programs' helpers and files beside them (fakes, helper programs, Agent.ini); the other
# test programs stay behind.
for file in "$SEQUORA_BUILD_DIR"/tests/*; do
    [ -f "$file" ] || continue
    case $(basename "$file") in
        test_*.exe) ;;
        *) cp "$file" "$build/tests/" ;;
    esac
done
# The build's Wine runner, pointed at the copied program folder.
sed "s|$SEQUORA_BUILD_DIR/program|$build/program|g" "$SEQUORA_WINE_EXEC" >"$build/wine-exec"
chmod 755 "$build/wine-exec"
args=("$@")
while [ ${#args[@]} -ge 2 ]; do
    cp "${args[0]}" "$build/tests/"
    args=("${args[@]:2}")
done
[ "$(id -u)" -ne 0 ] || chown -R "$user:$(id -g "$user")" "$work"
[ "$(run_as id -u)" -ne 0 ] || { echo "the checks must not run as root"; exit 1; }
status=0
while [ $# -ge 2 ]; do
    program=$build/tests/$(basename "$1") filter=$2
    shift 2
    run_as env HOME="$work" SEQUORA_BUILD_DIR="$build" USER="$user" \
        SEQUORA_TEST_DATA="Z:$(tr / '\\' <<<"$work/testdata")" \
        bash "$work/source/tests/harness/with-fresh-prefix" "$work/prefix" \
        "$build/wine-exec" "$program" --gtest_filter="$filter" || status=1
done
exit $status
