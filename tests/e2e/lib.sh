# Shared helpers of the end-to-end scripts (tests/e2e/*_test.sh): they start
# real kep.exe processes under Wine on the X display and drive them as a user
# would (xdotool, X drag and drop). Sourced, not run.
#
# Needs: KEP_BUILD_DIR (kep.exe and its Wine prefix), KEP_SOURCE_DIR, DISPLAY
# (an Xvfb; no window manager, the prefix with Managed=N), xdotool, ImageMagick,
# /usr/bin/python3 with python3-xlib, x86_64-w64-mingw32-gcc-posix.
#
# A script calls e2e_begin first; the exit trap then closes every KEP window
# that the script caused, waits for those processes, removes the stored
# settings and the script's temporary folder. A script that sets E2E_PREFIX
# before e2e_begin runs in that Wine prefix (made ready by the script) with a
# wineserver of its own, ended with the script.

set -u

E2E_NAME=$(basename "${0%_test.sh}")
E2E_WINE64=/usr/lib/wine/wine64
E2E_PYTHON=/usr/bin/python3
E2E_TMP=
E2E_BASELINE=""       # kep.exe processes (Windows ids) from before the script: left alone
E2E_PIDS=()           # kep.exe processes started by the script (Unix ids)
E2E_BUTTON_DOWN=0
# Every wait of a script (a window, a title, a process's end, a pointer
# move, a state) may take this many seconds, counted from its own start, so
# that a slow step on a loaded machine does not eat the time of the next.
E2E_STEP_SECONDS=${E2E_STEP_SECONDS:-20}
E2E_PREFIX=${E2E_PREFIX:-}

e2e_log() { echo "[$E2E_NAME] $*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    exit 1
}

# --- environment ---------------------------------------------------------

e2e_check_environment() {
    : "${KEP_BUILD_DIR:?KEP_BUILD_DIR must name the build folder}"
    : "${KEP_SOURCE_DIR:?KEP_SOURCE_DIR must name the source folder}"
    [ -n "${DISPLAY:-}" ] || e2e_fail "DISPLAY is not set (run through ./test.sh, which starts Xvfb)"
    [ -f "$KEP_BUILD_DIR/kep.exe" ] || e2e_fail "no $KEP_BUILD_DIR/kep.exe"
    command -v xdotool >/dev/null || e2e_fail "xdotool is missing"
    command -v convert >/dev/null || e2e_fail "ImageMagick (convert) is missing"
    "$E2E_PYTHON" -c 'import Xlib' 2>/dev/null || e2e_fail "python3-xlib is missing for $E2E_PYTHON"
    # The same Wine environment as cmake/wine-run.sh, for processes started
    # in the background.
    export WINEPREFIX="${E2E_PREFIX:-$KEP_BUILD_DIR/wineprefix}"
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
}

# The settings folder of the program: beside kep.exe, named after the user.
e2e_settings_dir() { echo "$KEP_BUILD_DIR/$(id -un)"; }

e2e_remove_settings() {
    local dir
    dir=$(e2e_settings_dir)
    rm -f "$dir/wndset.def" "$dir/history.def"
}

# --- the Windows helper (tests/e2e/tools/kepctl.c) ------------------------

E2E_CTL=

e2e_build_ctl() {
    local src="$KEP_SOURCE_DIR/tests/e2e/tools/kepctl.c"
    local dir="$KEP_BUILD_DIR/e2e-tools"
    E2E_CTL="$dir/kepctl.exe"
    if [ ! -f "$E2E_CTL" ] || [ "$src" -nt "$E2E_CTL" ]; then
        mkdir -p "$dir"
        local tmp="$dir/kepctl.$$.exe"
        x86_64-w64-mingw32-gcc-posix -O2 -Wall -static -o "$tmp" "$src" -lgdi32 \
            || e2e_fail "cannot build kepctl"
        mv -f "$tmp" "$E2E_CTL"
    fi
}

# Runs kepctl with the arguments; its output goes through a file, never a
# pipe that Wine's background processes could inherit.
e2e_ctl() {
    "$KEP_SOURCE_DIR/cmake/wine-run.sh" "$E2E_CTL" "$@"
}

# One line of `kepctl list` per frame: hwnd xwin pid visible
# wl wt wr wb vl vt vr vb title.
e2e_frames() { e2e_ctl list; }

# Frames of the processes that the script caused (not in the baseline).
e2e_new_frames() {
    e2e_frames | awk -v keep=" $E2E_BASELINE " 'index(keep, " " $3 " ") == 0'
}

# The kep.exe processes (Windows ids, one a line) that the script caused.
e2e_new_pids() {
    e2e_ctl pids | tr -d '\r' | awk -v keep=" $E2E_BASELINE " 'index(keep, " " $1 " ") == 0'
}

# The `kepctl list` line of the frame whose X window is $1 (empty if none).
e2e_frame_line() {
    e2e_frames | awk -v x="$1" '$2 == x { print; exit }'
}

# Fields of a frame line: e2e_field LINE N (1-based, as awk counts).
e2e_field() { echo "$1" | awk -v n="$2" '{ print $n }'; }

# Middle of the view of frame line $1, as "X Y" in screen pixels.
e2e_view_centre() {
    echo "$1" | awk '{ printf "%d %d\n", ($9 + $11) / 2, ($10 + $12) / 2 }'
}

# Size of the view of frame line $1, as "WxH".
e2e_view_size() {
    echo "$1" | awk '{ printf "%dx%d\n", $11 - $9, $12 - $10 }'
}

# Top-left corner of the frame window of line $1, as "X Y".
e2e_frame_pos() {
    echo "$1" | awk '{ print $5, $6 }'
}

e2e_post() {
    e2e_ctl post "$1" "$2" || e2e_fail "cannot post command $2 to X window $1"
}

# --- files ---------------------------------------------------------------

# A Linux path as the program sees it under Wine (drive Z: is the root).
e2e_winpath() {
    local abs
    abs=$(realpath -m -- "$1")
    echo "Z:${abs//\//\\}"
}

# An extended regular expression (as xdotool takes) matching $1 literally.
e2e_regex_quote() {
    printf '%s' "$1" | sed 's/[][\.^$*+?(){}|/]/\\&/g'
}

# The title of a frame showing the Linux file $1.
e2e_title_of() { echo "KEP - $(e2e_winpath "$1")"; }

# e2e_image PATH WIDTH HEIGHT COLOUR: a plain picture; the format follows the
# file name's extension.
e2e_image() {
    mkdir -p "$(dirname "$1")"
    convert -size "$2x$3" "xc:$4" "$1" || e2e_fail "cannot make $1"
}

# --- processes and windows -------------------------------------------------

# e2e_start_program EXE [ARG...]: starts a copy of the program (a Linux path)
# in the background with the given arguments; sets E2E_PID.
e2e_start_program() {
    local exe=$1 log="$E2E_TMP/kep.${#E2E_PIDS[@]}.log"
    shift
    "$E2E_WINE64" "$exe" "$@" </dev/null >"$log" 2>&1 &
    E2E_PID=$!
    E2E_PIDS+=("$E2E_PID")
}

# Starts kep.exe in the background with the given arguments; sets E2E_PID.
e2e_start_kep() { e2e_start_program "$KEP_BUILD_DIR/kep.exe" "$@"; }

# True while the process $1 (a child of this shell) has not ended.
e2e_alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "${state#Z}" = "$state" ]
}

e2e_ended() { ! e2e_alive "$1"; }

# Microseconds of the wall clock.
e2e_now_us() { echo "${EPOCHREALTIME//[.,]/}"; }

# e2e_wait_for [SECONDS] COMMAND...: runs the command until it succeeds, every
# 0.1 s, for SECONDS (E2E_STEP_SECONDS when not given); fails when the time
# is over. The one polling loop of the scripts: every wait goes through it.
e2e_wait_for() {
    local budget=$E2E_STEP_SECONDS
    if [[ $1 =~ ^[0-9]+$ ]]; then
        budget=$1
        shift
    fi
    local end=$(($(e2e_now_us) + budget * 1000000))
    until "$@"; do
        [ "$(e2e_now_us)" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# e2e_wait_exit PID [SECONDS]: waits for the child to end and sets E2E_STATUS
# to its exit status; fails when it still runs after SECONDS. (Not to be
# called in a subshell, which cannot wait for this shell's children.)
e2e_wait_exit() {
    e2e_wait_for ${2:+"$2"} e2e_ended "$1" || return 1
    wait "$1" 2>/dev/null
    E2E_STATUS=$?
}

# Sets E2E_FOUND to the first visible window that matches the xdotool search
# arguments (all the conditions).
e2e_find_window() {
    E2E_FOUND=$(xdotool search --all --onlyvisible "$@" 2>/dev/null | head -n 1)
    [ -n "$E2E_FOUND" ]
}

# e2e_wait_window [SECONDS] XDOTOOL-SEARCH-ARGS...: the first visible window
# that matches, printed as its X id.
e2e_wait_window() {
    local budget=()
    if [[ $1 =~ ^[0-9]+$ ]]; then
        budget=("$1")
        shift
    fi
    e2e_wait_for "${budget[@]}" e2e_find_window "$@" || return 1
    echo "$E2E_FOUND"
}

# e2e_wait_title [SECONDS] TITLE: the visible window titled exactly TITLE.
e2e_wait_title() {
    local budget=()
    if [ $# -gt 1 ]; then
        budget=("$1")
        shift
    fi
    e2e_wait_window "${budget[@]}" --name "^$(e2e_regex_quote "$1")\$"
}

# Input sent at once to a window that has just appeared can be lost.
e2e_settle() { sleep 0.5; }

# e2e_show FILE: starts kep.exe on the Linux file FILE and waits until its
# window shows it, ready for input; sets E2E_PID and E2E_WIN (its X window).
e2e_show() {
    e2e_start_kep "$(e2e_winpath "$1")"
    E2E_WIN=$(e2e_wait_title "$(e2e_title_of "$1")") || e2e_fail "the window did not show $1"
    e2e_settle
}

# --- input -----------------------------------------------------------------

# e2e_drop XWIN X Y FILE...: drops the Linux files on X window XWIN at the
# screen point, as a file manager does.
e2e_drop() {
    local win=$1 x=$2 y=$3
    shift 3
    "$E2E_PYTHON" "$KEP_SOURCE_DIR/tools/xdnd_drop.py" --at "$x" "$y" "$win" "$@" \
        || e2e_fail "the drop on window $win at $x,$y failed"
}

# True when the pointer is at the screen point X Y.
e2e_mouse_at() {
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell 2>/dev/null)"
    [ "${X:-}" = "$1" ] && [ "${Y:-}" = "$2" ]
}

# e2e_mouse_to X Y: moves the pointer and waits until it is there.
e2e_mouse_to() {
    xdotool mousemove "$1" "$2"
    e2e_wait_for e2e_mouse_at "$1" "$2" || e2e_fail "the pointer did not reach $1,$2"
}

e2e_mouse_down() { xdotool mousedown 1; E2E_BUTTON_DOWN=1; }
e2e_mouse_up() { xdotool mouseup 1; E2E_BUTTON_DOWN=0; }

# --- set-up and clean-up ----------------------------------------------------

e2e_begin() {
    e2e_check_environment
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kep-e2e-$E2E_NAME.XXXXXX")
    trap e2e_end EXIT
    if [ -n "$E2E_PREFIX" ]; then
        /usr/lib/wine/wineserver -p
        # Wine's background processes start here, detached from our output.
        "$E2E_WINE64" cmd /c exit </dev/null >/dev/null 2>&1
    fi
    e2e_build_ctl
    E2E_BASELINE=$(e2e_ctl pids | tr -d '\r' | tr '\n' ' ')
    e2e_remove_settings
}

e2e_end() {
    local status=$? pid
    trap - EXIT
    [ "$E2E_BUTTON_DOWN" = 1 ] && xdotool mouseup 1
    if [ $status -ne 0 ] && command -v xwd >/dev/null; then
        local shot="$KEP_BUILD_DIR/e2e-shots/$E2E_NAME.png"
        mkdir -p "$(dirname "$shot")"
        xwd -root | convert xwd:- "$shot" 2>/dev/null && e2e_log "screen at the failure: $shot"
    fi
    if [ $status -ne 0 ] && [ -n "$E2E_TMP" ]; then
        local log
        for log in "$E2E_TMP"/kep.*.log; do
            [ -s "$log" ] && { e2e_log "output of $(basename "$log"):"; tail -n 20 "$log" >&2; }
        done
    fi
    if [ -n "$E2E_CTL" ] && [ -f "$E2E_CTL" ]; then
        # shellcheck disable=SC2086
        e2e_ctl close-others $E2E_BASELINE || { e2e_log "a KEP process did not exit when asked"; status=1; }
    fi
    for pid in "${E2E_PIDS[@]}"; do
        if ! e2e_wait_exit "$pid" 5; then
            e2e_log "kep.exe ($pid) still runs; ending it"
            kill "$pid" 2>/dev/null
            status=1
        fi
    done
    e2e_remove_settings
    [ -n "$E2E_TMP" ] && rm -rf "$E2E_TMP"
    [ -n "$E2E_PREFIX" ] && /usr/lib/wine/wineserver -k 2>/dev/null
    [ $status -eq 0 ] && e2e_log "passed"
    exit $status
}
