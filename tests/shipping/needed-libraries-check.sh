#!/usr/bin/env bash
# The LV2 plug-in's own binary needs the C library alone (the C++ run-time is linked in; glibc's
# loader serves its thread-local data), so it loads where no display or font library is.
#   needed-libraries-check.sh <Tarnwell.lv2>
set -euo pipefail
other=$(readelf -d "$1/Tarnwell.so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' \
    | grep -vxE 'lib(c\.so\.6|m\.so\.6|pthread\.so\.0|dl\.so\.2)|ld-linux-(x86-64|aarch64)\.so\.[12]' || true)
[ -z "$other" ] || { echo "$1/Tarnwell.so needs" $other >&2; exit 1; }
