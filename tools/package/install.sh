#!/bin/sh
# Installs Tarnwell from this folder, or removes it.
#
#   ./install.sh              for you alone: ~/.vst, ~/.vst3, ~/.lv2, ~/.clap, ~/.vst3/presets, ~/.local/bin
#   sudo ./install.sh --system   for all users: under /usr/local (lib/vst, lib/vst3, lib/lv2, lib/clap,
#                             share/vst3/presets, bin)
#   ./install.sh --uninstall  removes what the same command installed (with --system too)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
system=no uninstall=no
for arg in "$@"; do
    case $arg in
        --system) system=yes ;;
        --uninstall) uninstall=yes ;;
        -h|--help) sed -n '2,8s/^# \{0,1\}//p' "$0"; exit 0 ;;
        *) echo "install.sh: unknown option $arg (see ./install.sh --help)" >&2; exit 2 ;;
    esac
done

if [ "$system" = yes ]; then
    vst=/usr/local/lib/vst vst3=/usr/local/lib/vst3 lv2=/usr/local/lib/lv2 clap=/usr/local/lib/clap
    presets=/usr/local/share/vst3/presets/Quennet/Tarnwell bin=/usr/local/bin
else
    vst=$HOME/.vst vst3=$HOME/.vst3 lv2=$HOME/.lv2 clap=$HOME/.clap
    presets=$HOME/.vst3/presets/Quennet/Tarnwell bin=$HOME/.local/bin
fi
# What goes where: source in this folder, then the folder it goes into.
set -- Tarnwell.so "$vst" Tarnwell.vst3 "$vst3" Tarnwell.lv2 "$lv2" Tarnwell.clap "$clap" \
    Tarnwell "$bin" tarnwell-render "$bin"

if [ "$uninstall" = yes ]; then
    while [ $# -gt 0 ]; do
        rm -rf "${2:?}/$1"
        shift 2
    done
    rm -rf "$presets"
    rmdir "$(dirname "$presets")" 2>/dev/null || true
    echo "Removed Tarnwell from $vst, $vst3, $lv2, $clap, $presets and $bin"
    exit 0
fi

while [ $# -gt 0 ]; do
    mkdir -p "$2"
    rm -rf "${2:?}/$1"
    cp -R "$here/$1" "$2/"
    shift 2
done
mkdir -p "$presets"
cp "$here"/Presets/VST3/*.vstpreset "$presets/"
echo "Installed Tarnwell: VST 2.4 in $vst, VST3 in $vst3, LV2 in $lv2, CLAP in $clap,"
echo "VST3 presets in $presets,"
echo "the standalone app (Tarnwell) and the render tool (tarnwell-render) in $bin."
echo "Let your host rescan its plug-ins."
