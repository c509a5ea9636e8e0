#!/usr/bin/env bash
# Builds static libpng and libjpeg for 32-bit MinGW from Debian's own sources, into a prefix
# of the build folder. Debian's JUCE leaves out the copies JUCE bundles and Debian ships no
# MinGW builds of these two; zlib comes from libz-mingw-w64-dev.
#
#   cmake/build-mingw-image-libs.sh <prefix> <work folder>
#
# Needs a deb-src entry for the Debian archive (apt-get source) and dpkg-dev.
set -euo pipefail

prefix=$(realpath -m "$1")
work=$(realpath -m "$2")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
toolchain="$here/mingw-w64-i686.cmake"
stamp="$prefix/.built"

[ -f "$stamp" ] && [ "$stamp" -nt "$0" ] && exit 0

rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
apt-get source -qq libpng1.6 libjpeg-turbo >/dev/null 2>&1 \
    || { echo "apt-get source failed: add a deb-src entry (./tarnwell build-win32 does)" >&2; exit 1; }

build() { # source folder, cmake arguments...
    local src=$1; shift
    cmake -S "$src" -B "$src/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_POSITION_INDEPENDENT_CODE=OFF -Wno-dev "$@" >/dev/null
    cmake --build "$src/build" --parallel "$(nproc)" >/dev/null
    cmake --install "$src/build" >/dev/null
}

# No SIMD: it would need nasm, and the plug-in decodes one small picture.
build "$(echo libjpeg-turbo-*/)" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_SIMD=OFF -DWITH_JAVA=OFF
# JUCE asks for JPEG_INTERNALS, as Debian's libjpeg-dev allows by shipping this header too.
cp libjpeg-turbo-*/jpegint.h "$prefix/include/"
# JUCE includes jpeglib.h inside a namespace after windows.h, whose global "boolean" would
# otherwise stop jconfig.h from declaring the library's own (the same unsigned char).
sed -i '/^#ifndef __RPCNDR_H__/{N;N;s/^#ifndef __RPCNDR_H__[^\n]*\n\(typedef unsigned char boolean;\)\n#endif/\1/}' \
    "$prefix/include/jconfig.h"
build "$(echo libpng1.6-*/)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_INCLUDE_DIR=/usr/i686-w64-mingw32/include \
    -DZLIB_LIBRARY=/usr/i686-w64-mingw32/lib/libz.a

touch "$stamp"
