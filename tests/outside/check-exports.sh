#!/usr/bin/env bash
# The outside libraries export exactly their names and ordinals, Tavrin.dll carries the
# run-from-swap flag, and every built program binds each library the way it must: Brixom binds
# Tavrin and Quilmar by ordinal and Fennick by name, Lumetta Tavrin by ordinal and Fennick by name,
# Agent Tavrin by name. Programs not built on this branch are reported and skipped.
set -uo pipefail
objdump=${SEQUORA_OBJDUMP:?}
program=${SEQUORA_PROGRAM_DIR:?}
build=${SEQUORA_BUILD_DIR:?}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# "ordinal name" per exported name, sorted by ordinal.
exports_of() {
    "$objdump" -p "$1" | awk '
        /Ordinal Base/ { base = $NF }
        /^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
        inside && /^[ \t]*\[/ { gsub(/[][]/, " "); print $1 + base, $2; next }
        { inside = 0 }' | sort -u | sort -n
}

# How a file imports one DLL: "ordinal", "name", "mixed" or "none".
import_style_of() {
    "$objdump" -p "$1" | awk -v dll="$(tr A-Z a-z <<<"$2")" '
        /DLL Name:/ { current = tolower($3); next }
        /^[ \t]*$/ { current = "" }
        current == dll && /Hint\/Ord/ { next }
        current == dll && /<none>/ { ordinals++; next }
        current == dll && NF >= 3 { names++ }
        END {
            if (ordinals && names) print "mixed"; else if (ordinals) print "ordinal";
            else if (names) print "name"; else print "none" }'
}

check_exports() {
    local file=$program/$1 expected=$2
    [ -f "$file" ] || { fail "$1 was not built"; return; }
    local actual
    actual=$(exports_of "$file")
    if [ "$actual" != "$(sort -n <<<"$expected")" ]; then
        fail "$1 exports differ from what the programs bind"
        diff <(sort -n <<<"$expected") <(echo "$actual") | sed 's/^/    /'
    fi
}

check_exports Tavrin.dll "1 Tavrin_Install
3 Tavrin_IsInstalled
5 Tavrin_CreateImage
7 Tavrin_GetInfo
8 Tavrin_SetInfo
9 Tavrin_Mount
10 Tavrin_Unmount
11 Tavrin_FindFreeDriveLetter
21 Tavrin_GetMountInfo
22 Tavrin_GetMountedMask
23 Tavrin_GetSlotLetter
24 Tavrin_MoveFile"
check_exports Quilmar.dll "1 Quilmar_SetProtection
13 Quilmar_GetProtectedCount
14 Quilmar_GetProtectedEntry
15 Quilmar_StartService
17 Quilmar_IsServiceRunning"
check_exports Fennick.dll "1 Fennick_IsUsbDisk"

if [ -f "$program/Tavrin.dll" ]; then
    headers=$("$objdump" -p "$program/Tavrin.dll")
    grep -q 'copy to swap file if on removable media' <<<"$headers" ||
        fail "Tavrin.dll lacks the removable-media run-from-swap flag"
    # It travels alone onto USB drives: no other library of ours may be needed beside it.
    for dll in Quilmar Fennick; do
        [ "$(import_style_of "$program/Tavrin.dll" $dll.dll)" = none ] || fail "Tavrin.dll imports $dll.dll"
    done
    # ... and it is copied onto every one of them: small.
    size=$(stat -c %s "$program/Tavrin.dll")
    echo "Tavrin.dll: $size bytes"
    [ "$size" -le $((512 * 1024)) ] || fail "Tavrin.dll is over 512 KiB"
fi

# program, then "dll=style" pairs; a DLL not named must not be imported at all.
check_imports() {
    local name=$1
    shift
    local file
    file=$(find "$program" "$build" -path "$build/tests" -prune -o -iname "$name" -type f -print 2>/dev/null | head -n1)
    if [ -z "$file" ]; then
        echo "skipped: $name is not built here"
        return
    fi
    local dll want got
    for dll in Tavrin Quilmar Fennick; do
        want=none
        for pair in "$@"; do
            [ "${pair%%=*}" = "$dll" ] && want=${pair#*=}
        done
        got=$(import_style_of "$file" "$dll.dll")
        [ "$got" = "$want" ] || fail "$name imports $dll.dll by $got, expected $want"
    done
    echo "checked: $name"
}

# The import targets themselves, through the test programs built against them.
check_test_imports() {
    local file=$build/tests/$1
    [ -f "$file" ] || { fail "$1 was not built"; return; }
    [ "$(import_style_of "$file" "$2.dll")" = "$3" ] || fail "$1 does not import $2.dll by $3"
}
check_test_imports test_tavrin.exe Tavrin ordinal
check_test_imports tavrinhelper.exe Tavrin name
check_test_imports test_quilmar.exe Quilmar ordinal
check_test_imports test_fennick.exe Fennick name

check_imports brixom.exe Tavrin=ordinal Quilmar=ordinal Fennick=name
check_imports Lumetta.exe Tavrin=ordinal Fennick=name
check_imports Agent.exe Tavrin=name

[ "$failures" -eq 0 ] && echo "outside libraries: exports and bindings as expected"
exit $((failures > 0))
