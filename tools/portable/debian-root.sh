#!/usr/bin/env bash
# Makes (once) a Debian tree with debootstrap from the registry this machine installs from, and
# installs packages into it. The Debian 11 tree is both the sysroot of the portable builds
# (its own GCC, glibc 2.31 and arm64 libraries) and the oldest distribution they are tested
# in; a Debian 13 tree is the newest.
#
#   tools/portable/debian-root.sh <suite> <folder> [package ...]     (name:arm64 adds that architecture)
#
# Kept between runs: a second run with the same packages returns at once.
set -euo pipefail

suite=$1 root=$(realpath -m "$2"); shift 2
packages=("$@")
stamp="$root/.tarnwell-packages"
# The script's own text counts too, so a changed script redoes its steps on a kept tree.
wanted=$(printf '%s\n' "$(sha1sum < "$0")" "${packages[@]}" | sort)
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && exit 0

mirror=$(sed -n 's/^URIs: *\(http[^ ]*debian\/*\)$/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
[ -n "$mirror" ] || mirror=$(sed -n 's/^deb \(http[^ ]*\) [a-z]* main.*/\1/p' /etc/apt/sources.list | head -n 1)
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian

if [ ! -x "$root/usr/bin/apt-get" ]; then
    rm -rf "$root"
    mkdir -p "$(dirname "$root")"
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 \
        || { tail -n 20 "$root.debootstrap.log" >&2; exit 1; }
fi

in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C "$@"; }
if printf '%s\n' "${packages[@]}" | grep -q ':arm64$' && ! in_root dpkg --print-foreign-architectures | grep -qx arm64; then
    in_root dpkg --add-architecture arm64
fi
# The tree needs the build machine's name servers to reach the registry.
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "${packages[@]}" >"$root.install.log" 2>&1 \
    || { tail -n 20 "$root.install.log" >&2; exit 1; }
in_root apt-get clean

# Absolute links (the dynamic loader's, libdl.so -> /lib/.../libdl.so.2 ...) would point at the
# build machine's own files when the tree is a sysroot: make them relative, so the linker stays
# inside the tree. With a merged /usr, /lib and /lib64 are themselves links into usr/.
library_dirs=()
for dir in lib lib64 usr/lib usr/lib64; do
    [ -d "$root/$dir" ] && [ ! -L "$root/$dir" ] && library_dirs+=("$root/$dir")
done
find "${library_dirs[@]}" -type l -lname '/*' | while read -r link; do
    target=$(readlink "$link")
    ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$root$target")" "$link"
done
echo "$wanted" > "$stamp"
