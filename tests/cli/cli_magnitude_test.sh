#!/bin/sh
# tellurix-cli magnitude with the shipped -log A0 table: values a user can check by hand.
set -eu
cli="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }
# 100 km, 1000 counts, C = 0.001: log10(1) + -log A0(100 km) = 3.00
out=$("$cli" magnitude --type ml --distance 100 --amplitude 1000 --correction 0.001)
echo "$out" | grep -q '"byCorrection":3[,}]' || fail "ml: $out"
out=$("$cli" magnitude --type md --distance 100 --duration 100)
echo "$out" | grep -q '"md":3.48' || fail "md: $out"
out=$("$cli" magnitude --type ms --distance 1111.775 --amplitude 100 --correction 0.02 --period 20)
echo "$out" | grep -q '"byCorrection":5.96' || fail "ms: $out"
"$cli" magnitude --type ml --distance 100 --amplitude 1 --table /nonexistent 2>/dev/null && fail "missing table accepted"
"$cli" magnitude --type xx --distance 1 2>/dev/null && fail "unknown type accepted"
echo "cli magnitude: ok"
