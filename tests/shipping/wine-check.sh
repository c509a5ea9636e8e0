#!/usr/bin/env bash
# A Windows test host under Wine of its build's architecture, in a prefix of its own (a prefix is
# either 32- or 64-bit), against the Linux build's results, on a virtual X server of its own (its
# editor checks read back what was drawn, which another program's window could cover). No Mono or
# Gecko prompts, and a crash ends the run instead of waiting in the debugger. Wine's drive Z: is
# the root folder.
#   wine-check.sh <win32 | win64> <Wine prefix> <test host .exe> <plug-in> <reference results>
set -euo pipefail
arch=$1 prefix=$2 host=$3
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
status=0
WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d" \
    xvfb-run -a -s "-screen 0 1280x1024x24" wine "$host" "$(windows_path "$4")" "$(windows_path "$5")" || status=$?
WINEPREFIX=$prefix wineserver -w || true
exit $status
