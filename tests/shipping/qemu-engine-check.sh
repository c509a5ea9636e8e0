#!/usr/bin/env bash
# The aarch64 engine library that went into the plug-ins: its vector arithmetic is 128-bit NEON
# on two doubles (v0.2d ...), not scalar, and under qemu its kernel agrees with the plain loop
# (the engine's own tests, built by Debian 11's cross-compiler).
#   qemu-engine-check.sh <Debian 11 tree> <libtarnwell_engine.a for aarch64> <NetworkTest.cpp>
source "$(dirname "$0")/lib.sh"
root=$1 engine=$2 test_source=$3
status=0
neon=$(aarch64-linux-gnu-objdump -d "$engine" | grep -cE $'\t(fmla|fmls|fmul|fadd|fsub)\tv[0-9]+\.2d' || true)
echo "NEON instructions on two doubles in the engine: $neon"
[ "$neon" -ge 100 ] || status=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/usr/bin/aarch64-linux-gnu-g++-10" --sysroot="$root" -B/usr/aarch64-linux-gnu/bin/ -static-libstdc++ \
    -static-libgcc -std=c++17 -O2 -I"$source_dir" -o "$work/engine_check" "$test_source" "$engine" \
    -lgtest -lgtest_main -pthread
# Not the fading tails at every rate: ten minutes under qemu.
qemu-aarch64-static -L "$root" "$work/engine_check" \
    --gtest_filter='PlainNetwork.*:ReverbNetwork.*:-ReverbNetwork.TailFades*' || status=1
exit $status
