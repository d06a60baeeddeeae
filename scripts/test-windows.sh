#!/usr/bin/env bash
# The Windows build and its tests: installs what is missing (mingw-w64, wine, the target's
# expat and GoogleTest: scripts/windows-deps.sh), cross-builds into build-win/ with
# cmake/mingw-w64.cmake, and runs the tests under wine through CTest, in a wine prefix of
# its own (build-win/wine). Exits with the tests' status.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
cd "$root"
jobs="${ORVALIS_JOBS:-$(nproc)}"
export ORVALIS_JOBS="$jobs"

step() { echo "== $1 ($(date +%T))"; }

step "packages and target libraries"
"$here/windows-deps.sh" "$root/build-win/deps"

step "configure"
launcher=()
if command -v ccache >/dev/null; then
    # Paths below the checkout hash the same from any clone of it.
    export CCACHE_BASEDIR="$root"
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f build-win/build.ninja ]; then
    cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DORVALIS_WIN_DEPS="$root/build-win/deps" "${launcher[@]}"
fi

step "build"
nice cmake --build build-win -j"$jobs"

# wine keeps its state in a prefix; a private one keeps the tests from sharing the user's,
# and from racing another checkout's. Its first start takes a while, once.
export WINEPREFIX="$root/build-win/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "wine prefix"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi

step "tests"
# One wine server for the whole run: each program then starts in a fraction of the time.
# Its helper processes start here, on no pipe: started by a test, they would hold the
# test's output open for as long as the server lives.
wineserver -p
wine cmd.exe /c ver </dev/null >/dev/null 2>&1 || true
status=0
(cd build-win && ctest --output-on-failure -j"$jobs" --timeout 600) || status=$?
wineserver -k || true
# Gone before the script ends, so a run that follows never meets a server still exiting.
wineserver -w || true
step "done ($status)"
exit "$status"
