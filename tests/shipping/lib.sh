# Shared by the shipping checks (sourced): where the sources are, a scratch folder inside a Debian
# tree, and the render tool's check against the Debian 12 build's results.
set -euo pipefail
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
lv2_uri=https://quennet.audio/plugins/tarnwell
render_check_arguments=(--seconds 0.5 --set T60Low=0.5s --set Mix=100%)

# An empty folder of its own inside a tree (checks may run side by side), removed on exit, with
# the sources a check compiles there and FST's headers. Sets `work` (as seen from here) and
# `inside` (as seen in the tree).
work_folder() { # tree
    work=$(mktemp -d "$1/tmp/tarnwell-check.XXXXXX")
    inside=${work#"$1"}
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/src"
    cp -r "$source_dir/host" "$source_dir/tests" "$source_dir/tools" "$work/src/"
    cp -r /usr/include/pluginterfaces "$work/src/"
}

# The built files a check loads, into the work folder: the VST 2.4 library as Tarnwell.so, the LV2
# bundle under lv2/, the render tool, and the Debian 12 build's results for the test host.
place_built_files() { # references, Tarnwell.so, Tarnwell.lv2, tarnwell-render
    cp "$2" "$work/Tarnwell.so"
    mkdir -p "$work/lv2"
    cp -r "$3" "$work/lv2/"
    cp "$4" "$work/tarnwell-render"
    cp "$1/windows-reference.bin" "$work/reference.bin"
}

# A source file's path relative to the checkout, as `work_folder` copies it.
source_path() { echo "src/${1#"$source_dir"/}"; }

# The render tool, run as the arguments after the two folders say: its list of presets, and an
# impulse response through the LV2 bundle, as the Debian 12 build's render tool gives them through
# the Debian 12 build. JUCE's LV2 hosting also finds ~/.lv2, where an installed Tarnwell.lv2 of the
# same URI would win: the check folder is the home folder.
render_check() { # references folder, check folder as `run` sees it, the same from here, run ...
    local references=$1 in=$2 out=$3; shift 3
    env HOME="$in" "$@" "$in/tarnwell-render" presets >"$out/presets.txt" \
        && cmp "$references/render-presets-debian12.txt" "$out/presets.txt" \
        && env HOME="$in" "$@" "$in/tarnwell-render" ir "$in/ir.wav" "${render_check_arguments[@]}" \
            --plugin "$in/lv2/Tarnwell.lv2" >/dev/null \
        && "$source_dir/tools/portable/wav.py" compare "$references/render-ir-debian12.wav" "$out/ir.wav" 1e-6
}
