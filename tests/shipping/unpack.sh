#!/usr/bin/env bash
# The release archives, each unpacked into an empty folder, as a user would.
#   unpack.sh <archives folder> <version> <folder to unpack into>
set -euo pipefail
archives=$1 version=$2 unpacked=$3
rm -rf "$unpacked"
mkdir -p "$unpacked/linux" "$unpacked/windows"
for arch in x86_64 aarch64; do
    tar -xzf "$archives/tarnwell-$version-linux-$arch.tar.gz" -C "$unpacked/linux"
done
unzip -q "$archives/tarnwell-$version-windows.zip" -d "$unpacked/windows"
