#!/bin/sh
# tellurix-cli region, distance and sp as users' scripts call them, with the shipped tables found
# from the program's own location (no environment help).
set -eu
cli="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }
unset TLX_SOURCE_DIR TLX_DATA_DIR || true

out=$("$cli" region 50 10) || fail "region exit status"
echo "$out" | grep -q '"region":543' || fail "region number: $out"
echo "$out" | grep -q '"name":"Germany"' || fail "region name: $out"
"$cli" region 46.2 -115 | grep -q '"region":33' || fail "Western Idaho"
"$cli" region 12:30S 120:30W | grep -q '"region":' || fail "text coordinates"
"$cli" region 95 10 2>/dev/null && fail "latitude 95 accepted"

out=$("$cli" distance 0 0 0 10) || fail "distance exit status"
echo "$out" | grep -Eq '"degrees":(10|9\.9999999|10\.000000)' || fail "distance degrees: $out"
echo "$out" | grep -Eq '"km":1111\.77(4|5)' || fail "distance km: $out"
echo "$out" | grep -q '"azimuth12":90,' || fail "azimuth: $out"
"$cli" distance 0 550 0 0 2>/dev/null && fail "longitude 550 accepted"

out=$("$cli" sp 60) || fail "sp exit status"
echo "$out" | grep -q '"table":"teleseismic"' || fail "sp table: $out"
echo "$out" | grep -q '"found":true' || fail "sp found: $out"
out=$("$cli" sp 5 --table regional --depth 5) || fail "regional sp"
echo "$out" | grep -q '"depth":5' || fail "regional depth: $out"
"$cli" sp 100000 > /dev/null && fail "S-P beyond the tables gives status 0"
"$cli" sp 10 --table nowhere 2>/dev/null && fail "unknown table accepted"
out=$("$cli" sp 300 --table iasp91 --depth 33) || fail "iasp91 sp exit status"
echo "$out" | grep -q '"table":"iasp91"' || fail "iasp91 sp table: $out"
echo "$out" | grep -q '"degrees":30\.' || fail "iasp91 sp distance: $out"
out=$("$cli" phases --distance 35 --depth 10) || fail "phases exit status"
echo "$out" | grep -q '"P":412\.4' || fail "phases P: $out"
echo "$out" | grep -q '"PKIKP":null' || fail "phases absent PKIKP: $out"
"$cli" phases --distance 181 --depth 10 2>/dev/null && fail "distance 181 accepted"
"$cli" phases --distance 35 2>/dev/null && fail "phases without depth accepted"
echo "cli seismo: ok"
