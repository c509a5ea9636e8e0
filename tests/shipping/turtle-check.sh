#!/usr/bin/env bash
# The portable build's Turtle files, byte for byte the Debian 12 build's (Debian 11's C++ library
# writes their numbers by another way: same characters).
#   turtle-check.sh <Debian 12 Tarnwell.lv2> <Tarnwell.lv2 to check>
set -euo pipefail
status=0
for turtle in "$1"/*.ttl; do
    cmp "$turtle" "$2/${turtle##*/}" || status=1
done
exit $status
