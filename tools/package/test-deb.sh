#!/usr/bin/env bash
# A Tarnwell .deb in a Debian tree as a user installs it: apt-get install resolves its Depends:
# from the tree's own repositories, lv2ls lists Tarnwell, tarnwell-render finds it under /usr/lib
# and writes an impulse response, and apt-get remove leaves none of its files behind. A package
# for another architecture than the tree's (arm64 in an amd64 tree with arm64 added) installs
# the same way, its dependencies in that architecture, and its render tool runs under qemu.
#
#   tools/package/test-deb.sh <package.deb> <Debian root>
set -euo pipefail

deb=$(realpath "$1") root=$(realpath "$2")
name=$(basename "$deb")
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C HOME=/tmp "$@"; }
fail() { echo "test-deb: $name in $root: $*" >&2; exit 1; }

cp "$deb" "$root/tmp/$name"
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$name" >"$root.deb-install.log" 2>&1 \
    || { tail -n 20 "$root.deb-install.log" >&2; fail "apt-get install failed"; }
in_root lv2ls | grep -qi 'tarnwell' || fail "lv2ls does not list Tarnwell"
if [ "$(dpkg-deb -f "$deb" Architecture)" = "$(in_root dpkg --print-architecture)" ]; then
    in_root sh -c 'cd /tmp && tarnwell-render ir tarnwell-ir.wav --seconds 0.2 >/dev/null' || fail "tarnwell-render ir failed"
else
    # From outside the tree, so the installed plug-in is named.
    (cd "$root/tmp" && HOME="$root/tmp" qemu-aarch64-static -L "$root" "$root/usr/bin/tarnwell-render" ir tarnwell-ir.wav \
        --seconds 0.2 --plugin "$root/usr/lib/vst/Tarnwell.so" >/dev/null) || fail "tarnwell-render ir failed under qemu"
fi
[ -s "$root/tmp/tarnwell-ir.wav" ] || fail "tarnwell-render wrote no impulse response"
rm -f "$root"/tmp/tarnwell-ir.* "$root/tmp/$name"
in_root apt-get remove -y -qq tarnwell >/dev/null 2>&1 || fail "apt-get remove failed"
left=$(dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | grep -v '/$' | while read -r file; do
    [ ! -e "$root$file" ] || echo "$file"
done)
[ -z "$left" ] || fail "left after removal: $left"
echo "$name in $root: installed, listed by lv2ls, rendered, removed without a trace"
