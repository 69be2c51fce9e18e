# Shared by scripts/test and scripts/run: packages, the build, the X display and the Wine prefix.
# shellcheck shell=bash

SEQUORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SEQUORA_BUILD=${SEQUORA_BUILD:-$SEQUORA_ROOT/build}
SEQUORA_ARCHES=${SEQUORA_ARCHES:-"i686 x86_64"}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko download prompts, no desktop menu entries written into the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

SEQUORA_PACKAGES=(cmake ninja-build g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 googletest wine wine64 wine32:i386
    xvfb xauth x11-utils imagemagick procps locales fonts-wine fonts-liberation)

# Installs whatever of the packages above is missing (needs root on a fresh Debian 12).
install_packages() {
    local missing=() p
    for p in "${SEQUORA_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures and builds one architecture: build_arch i686|x86_64. Its tests run in a Wine prefix of
# its own, build/<arch>/wineprefix, so both architectures' tests can run at the same time.
build_arch() {
    local arch=$1 dir=$SEQUORA_BUILD/$1
    # Configured every time (it is quick): a folder that gained its first CMakeLists.txt is then
    # taken in, which a plain rebuild would not notice.
    cmake -S "$SEQUORA_ROOT" -B "$dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$SEQUORA_ROOT/cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DSEQUORA_WINEPREFIX="$dir/wineprefix" >/dev/null || return 1
    cmake --build "$dir"
}

# The faces the programs ask for by name, as a Windows machine has them: Wine's own Tahoma, MS Sans
# Serif and Marlett (Debian keeps them in Wine's data folder, where the 64-bit loader the scripts
# start does not look), copied into the prefix's C:\windows\Fonts, and the Arial, Times New Roman
# and Courier New names led to the fonts drawn to their metrics. Without them every face falls back
# to one wider, taller face and Marlett's pictures show as letters. For the prefix in $WINEPREFIX,
# once; its server need not run.
SEQUORA_WINE_FONTS=/usr/share/wine/fonts
install_windows_fonts() {
    [ -f "$WINEPREFIX/.sequora-fonts" ] && return 0
    if [ ! -f "$SEQUORA_WINE_FONTS/tahoma.ttf" ] || [ ! -f "$SEQUORA_WINE_FONTS/marlett.ttf" ]; then
        echo "Wine's own fonts are missing from $SEQUORA_WINE_FONTS (package fonts-wine)" >&2
        return 1
    fi
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    mkdir -p "$fonts"
    cp "$SEQUORA_WINE_FONTS"/*.ttf "$SEQUORA_WINE_FONTS"/*.fon "$fonts"/ || return 1
    # Microsoft Sans Serif is the outline successor of MS Sans Serif, drawn to its metrics.
    local substitutes=$WINEPREFIX/drive_c/windows/temp/sequora-fonts.reg
    mkdir -p "$(dirname "$substitutes")"
    printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
        '"Arial"="Liberation Sans"' '"Times New Roman"="Liberation Serif"' '"Courier New"="Liberation Mono"' \
        '"Microsoft Sans Serif"="MS Sans Serif"' >"$substitutes"
    local view
    for view in 64 32; do
        "$SEQUORA_WINE" reg import 'C:\windows\temp\sequora-fonts.reg' /reg:$view >/dev/null 2>&1 || return 1
    done
    rm -f "$substitutes"
    touch "$WINEPREFIX/.sequora-fonts"
}

# Some hosts cannot start 32-bit Linux programs (a sandbox without 32-bit support), so Wine's
# 32-bit loader cannot run there; the 64-bit loader still runs 64-bit Windows programs.
host_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if host_runs_32bit; then
    SEQUORA_WINE=wine
else
    SEQUORA_WINE=/usr/lib/wine/wine64
    export WINELOADER=/usr/lib/wine/wine64
fi

# The architectures whose tests can run on this host.
runnable_arches() {
    local arch out=""
    for arch in $SEQUORA_ARCHES; do
        if [ "$arch" = x86_64 ] || host_runs_32bit; then out="$out $arch"; fi
    done
    echo "$out"
}

SEQUORA_XVFB_PID=""
SEQUORA_WINESERVER_PID=""

# Uses the caller's display when there is one, else starts a headless one.
start_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${SEQUORA_HEADLESS:-0}" != 1 ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp 7>"$fdfile" >/dev/null 2>&1 &
    SEQUORA_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
    export SEQUORA_HEADLESS=1
}

# Makes the shared test prefix once (a new prefix costs some seconds) and keeps one wineserver
# running for the whole session so that each program starts quickly.
start_wine() {
    export WINEPREFIX=${WINEPREFIX:-$SEQUORA_BUILD/wineprefix}
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/.sequora-ready" ]; then
        echo "Making the Wine prefix $WINEPREFIX"
        "$SEQUORA_WINE" wineboot -i >/dev/null 2>&1
        # A crashing program must end, not wait for someone to close the debugger's dialog.
        "$SEQUORA_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        touch "$WINEPREFIX/.sequora-ready"
        # The prefix's making started Wine's background processes (the desktop and its tray among
        # them); they end here, so that they start again below with the settings made after them.
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi
    wineserver -f -p >/dev/null 2>&1 &
    SEQUORA_WINESERVER_PID=$!
    # No window manager runs on a headless display: Wine need not wait for one to take each window
    # in and let it go again (a second or two per window shown and closed, or per call into the
    # shell's tray). On a user's display the window manager takes Wine's windows as usual. Set
    # before the background processes start, which read it once.
    if [ "${SEQUORA_HEADLESS:-0}" = 1 ]; then
        "$SEQUORA_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    else
        "$SEQUORA_WINE" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
    fi
    install_windows_fonts || return 1
    # Start Wine's own background processes now, detached from any test's output: a test program
    # that started them would leave them holding its output pipe, and ctest would wait for them.
    "$SEQUORA_WINE" wineboot >/dev/null 2>&1 </dev/null
}

stop_all() {
    if [ -n "$SEQUORA_WINESERVER_PID" ]; then
        WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
        kill "$SEQUORA_WINESERVER_PID" 2>/dev/null || true
        wait "$SEQUORA_WINESERVER_PID" 2>/dev/null || true
    fi
    if [ -n "$SEQUORA_XVFB_PID" ]; then
        kill "$SEQUORA_XVFB_PID" 2>/dev/null || true
        wait "$SEQUORA_XVFB_PID" 2>/dev/null || true
    fi
}
