#!/usr/bin/env bash
# The aarch64 build under qemu: Tarnwell.so through the test host (built by Debian 11's
# cross-compiler) against the x86-64 Debian 12 build's results, and the render tool through the
# LV2 bundle.
#   qemu-check.sh <Debian 11 tree> <references> <PortableCheck.cpp> <Tarnwell.so> <Tarnwell.lv2> <tarnwell-render>
source "$(dirname "$0")/lib.sh"
root=$1 references=$2 check_source=$3
cxx=("$root/usr/bin/aarch64-linux-gnu-g++-10" --sysroot="$root" -B/usr/aarch64-linux-gnu/bin/
     -static-libstdc++ -static-libgcc)
run=(qemu-aarch64-static -L "$root")
work_folder "$root"
place_built_files "$references" "$4" "$5" "$6"
status=0
(cd "$work" && "${cxx[@]}" -std=c++17 -O2 -Isrc -o portable_check "$(source_path "$check_source")" \
    -lgtest -pthread -ldl && "${run[@]}" ./portable_check ./Tarnwell.so reference.bin) || status=1
render_check "$references" "$work" "$work" "${run[@]}" || status=1
exit $status
