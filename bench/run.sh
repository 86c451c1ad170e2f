#!/bin/sh
# Builds kep_bench and runs it under Wine, in Xvfb when there is no display.
#
#   bench/run.sh            the full table (about a minute; the test pictures
#                           are made once, in the prefix's %TEMP%\kep_bench)
#   bench/run.sh --quick    only the transfers of the 12 MP picture
#
# The build folder is $KEP_BUILD_DIR (default: build/ beside the sources).
# When it has not been configured yet, the benchmark is built on its own in
# a temporary folder, from bench/*.cpp and the framework's transfer code.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
: "${KEP_BUILD_DIR:=$root/build}"
export KEP_BUILD_DIR

if [ -f "$KEP_BUILD_DIR/CMakeCache.txt" ]; then
    cmake --build "$KEP_BUILD_DIR" --target kep_bench
    exe="$KEP_BUILD_DIR/kep_bench.exe"
else
    tmp="${TMPDIR:-/tmp}/kep_bench_build"
    mkdir -p "$tmp/src"
    cat > "$tmp/src/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.20)
project(kep_bench_alone CXX)
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 _MBCS NOMINMAX STRICT)
add_compile_options(-O2 -Wall -Wextra -finput-charset=UTF-8 -fexec-charset=CP932)
file(GLOB BENCH_SOURCES "$root/bench/*.cpp")
add_executable(kep_bench \${BENCH_SOURCES} "$root/framework/ParallelogramBlt.cpp")
target_include_directories(kep_bench PRIVATE "$root" "$root/framework")
target_link_libraries(kep_bench PRIVATE -static gdiplus gdi32 user32 msimg32)
EOF
    cmake -S "$tmp/src" -B "$tmp/build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$tmp/build"
    exe="$tmp/build/kep_bench.exe"
fi

xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT INT TERM
if [ -z "$DISPLAY" ]; then
    if [ ! -e /tmp/.X97-lock ]; then
        Xvfb :97 -screen 0 1920x1080x24 >/dev/null 2>&1 &
        xvfb_pid=$!
        i=0
        while [ ! -e /tmp/.X11-unix/X97 ] && [ $i -lt 50 ]; do
            sleep 0.1
            i=$((i + 1))
        done
    fi
    export DISPLAY=:97
fi

"$root/cmake/wine-run.sh" "$exe" "$@"
