#!/usr/bin/env bash
# Builds static libpng, libjpeg and expat from Debian's own sources into a prefix of the build
# folder: for MinGW (32- or 64-bit, after the toolchain file), where Debian's JUCE has no bundled
# copies and Debian ships no MinGW builds of these, and for Linux ("native"), so that the
# plug-ins need no libpng, libjpeg or libexpat of the user's distribution, whose names and
# versions differ. zlib stays the system's: libz-mingw-w64-dev on Windows, a shared library every distribution has on Linux.
#
#   cmake/build-image-libs.sh <toolchain file | native> <prefix> <work folder>
#
# Needs a deb-src entry for the Debian archive (apt-get source) and dpkg-dev.
set -euo pipefail

prefix=$(realpath -m "$2")
work=$(realpath -m "$3")
stamp="$prefix/.built"
if [ "$1" = native ]; then
    toolchain=() zlib=() pic=ON
    [ -f "$stamp" ] && [ "$stamp" -nt "$0" ] && exit 0
else
    toolchain_file=$(realpath "$1")
    toolchain=(-DCMAKE_TOOLCHAIN_FILE="$toolchain_file")
    triple=$(sed -n 's/^set(TARNWELL_MINGW_TRIPLE \(.*\))$/\1/p' "$toolchain_file")
    if [ -n "$triple" ]; then
        zlib=(-DZLIB_INCLUDE_DIR="/usr/$triple/include" -DZLIB_LIBRARY="/usr/$triple/lib/libz.a")
        pic=OFF
    else
        # A portable Linux build (cmake/debian11-*.cmake): zlib from its tree, code for a plug-in.
        zlib=() pic=ON
    fi
    [ -f "$stamp" ] && [ "$stamp" -nt "$0" ] && [ "$stamp" -nt "$toolchain_file" ] && exit 0
fi

rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
apt-get source -qq libpng1.6 libjpeg-turbo expat >/dev/null 2>&1 \
    || { echo "apt-get source failed: add a deb-src entry (./tarnwell does)" >&2; exit 1; }

build() { # source folder, cmake arguments...
    local src=$1; shift
    cmake -S "$src" -B "$src/build" -G Ninja "${toolchain[@]}" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR="$prefix/lib" \
        -DCMAKE_POSITION_INDEPENDENT_CODE=$pic -Wno-dev "$@" >/dev/null
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
    "${zlib[@]}"
# The saved-settings reader's tokeniser (in the folder expat/ of Debian's source); users of
# the static library define XML_STATIC. Debian's security fixes test "XML_DTD == 1", as its
# autotools build defines it; the CMake template defines it empty.
sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' expat-*/expat/expat_config.h.cmake
build "$(echo expat-*/)expat" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF

touch "$stamp"
