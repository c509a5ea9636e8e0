#!/usr/bin/env bash
# install.sh for one user in an empty home, the render tool finding what it installed, and
# --uninstall leaving nothing behind.
#   install-check.sh <unpacked Linux archive> <empty home folder>
set -euo pipefail
linux=$1 home=$2
rm -rf "$home"
mkdir -p "$home"
HOME=$home "$linux/install.sh" >/dev/null
[ -f "$home/.vst/Tarnwell.so" ] && [ -d "$home/.lv2/Tarnwell.lv2" ] && [ -d "$home/.vst3/Tarnwell.vst3" ]
HOME=$home "$home/.local/bin/tarnwell-render" ir "$home/ir.wav" --seconds 0.1 >/dev/null
HOME=$home "$linux/install.sh" --uninstall >/dev/null
left=$(find "$home" \( -name 'Tarnwell*' -o -name tarnwell-render -o -name '*.vstpreset' \) -print)
[ -z "$left" ] || { echo "install.sh --uninstall left: $left" >&2; exit 1; }
