# Shared set-up of run.sh and test.sh: packages, build, Wine prefix, display.
# Sourced, not run. Everything lives in the build folder; the user's own Wine
# prefix is never touched.

KEP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KEP_BUILD_DIR=${KEP_BUILD_DIR:-$KEP_ROOT/build}
export KEP_BUILD_DIR
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

kep_log() { echo "[kep] $*" >&2; }

# Installs what is missing on a fresh Debian machine.
kep_install_packages() {
    local missing=() lean=()
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix mingw-w64-tools)
    command -v cmake >/dev/null || missing+=(cmake)
    [ -x "$WINE64" ] || missing+=(wine64 wine)
    command -v Xvfb >/dev/null || missing+=(xvfb xauth)
    command -v xdotool >/dev/null || missing+=(xdotool)
    command -v xwd >/dev/null || missing+=(x11-apps)
    { command -v convert >/dev/null && convert -version 2>/dev/null | grep ImageMagick >/dev/null; } || missing+=(imagemagick)
    dpkg -s fonts-noto-cjk >/dev/null 2>&1 || missing+=(fonts-noto-cjk)
    # The stand-ins for the Japanese Windows fonts in the Wine prefixes (kep_map_fonts).
    dpkg -s fonts-ipafont-gothic >/dev/null 2>&1 || missing+=(fonts-ipafont-gothic)
    dpkg -s fonts-ipafont-mincho >/dev/null 2>&1 || missing+=(fonts-ipafont-mincho)
    # The help compiler (chmcmd) and a reader to check what it wrote (enum_chmLib).
    command -v chmcmd >/dev/null || lean+=(fp-utils)
    command -v enum_chmLib >/dev/null || missing+=(libchm-bin)
    [ -d /usr/src/googletest ] || missing+=(googletest)
    command -v zip >/dev/null || missing+=(zip)
    command -v clang-format >/dev/null || missing+=(clang-format)
    command -v JxrEncApp >/dev/null || missing+=(libjxr-tools)
    command -v locale-gen >/dev/null || missing+=(locales)
    # The X drag-and-drop source of the end-to-end tests runs on the system python.
    [ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import Xlib' 2>/dev/null || missing+=(python3 python3-xlib)
    if [ ${#missing[@]} -gt 0 ] || [ ${#lean[@]} -gt 0 ]; then
        kep_log "installing: ${missing[*]} ${lean[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo=sudo
        $sudo apt-get update -qq
        if [ ${#missing[@]} -gt 0 ]; then
            DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
        fi
        # Without their recommendations: the help compiler would bring a whole
        # Pascal compiler.
        if [ ${#lean[@]} -gt 0 ]; then
            DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${lean[@]}" >/dev/null
        fi
    fi
    if ! locale -a 2>/dev/null | grep -i "^ja_JP.utf8$" >/dev/null; then
        kep_log "generating the ja_JP.UTF-8 locale"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo=sudo
        $sudo sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
        $sudo locale-gen >/dev/null
    fi
}

# Configures (once, as KEP_BUILD_TYPE, RelWithDebInfo when unset) and builds
# the given targets (all when none are given).
kep_build() {
    if [ ! -f "$KEP_BUILD_DIR/CMakeCache.txt" ]; then
        # A compiler cache, when the machine has one, makes rebuilds cheap.
        local launcher=()
        command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        cmake -S "$KEP_ROOT" -B "$KEP_BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$KEP_ROOT/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE="${KEP_BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" >/dev/null
    fi
    local targets=()
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build "$KEP_BUILD_DIR" -j"$(nproc)" "${targets[@]}"
}

# Creates the Wine prefix $1 once, without installer pop-ups. With $2 = unmanaged,
# Wine draws its own window captions (needed without a window manager).
kep_prefix() {
    local prefix=$1 mode=${2:-}
    export WINEPREFIX=$prefix LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
    if [ ! -f "$prefix/system.reg" ]; then
        kep_log "creating the Wine prefix $prefix"
        mkdir -p "$prefix"
        DISPLAY= "$WINE64" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w
    fi
    if [ "$mode" = unmanaged ] && ! grep -q '"Managed"="N"' "$prefix/user.reg" 2>/dev/null; then
        DISPLAY= "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        "$WINESERVER" -w
    fi
    kep_map_fonts "$prefix"
}

# The Japanese Windows fonts that dialog templates and the system name, each
# with the installed IPA font of the same metrics (proportional or fixed,
# gothic or mincho). MS UI Gothic is what "MS Shell Dlg" stands for in a
# Japanese prefix.
KEP_FONT_REPLACEMENTS=(
    "ＭＳ Ｐゴシック=IPAPGothic" "MS PGothic=IPAPGothic"
    "ＭＳ ゴシック=IPAGothic" "MS Gothic=IPAGothic"
    "MS UI Gothic=IPAPGothic"
    "ＭＳ Ｐ明朝=IPAPMincho" "MS PMincho=IPAPMincho"
    "ＭＳ 明朝=IPAMincho" "MS Mincho=IPAMincho"
)

# A prefix lacks the Japanese Windows fonts, and the font Wine takes in their
# place is wider, so the dialogs' labels are cut off. Wine's font replacements
# give each name the IPA font of the same metrics. Applied once per prefix (and
# again when the list changes): a stamp in the prefix holds the list applied.
kep_map_fonts() {
    local prefix=$1 wanted
    wanted=$(printf '%s\n' "${KEP_FONT_REPLACEMENTS[@]}")
    [ "$(cat "$prefix/.kep-fonts" 2>/dev/null)" = "$wanted" ] && return 0
    local reg pair
    reg=$(mktemp "${TMPDIR:-/tmp}/kep-fonts.XXXXXX")
    # regedit reads a UTF-16 file (with its byte-order mark) whatever the code page.
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        for pair in "${KEP_FONT_REPLACEMENTS[@]}"; do
            printf '"%s"="%s"\r\n' "${pair%%=*}" "${pair#*=}"
        done
    } | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$reg"
    DISPLAY= "$WINE64" regedit /s "$(kep_winpath "$reg")" >/dev/null 2>&1
    "$WINESERVER" -w
    rm -f "$reg"
    grep -F '"MS PGothic"="IPAPGothic"' "$prefix/user.reg" >/dev/null || { kep_log "cannot map the fonts in $prefix"; return 1; }
    echo "$wanted" >"$prefix/.kep-fonts"
}

# Starts the prefix's wineserver for good, with Wine's own background
# processes (services, devices) detached from our output: a process started
# later under a pipe (ctest reading a test's output) would otherwise hand the
# pipe on to them, and the reader would wait for its end forever.
kep_start_wine() {
    "$WINESERVER" -p
    "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

kep_stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
}

# Starts Xvfb on a free display and exports DISPLAY; KEP_XVFB_PID names it.
kep_start_xvfb() {
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
    KEP_XVFB_PID=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do
        [ -e /tmp/.X11-unix/X$n ] && return 0
        sleep 0.1
    done
    kep_log "Xvfb did not start"
    return 1
}

kep_stop_xvfb() {
    [ -n "${KEP_XVFB_PID:-}" ] && kill "$KEP_XVFB_PID" 2>/dev/null
    wait "${KEP_XVFB_PID:-}" 2>/dev/null || true
    KEP_XVFB_PID=
}

# A Linux path as the program sees it under Wine (drive Z: is the root).
kep_winpath() {
    local abs
    abs=$(realpath -m -- "$1")
    echo "Z:${abs//\//\\}"
}
