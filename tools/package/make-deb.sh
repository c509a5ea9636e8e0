#!/usr/bin/env bash
# Writes tarnwell_<version>_<arch>.deb from a finished Linux build with dpkg-deb: the plug-ins
# by the build's install rules under /usr/lib (lv2, vst, vst3, and clap when the build made a
# Tarnwell.clap), the standalone app and the render tool in /usr/bin, a desktop entry and icon,
# the man pages, and the presets' page in /usr/share/doc/tarnwell. Depends: is
# computed from the binaries' needed libraries and the shlibs files of the Debian tree that
# provides them (the tree the portable build was linked against, or / for a native build), as
# dpkg-shlibdeps does from shlibs files.
#
#   tools/package/make-deb.sh <version> <build folder> <amd64|arm64> <Debian root> <output folder> [strip]
set -euo pipefail

version=$1 build=$2 arch=$3 tree=$4 dest=$5 strip=${6:-strip}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
pkg=$staging/tarnwell
usr=$pkg/usr

for component in vst2 vst3 lv2 standalone; do
    cmake --install "$build" --prefix "$usr" --component "$component" >/dev/null
done
install -D -m 755 "$build/tools/render/tarnwell-render" "$usr/bin/tarnwell-render"
clap=$(find "$build" -name Tarnwell.clap -not -path '*/CMakeFiles/*' -print -quit)
if [ -n "$clap" ]; then
    mkdir -p "$usr/lib/clap"
    cp -R "$clap" "$usr/lib/clap/"
fi
find "$usr" -type f \( -name '*.so' -o -name '*.clap' -o -name Tarnwell -o -name tarnwell-render \) \
    -exec "$strip" --strip-unneeded --remove-section=.comment --remove-section=.note {} +

install -D -m 644 "$here/debian/lintian-overrides" "$usr/share/lintian/overrides/tarnwell"
install -D -m 644 "$here/debian/tarnwell.desktop" "$usr/share/applications/tarnwell.desktop"
install -D -m 644 "$here/debian/tarnwell.svg" "$usr/share/icons/hicolor/scalable/apps/tarnwell.svg"
mkdir -p "$usr/share/man/man1"
for page in tarnwell-render.1 Tarnwell.1; do
    sed "s/@VERSION@/$version/" "$here/debian/$page" | gzip -9n > "$usr/share/man/man1/$page.gz"
done
doc=$usr/share/doc/tarnwell
mkdir -p "$doc/presets"
cp "$root"/docs/presets/*.png "$doc/presets/"
cp "$root/docs/presets.md" "$doc/presets.md"
{
    echo "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
    echo "Upstream-Name: Tarnwell"
    echo
    echo "Files: *"
    echo "Copyright: $(date -u -d "@$stamp" +%Y) The Tarnwell authors"
    echo "License: GPL-3.0-or-later"
    echo " On Debian systems, the full text of the GNU General Public License version 3"
    echo " can be found in the file '/usr/share/common-licenses/GPL-3'."
} > "$doc/copyright"
printf 'tarnwell (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' \
    "$version" "$version" "$(sed -n 's/^Maintainer: //p' "$here/debian/control.in" | head -1)" \
    "$(date -u -R -d "@$stamp")" | gzip -9n > "$doc/changelog.gz"

# Depends: for each library a binary needs, the package of this architecture that has it, and
# that package's shlibs line.
case $arch in amd64) triple=x86_64-linux-gnu ;; arm64) triple=aarch64-linux-gnu ;; esac
declare -A wanted=()
while read -r soname; do
    owner=$(dpkg --admindir="$tree/var/lib/dpkg" -S "*/$triple/$soname" 2>/dev/null | head -n 1 | cut -d: -f1-2 || true)
    owner=${owner%:}
    name=${soname%%.so*} number=${soname##*.so.}
    line=$(awk -v n="$name" -v v="$number" '$1 == n && $2 == v { $1 = ""; $2 = ""; sub (/^ +/, ""); print; exit }' \
               "$tree/var/lib/dpkg/info/$owner.shlibs" "$tree/var/lib/dpkg/info/${owner%%:*}.shlibs" 2>/dev/null || true)
    [ -n "$line" ] || { echo "make-deb: no package in $tree provides $soname for $arch" >&2; exit 1; }
    wanted[${line%% *}]=$line
done < <(find "$usr" -type f \( -name '*.so' -o -name '*.clap' -o -perm -u+x \) -exec sh -c '"$0" -p "$1" 2>/dev/null' "${strip%strip}objdump" {} \; \
             | awk '$1 == "NEEDED" { print $2 }' | sort -u)
depends=$(printf '%s\n' "${wanted[@]}" | sort | paste -sd, | sed 's/,/, /g')

mkdir -p "$pkg/DEBIAN"
size=$(du -sk --apparent-size "$usr" | cut -f1)
sed "s/@VERSION@/$version/; s/@ARCH@/$arch/; s/@SIZE@/$size/; s/@DEPENDS@/$depends/" \
    "$here/debian/control.in" > "$pkg/DEBIAN/control"
(cd "$pkg" && find usr -type f -exec md5sum {} + | LC_ALL=C sort -k2) > "$pkg/DEBIAN/md5sums"
find "$pkg" -type d -exec chmod 755 {} +
find "$pkg" -exec touch -h -d "@$stamp" {} +

mkdir -p "$dest"
SOURCE_DATE_EPOCH=$stamp dpkg-deb --root-owner-group -Zxz --build "$pkg" "$dest/tarnwell_${version}_$arch.deb" >/dev/null
echo "Wrote $dest/tarnwell_${version}_$arch.deb (Depends: $depends)"
