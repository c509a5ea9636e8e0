#!/bin/sh
# Qtractor's plug-in scanner, built with the real CLAP headers, reads Tarnwell.clap as Qtractor
# itself would: one line per plug-in, CLAP|name|audio ins:outs|MIDI ins:outs|params in:out|
# flags|path|index|id. Tarnwell must be a 2:2 effect, no MIDI, five parameters, with a GUI.
# Usage: qtractor-scan.sh SCANNER PATH/Tarnwell.clap
set -eu
scanner=$1 plugin=$2
line=$(echo "CLAP:$plugin" | QT_QPA_PLATFORM=offscreen "$scanner" 2>/dev/null | grep '^CLAP|' || true)
echo "scanner: $line"
case "$line" in
    "CLAP|Tarnwell|2:2|0:0|5:0|"*GUI*"|$plugin|0|"*) exit 0 ;;
    *) echo "expected CLAP|Tarnwell|2:2|0:0|5:0|...GUI...|$plugin|0|..." >&2; exit 1 ;;
esac
