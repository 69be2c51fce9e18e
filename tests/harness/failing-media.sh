# shellcheck shell=bash
# Drives that let a test down, for the script tests on failing media: host folders mounted as a
# small tmpfs (a drive that fills up) or bound read-only onto themselves (a write-protected drive),
# which the test program maps as fake USB drives. Whatever was mounted is unmounted, in reverse
# order, and the folders removed when the script ends. Needs root for the mounts (CI runs as root).
#   . failing-media.sh <test program> <name>
media_program=$1
media_base="$SEQUORA_BUILD_DIR/testdata/$2-$$"
media_mounts=()

media_cleanup() {
    local i
    for ((i = ${#media_mounts[@]} - 1; i >= 0; i--)); do
        if mountpoint -q "${media_mounts[i]}"; then umount "${media_mounts[i]}"; fi
    done
    rm -rf "$media_base"
}
trap media_cleanup EXIT

# A new folder for one drive: prints its path.
media_folder() { mkdir -p "$media_base/$1" && echo "$media_base/$1"; }
# A folder as the test program names it under Wine.
windows_path() { echo "Z:$1" | tr / '\\'; }
# The folder becomes a drive of the given size (tmpfs's size= syntax) that fills up.
make_small() { media_mounts+=("$1"); mount -t tmpfs -o "size=$2" tmpfs "$1"; }
# The folder cannot be written from now on.
write_protect() { media_mounts+=("$1"); mount --bind "$1" "$1"; mount -o remount,bind,ro "$1"; }
# The tests of one filter of the test program, with the environment given before the call.
run() { "$SEQUORA_WINE_EXEC" "$media_program" --gtest_filter="$1"; }
