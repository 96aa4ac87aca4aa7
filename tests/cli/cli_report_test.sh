#!/bin/sh
# tellurix-cli report: a list fetched from a loopback web server, parsed with the shipped
# REPORT.DAT, and the row matched with the sample event (start 2024-03-01 11:59:50, Zurich).
set -eu
cli="$1"
src="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
server=""
trap '[ -n "$server" ] && kill "$server"; rm -rf "$work"' EXIT
cat > "$work/list.txt" <<'LIST'
DATE,TIME,LAT,LON,DEPTH,MAG,TYPE,AGENCY
2024/03/01,11:30:00.0,46.0,7.0,5,2.1,Ml,SED
2024/03/01,11:59:40.7,47.9,7.9,10,3.4,Ml,SED
LIST
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
(cd "$work" && exec /usr/bin/python3 -m http.server --bind 127.0.0.1 "$port" >/dev/null 2>&1) &
server=$!
for i in $(seq 50); do
  "$cli" report fetch "http://127.0.0.1:$port/list.txt (Swiss list)" --dir "$work" --timeout 2 >/dev/null 2>&1 && break
  sleep 0.1
done
file=$("$cli" report fetch "http://127.0.0.1:$port/list.txt (Swiss list)" --dir "$work" --timeout 2)
[ "$file" = "$work/list_txt.rpt" ] || fail "fetch printed $file"
head -1 "$file" | grep -qx '\[Swiss list\]' || fail "first line: $(head -1 "$file")"
err=$("$cli" report fetch "data@127.0.0.1:1 (closed)" --dir "$work" --timeout 2 2>&1) && fail "closed port fetched"
[ "$err" = "tellurix-cli: connect failed." ] || fail "closed port: $err"
"$cli" report fetch "gopher://127.0.0.1/x (x)" --dir "$work" 2>/dev/null && fail "gopher accepted"

export TLX_DATA_DIR="$src/data"
out=$("$cli" report parse "$file")
echo "$out" | grep -q '"type":"Data server list"' || fail "type: $out"
echo "$out" | grep -q '"time":"2024-03-01T11:59:40.700Z","latitude":47.9,"longitude":7.9,"depth":10,"magnitudes":\[{"value":3.4,"type":"Ml"}\]' \
  || fail "row: $out"
echo "$out" | grep -q '"agency":"SED"' || fail "agency: $out"

/usr/bin/python3 "$src/tools/make_sample_event.py" "$work/event.svx" --samples 200
out=$("$cli" report match "$work/event.svx" "$file")
echo "$out" | grep -q '"row":{"time":"2024-03-01T11:59:40.700Z"' || fail "match: $out"
echo "$out" | grep -q '"distance":"[0-9.]*km  [0-9.]*mi"' || fail "distance: $out"
# report add (the Open File dialog's Add Report): the row becomes a further event entry of the file.
cp "$work/event.svx" "$work/added.svx"
out=$("$cli" report add "$file" 0 "$work/added.svx")
[ "$out" = '{"changed":1,"unchanged":[]}' ] || fail "add: $out"
"$cli" info "$work/added.svx" | grep -q '{"time":"2024-03-01T11:30:00.000Z","latitude":46,"longitude":7,"depth":5' ||
  fail "added entry: $("$cli" info "$work/added.svx")"
"$cli" report add "$file" 9 "$work/added.svx" 2>/dev/null && fail "row beyond the list accepted"
echo "cli report: ok"
