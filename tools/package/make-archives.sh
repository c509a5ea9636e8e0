#!/usr/bin/env bash
# Writes the three release archives from finished builds, staging each plug-in with the build's
# own install rules (cmake/InstallRules.cmake):
#   tarnwell-<version>-linux-x86_64.tar.gz    Tarnwell.so, Tarnwell.clap, Tarnwell.vst3, Tarnwell.lv2, the standalone app,
#                                             the render tool
#   tarnwell-<version>-linux-aarch64.tar.gz   the same for 64-bit ARM
#   tarnwell-<version>-windows.zip            x86 and x64 Tarnwell.dll and Tarnwell.clap, the x64 Tarnwell.vst3
# each in a folder of the same name, with LICENSE, README, INSTALL (and install.sh on Linux)
# and the factory presets (Presets/VST3/*.vstpreset and Presets/VST2/*.fxp, which the Linux
# x86-64 build writes: they are the same on every platform; Presets/README.md, the presets'
# page, with its decay pictures in Presets/pictures/). The files inside carry the time of the last commit and sorted
# names, so the same sources give the same archives.
#
#   tools/package/make-archives.sh <version> <Linux x86-64 build> <Linux aarch64 build> \
#                                  <x86 build> <x64 build> <output folder>
#
# TARNWELL_AARCH64_STRIP names the strip program for aarch64 (default aarch64-linux-gnu-strip).
set -euo pipefail

version=$1 linux_x86_64=$2 linux_aarch64=$3 win32=$4 win64=$5 dest=$6
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)

# The one file or folder of that name under a folder.
find_one() { # folder, name
    local found
    found=$(find "$1" -name "$2" -prune -print | head -n 1)
    [ -n "$found" ] || { echo "make-archives: no $2 under $1" >&2; exit 1; }
    echo "$found"
}

mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

# The factory presets' files, as a Linux build wrote them.
copy_presets() { # archive folder, Linux build folder
    mkdir -p "$1/Presets/VST3" "$1/Presets/VST2"
    cp "$2"/presets/vst3/*.vstpreset "$1/Presets/VST3/"
    cp "$2"/presets/fxp/*.fxp "$1/Presets/VST2/"
    mkdir -p "$1/Presets/pictures"
    cp "$root"/docs/presets/*.png "$1/Presets/pictures/"
    sed 's|](presets/|](pictures/|' "$root/docs/presets.md" > "$1/Presets/README.md"
}
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT

# Installs one component of a build into a prefix of its own and prints where `name` went.
installed() { # build folder, component, name
    local prefix
    prefix=$(mktemp -d "$staging/install.XXXXXX")
    cmake --install "$1" --prefix "$prefix" --component "$2" >/dev/null
    find_one "$prefix" "$3"
}

# Linux: shipped stripped; the build folders keep their symbols.
linux_archive() { # architecture, build folder, strip program
    local arch=$1 linux=$2 strip=$3
    local name=tarnwell-$version-linux-$arch
    local dir=$staging/$name
    mkdir -p "$dir"
    local vst2 clap vst3 lv2 standalone
    vst2=$(installed "$linux" vst2 Tarnwell.so)
    clap=$(installed "$linux" clap Tarnwell.clap)
    vst3=$(installed "$linux" vst3 Tarnwell.vst3)
    lv2=$(installed "$linux" lv2 Tarnwell.lv2)
    standalone=$(installed "$linux" standalone Tarnwell)
    mv "$vst2" "$clap" "$vst3" "$lv2" "$standalone" "$dir/"
    # The render tool has no install rule: it runs from its build folder or from here, beside
    # the Tarnwell.so it renders through by default.
    cp "$linux/tools/render/tarnwell-render" "$dir/"
    find "$dir" -type f \( -name '*.so' -o -name '*.clap' -o -name Tarnwell -o -name tarnwell-render \) -exec "$strip" --strip-unneeded {} +
    copy_presets "$dir" "$linux"
    cp "$root/LICENSE" "$dir/LICENSE"
    sed "s/@VERSION@/$version/; s/@ARCH@/$arch/" "$here/INSTALL-linux.txt" > "$dir/INSTALL"
    sed "s/@VERSION@/$version/; s/@ARCH@/$arch/" "$here/README-linux.txt" > "$dir/README"
    install -m 755 "$here/install.sh" "$dir/install.sh"
    find "$dir" -exec touch -h -d "@$stamp" {} +
    tar -C "$staging" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - "$name" \
        | gzip -9n > "$dest/$name.tar.gz"
    echo "Wrote $dest/$name.tar.gz"
}
linux_archive x86_64 "$linux_x86_64" strip
linux_archive aarch64 "$linux_aarch64" "${TARNWELL_AARCH64_STRIP:-aarch64-linux-gnu-strip}"

# Windows: text files with CRLF line ends, as Windows' own editors expect.
name=tarnwell-$version-windows
dir=$staging/$name
mkdir -p "$dir/x86" "$dir/x64"
x86=$(installed "$win32" vst2 Tarnwell.dll)
x64=$(installed "$win64" vst2 Tarnwell.dll)
x86_clap=$(installed "$win32" clap Tarnwell.clap)
x64_clap=$(installed "$win64" clap Tarnwell.clap)
vst3=$(installed "$win64" vst3 Tarnwell.vst3)
mv "$x86" "$x86_clap" "$dir/x86/"
mv "$x64" "$x64_clap" "$dir/x64/"
mv "$vst3" "$dir/"
copy_presets "$dir" "$linux_x86_64"
sed 's/$/\r/' "$root/LICENSE" > "$dir/LICENSE.txt"
sed "s/@VERSION@/$version/; s/\$/\r/" "$here/INSTALL-windows.txt" > "$dir/INSTALL.txt"
sed "s/@VERSION@/$version/; s/\$/\r/" "$here/README-windows.txt" > "$dir/README.txt"
find "$dir" -exec touch -h -d "@$stamp" {} +
rm -f "$dest/$name.zip"
(cd "$staging" && find "$name" | LC_ALL=C sort | zip -X -q -9 "$dest/$name.zip" -@)
echo "Wrote $dest/$name.zip"
