#!/usr/bin/env bash
# A read-only disk refuses every write to its letter, for every user but root: Wine turns the
# library's rule into Unix permissions, which refuse root nothing. The runs as root cannot see the
# refusal, so the tests that check it run here as an ordinary user ("nobody"), in a Wine prefix of
# that user's own on the test display.
#   read-only-as-a-user.sh <test program> <filter> [<test program> <filter>...]
set -euo pipefail
user=nobody
work=$SEQUORA_BUILD_DIR/testdata/read-only-as-a-user
if [ "$(id -u)" -ne 0 ]; then
    run_as() { "$@"; }
else
    run_as() { setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups -- "$@"; }
fi
mkdir -p "$work/testdata"
# The prefix made once for this user is kept beside the build's other test data (making one costs
# some seconds); each run starts from a copy of it.
[ "$(id -u)" -ne 0 ] || chown -R "$user:$(id -g "$user")" "$work"
[ "$(run_as id -u)" -ne 0 ] || { echo "the checks must not run as root"; exit 1; }
status=0
while [ $# -ge 2 ]; do
    program=$1 filter=$2
    shift 2
    run_as env HOME="$work" SEQUORA_BUILD_DIR="$work" USER="$user" \
        SEQUORA_TEST_DATA="Z:$(tr / '\\' <<<"$work/testdata")" \
        bash "$SEQUORA_SOURCE_DIR/tests/harness/with-fresh-prefix" "$work/prefix" \
        "$SEQUORA_WINE_EXEC" "$program" --gtest_filter="$filter" || status=1
done
exit $status
