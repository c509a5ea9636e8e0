#!/usr/bin/env bash
# Writes the two release archives from finished builds:
#   tarnwell-<version>-linux-x86_64.tar.gz   Tarnwell.so, Tarnwell.vst3, Tarnwell.lv2, the standalone app
#   tarnwell-<version>-windows.zip           x86 and x64 Tarnwell.dll, the x64 Tarnwell.vst3
# each in a folder of the same name, with LICENSE and INSTALL. The files inside carry the time
# of the last commit and sorted names, so the same sources give the same archives.
#
#   tools/package/make-archives.sh <version> <Linux build> <x86 build> <x64 build> <output folder>
set -euo pipefail

version=$1 linux=$2 win32=$3 win64=$4 dest=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)

# The one folder of that name under a build folder (wherever the format's glue builds it).
find_one() { # folder, name
    local found
    found=$(find "$1" -name "$2" -prune -print | head -n 1)
    [ -n "$found" ] || { echo "make-archives: no $2 under $1" >&2; exit 1; }
    echo "$found"
}

mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT

# Linux: shipped stripped; the build folders keep their symbols.
name=tarnwell-$version-linux-x86_64
dir=$staging/$name
mkdir -p "$dir"
install -m 755 "$linux/host/Tarnwell.so" "$dir/"
cp -r "$(find_one "$linux/Tarnwell_artefacts" Tarnwell.vst3)" "$(find_one "$linux/lv2" Tarnwell.lv2)" "$dir/"
standalone=$(find "$linux/Tarnwell_artefacts" -path '*Standalone/Tarnwell' -type f | head -n 1)
[ -n "$standalone" ] || { echo "make-archives: no standalone app under $linux/Tarnwell_artefacts" >&2; exit 1; }
install -m 755 "$standalone" "$dir/Tarnwell"
find "$dir" -type f \( -name '*.so' -o -name Tarnwell \) -exec strip --strip-unneeded {} +
cp "$root/LICENSE" "$dir/LICENSE"
sed "s/@VERSION@/$version/" "$here/INSTALL-linux.txt" > "$dir/INSTALL"
find "$dir" -exec touch -h -d "@$stamp" {} +
tar -C "$staging" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - "$name" \
    | gzip -9n > "$dest/$name.tar.gz"
echo "Wrote $dest/$name.tar.gz"

# Windows: text files with CRLF line ends, as Windows' own editors expect.
name=tarnwell-$version-windows
dir=$staging/$name
mkdir -p "$dir/x86" "$dir/x64"
cp "$win32/host/Tarnwell.dll" "$dir/x86/"
cp "$win64/host/Tarnwell.dll" "$dir/x64/"
cp -r "$(find_one "$win64/Tarnwell_artefacts" Tarnwell.vst3)" "$dir/"
sed 's/$/\r/' "$root/LICENSE" > "$dir/LICENSE.txt"
sed "s/@VERSION@/$version/; s/\$/\r/" "$here/INSTALL-windows.txt" > "$dir/INSTALL.txt"
find "$dir" -exec touch -h -d "@$stamp" {} +
rm -f "$dest/$name.zip"
(cd "$staging" && find "$name" | LC_ALL=C sort | zip -X -q -9 "$dest/$name.zip" -@)
echo "Wrote $dest/$name.zip"
