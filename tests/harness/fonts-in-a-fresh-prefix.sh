#!/usr/bin/env bash
# The fonts test in a brand-new prefix ("another computer"), which is then removed.
#   fonts-in-a-fresh-prefix.sh <test program>
set -euo pipefail
prefix=$SEQUORA_BUILD_DIR/testdata/fonts-prefix
trap 'rm -rf "$prefix"' EXIT
bash "$SEQUORA_SOURCE_DIR/tests/harness/with-fresh-prefix" "$prefix" "$SEQUORA_WINE_EXEC" "$1"
