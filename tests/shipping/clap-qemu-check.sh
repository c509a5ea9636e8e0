#!/usr/bin/env bash
# Our CLAP test host for aarch64, by Debian 11's cross-compiler, against the aarch64 Tarnwell.clap
# under qemu.
#   clap-qemu-check.sh <Debian 11 tree> <ClapPeerCheck.cpp> <Tarnwell.clap for aarch64>
source "$(dirname "$0")/lib.sh"
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/usr/bin/aarch64-linux-gnu-g++-10" --sysroot="$root" -B/usr/aarch64-linux-gnu/bin/ -static-libstdc++ \
    -static-libgcc -std=c++17 -O2 -I"$source_dir" -o "$work/clap_peer_check" "$2" -lgtest -pthread -ldl
qemu-aarch64-static -L "$root" "$work/clap_peer_check" "$3"
