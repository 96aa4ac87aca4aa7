#!/bin/sh
# tellurix-cli mail against a real SMTP server on 127.0.0.1 (aiosmtpd with STARTTLS and login).
set -eu
cli="$1"
src="$2"
work=$(mktemp -d)
peer=""
trap '[ -n "$peer" ] && kill "$peer"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj /CN=localhost -addext subjectAltName=DNS:localhost 2>/dev/null
mkdir "$work/store"
/usr/bin/python3 "$src/tests/services/smtp_peer.py" serve --store "$work/store" --cert "$work/cert.pem" \
  --key "$work/key.pem" --user obs --password pw > "$work/port" 2>/dev/null &
peer=$!
for _ in $(seq 50); do grep -q PORT "$work/port" && break; sleep 0.1; done
port=$(awk '{print $2}' "$work/port")
printf 'pw\n' > "$work/pass"
printf 'Body text\n' > "$work/body"
head -c 3000 /dev/urandom > "$work/event.svx"

"$cli" mail --server "localhost:$port" --from a@example.org --to b@example.org,c@example.org \
  --subject "Event" --body-file "$work/body" --user obs --password-file "$work/pass" \
  --ca-file "$work/cert.pem" "$work/event.svx" > "$work/out" || fail "send over STARTTLS"
grep -q '"sent":true' "$work/out" || fail "output"
grep -q '^b@example.org,c@example.org$' "$work/store/1.env" || fail "recipients"

if "$cli" mail --server "localhost:$port" --from a@example.org --to b@example.org --subject x \
  --ca-file "$work/cert.pem" "$work/missing.svx" 2> "$work/err"; then fail "missing attachment sent"; fi
grep -q 'Error Opening' "$work/err" || fail "missing attachment message"

if "$cli" mail --server "localhost:$port" --from a@example.org --to b@example.org --subject x \
  --user obs --password-file "$work/pass" --tls none "$work/event.svx" 2> "$work/err"; then
  fail "login sent in the clear"
fi
grep -q 'not encrypted' "$work/err" || fail "plain login message"
[ ! -e "$work/store/2.eml" ] || fail "a refused send reached the server"
cat > "$work/REMOTE.DAT" <<END
SMTPServer=localhost
SMTPAuth=1
SMTPName=obs
SMTPKeyStr=pw
SMTPPort=$port
UserName=Me
POPAccount=a@example.org
ToAddress=reply@example.org
SampleRate=20
Station=1,Far
Address=far@example.org
Channel=SHZ,1,"Z","","",0
Channel=SHN,0,"N","","",0
Station=0,Off
Address=off@example.org
END
"$cli" remote-request "$work/REMOTE.DAT" --start "12/31/25 23:30" --length 10 --ca-file "$work/cert.pem" \
  > "$work/req" || fail "remote request"
[ "$(grep -c '"sent":true' "$work/req")" -eq 1 ] || fail "one station selected"
grep -q '^far@example.org$' "$work/store/2.env" || fail "request recipient"
grep -q 'EventFileRequest=12 31 2025 23 30 10 20 SHZ reply@example.org' "$work/store/2.eml" || fail "request body"
echo "cli mail: ok"
