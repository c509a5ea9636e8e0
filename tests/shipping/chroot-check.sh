#!/usr/bin/env bash
# In a Debian tree: a test host built there by its own g++ runs Tarnwell.so against the Debian 12
# build's results, and its lv2apply renders through the LV2 bundle as Debian 12's does through the
# Debian 12 build; so does the render tool.
#   chroot-check.sh <tree> <references> <PortableCheck.cpp> <Tarnwell.so> <Tarnwell.lv2> <tarnwell-render>
source "$(dirname "$0")/lib.sh"
root=$1 references=$2 check_source=$3
echo "Tarnwell.so and Tarnwell.lv2 in Debian $(cat "$root/etc/debian_version") ($root)"
work_folder "$root"
place_built_files "$references" "$4" "$5" "$6"
cp "$references/lv2-input.wav" "$work/in.wav"
status=0
chroot "$root" sh -c "cd $inside && g++ -std=c++17 -O2 -Isrc -o portable_check $(source_path "$check_source") \
    -lgtest -pthread -ldl && ./portable_check ./Tarnwell.so reference.bin" || status=1
{ chroot "$root" env LV2_PATH="$inside/lv2" lv2apply -i "$inside/in.wav" -o "$inside/out.wav" "$lv2_uri" \
    && "$source_dir/tools/portable/wav.py" compare "$references/lv2-debian12.wav" "$work/out.wav" 1e-6; } || status=1
render_check "$references" "$inside" "$work" chroot "$root" || status=1
exit $status
