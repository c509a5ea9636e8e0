#!/usr/bin/env bash
# What the shipping checks compare against, from the Debian 12 build: the VST 2.4 test host's
# results, lv2apply through Tarnwell.lv2, and the render tool's list and impulse response.
#   write-references.sh <references folder> <tarnwell_win32_reference> <Tarnwell.lv2> <tarnwell-render>
source "$(dirname "$0")/lib.sh"
references=$1 reference_writer=$2 bundle=$3 render=$4
mkdir -p "$references/render-home"
"$reference_writer" "$references/windows-reference.bin"
"$source_dir/tools/portable/wav.py" write "$references/lv2-input.wav"
LV2_PATH="$(dirname "$bundle")" lv2apply -i "$references/lv2-input.wav" -o "$references/lv2-debian12.wav" "$lv2_uri"
"$render" presets >"$references/render-presets-debian12.txt"
HOME="$references/render-home" "$render" ir "$references/render-ir-debian12.wav" "${render_check_arguments[@]}" \
    --plugin "$bundle" >/dev/null
