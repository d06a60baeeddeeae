#!/usr/bin/env bash
# Makes what the Windows cross build needs: the Debian packages (mingw-w64, its zlib, wine,
# GoogleTest's and nlohmann-json's sources), then expat and GoogleTest built for the target
# from Debian's sources into <prefix> (default build-win/deps). Each step runs only when its
# result is missing, so a second run costs nothing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
prefix="${1:-$root/build-win/deps}"
work="$(dirname "$prefix")/deps-src"
toolchain="$root/cmake/mingw-w64.cmake"
jobs="${ORVALIS_JOBS:-$(nproc)}"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# ---------------------------------------------------------------- packages
PKGS=(
    cmake
    ninja-build
    dpkg-dev
    g++-mingw-w64-x86-64-posix
    libz-mingw-w64-dev
    wine
    wine64
    googletest
    nlohmann-json3-dev
    python3
)
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

mkdir -p "$prefix" "$work"

# ---------------------------------------------------------------- expat
# Debian's source package of the suites the machine installs from (the security suite's
# sources are not served): the bookworm-updates version when there is one, else the newest.
if [ ! -f "$prefix/lib/libexpat.a" ]; then
    if ! apt-cache showsrc expat 2>/dev/null | grep -q '^Version:'; then
        echo "Adding a deb-src entry for expat's sources"
        $SUDO tee /etc/apt/sources.list.d/orvalis-deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
        $SUDO apt-get update -qq
    fi
    version="$(apt-cache madison expat | awk -F'|' '/bookworm-updates.*Sources/ {gsub(/ /,"",$2); print $2; exit}')"
    if [ -z "$version" ]; then
        version="$(apt-cache showsrc expat | awk '/^Version:/ {print $2}' | sort -V | tail -1)"
    fi
    echo "expat $version for the target"
    rm -rf "$work/expat"
    mkdir -p "$work/expat"
    (cd "$work/expat" && apt-get source -qq "expat=$version" >/dev/null 2>&1 ||
        apt-get source -qq "expat=$version")
    src="$(find "$work/expat" -mindepth 1 -maxdepth 1 -type d -name 'expat-*' | head -1)"
    cmake -S "$src/expat" -B "$work/expat/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
        -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF \
        -DEXPAT_BUILD_PKGCONFIG=OFF >/dev/null
    # Debian's security patches test "XML_DTD == 1", as its autotools build defines it; the
    # CMake build defines it empty.
    sed -i 's/^#define XML_DTD *$/#define XML_DTD 1/' "$work/expat/build/expat_config.h"
    cmake --build "$work/expat/build" -j"$jobs" >/dev/null
    cmake --install "$work/expat/build" >/dev/null
    # The library's name follows its build type and character width: one name for FindEXPAT.
    for f in "$prefix"/lib/libexpat*.a; do
        [ "$f" = "$prefix/lib/libexpat.a" ] || cp "$f" "$prefix/lib/libexpat.a"
        break
    done
fi

# ---------------------------------------------------------------- GoogleTest
if [ ! -f "$prefix/lib/libgtest.a" ]; then
    echo "GoogleTest for the target"
    cmake -S /usr/src/googletest -B "$work/googletest" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >/dev/null
    cmake --build "$work/googletest" -j"$jobs" >/dev/null
    cmake --install "$work/googletest" >/dev/null
fi

# ---------------------------------------------------------------- nlohmann-json
# A header library: its headers beside the others of the target (the host's include folder
# must not enter a cross build).
if [ ! -f "$prefix/include/nlohmann/json.hpp" ]; then
    mkdir -p "$prefix/include"
    cp -r /usr/include/nlohmann "$prefix/include/"
fi
