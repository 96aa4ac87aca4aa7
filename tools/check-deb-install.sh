#!/bin/sh
# Installs the Debian package with apt into a fresh Debian 12 (bookworm) chroot and starts the
# installed programs there, as a user who cannot write /usr/bin. A developer's check, run by hand
# as root: the first run downloads about 200 MB; the build, ctest and .ci/run never start it.
#
# usage: tools/check-deb-install.sh [CHROOT_DIR [PACKAGE.deb]]
#   CHROOT_DIR   default /var/tmp/tellurix-bookworm; kept, and reused by the next run (every package
#                the bootstrap did not install is purged first, so the install is again a first one)
#   PACKAGE.deb  default the newest tellurix_*.deb in build*/ of this checkout
#   MIRROR       environment: the Debian mirror (default http://deb.debian.org/debian)
# Prints each step; exits non-zero on the first failure.
set -eu
source=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-/var/tmp/tellurix-bookworm}
deb=${2:-$(ls -t "$source"/build*/tellurix_*.deb 2> /dev/null | head -n 1)}
mirror=${MIRROR:-http://deb.debian.org/debian}
user=tlxcheck
home=/home/$user
stamp=$root/.tellurix-check-base

step() { echo "== $*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "run as root (debootstrap, chroot, mount)"
command -v debootstrap > /dev/null || fail "debootstrap missing: apt-get install debootstrap"

mounted=""
cleanup() {
  for m in $mounted; do umount "$root/$m" || echo "could not unmount $root/$m" >&2; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM
in_root() { chroot "$root" "$@"; }
# The test user with a clean environment: no TELLURIX_HOME or TLX_DATA_DIR from this shell.
as_user() {
  timeout 120 chroot --userspec=$user:$user "$root" env -i PATH=/usr/bin:/bin HOME=$home \
    XDG_CONFIG_HOME=$home/.config LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}

if [ -f "$stamp" ]; then
  step "reusing the bookworm chroot $root"
elif [ -e "$root" ] && [ -n "$(ls -A "$root")" ]; then
  fail "$root exists but is not a finished chroot of this script: remove it or name another folder"
else
  step "debootstrap --variant=minbase bookworm $root"
  debootstrap --variant=minbase bookworm "$root" "$mirror" > "$root.debootstrap.log" 2>&1 ||
    { tail -n 20 "$root.debootstrap.log"; fail "debootstrap (log: $root.debootstrap.log)"; }
  cat > "$root/etc/apt/sources.list" << EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
  # Packages must not start services inside the chroot.
  printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
  chroot "$root" dpkg-query -W -f='${Package}\n' | sort > "$stamp"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc" && mounted="proc"
mount --bind /dev "$root/dev" && mounted="dev $mounted"
mount --bind /dev/pts "$root/dev/pts" && mounted="dev/pts $mounted"

export DEBIAN_FRONTEND=noninteractive
[ -n "$deb" ] && [ -f "$deb" ] || fail "no package: build one with cpack -G DEB, or name it"
version=$(dpkg-deb -f "$deb" Version)
extra=$(in_root dpkg-query -W -f='${Package}\n' | sort | comm -13 "$stamp" -)
if [ -n "$extra" ]; then
  step "purging the $(echo "$extra" | wc -l) packages of the previous run"
  # shellcheck disable=SC2086
  in_root apt-get purge -y -q $extra > "$root/tmp/purge.log" 2>&1 ||
    { tail -n 20 "$root/tmp/purge.log"; fail "purging the previous run's packages"; }
fi
in_root userdel -r $user 2> /dev/null || true
in_root useradd -m -s /bin/sh $user

step "apt-get update"
in_root apt-get update -q > /dev/null || fail "apt-get update"

step "apt-get install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
chmod 644 "$root/tmp/$(basename "$deb")"
start=$(date +%s)
in_root apt-get install -y -q "/tmp/$(basename "$deb")" > "$root/tmp/install.log" 2>&1 ||
  { tail -n 30 "$root/tmp/install.log"; fail "apt-get install"; }
seconds=$(($(date +%s) - start))
grep -E '^(Need to get|After this operation)' "$root/tmp/install.log" || true
echo "installed in ${seconds} s with $(grep -c '^Setting up ' "$root/tmp/install.log") packages;" \
  "tellurix itself: $(dpkg-deb -f "$deb" Installed-Size) kB installed"

for tool in tellurix tellurix-cli feedgrab; do
  step "$tool --version"
  out=$(as_user $tool --version) || fail "$tool --version"
  echo "$out"
  [ "$out" = "$tool ${version%%-*}" ] || fail "$tool --version printed '$out', expected $tool $version"
done

step "tellurix-cli on the bundled sample event"
/usr/bin/python3 "$source/tools/make_sample_event.py" "$root$home/sample-event.svx" --channels 3 > /dev/null
in_root chown $user:$user $home/sample-event.svx
out=$(as_user tellurix-cli info $home/sample-event.svx) || fail "tellurix-cli info"
echo "$out"
echo "$out" | grep -q '"format"' || fail "tellurix-cli info printed no format"
# The read-out needs the travel-time tables and the region names from /usr/share/tellurix.
out=$(as_user tellurix-cli readout $home/sample-event.svx) || fail "tellurix-cli readout"
echo "$out"
echo "$out" | grep -q '"region"' || fail "tellurix-cli readout found no region"

step "tellurix, first start (offscreen) and /g (picture mode) as $user, who cannot write /usr/bin"
as_user test -w /usr/bin && fail "/usr/bin is writable by $user"
# The first start draws the event window, ends, and writes its settings on closing.
as_user env TLX_STARTUP_TIMING=quit tellurix $home/sample-event.svx || fail "first start of tellurix"
as_user tellurix /g $home/sample-event.svx $home/sample-event.gif || fail "tellurix /g"
[ "$(head -c 4 "$root$home/sample-event.gif")" = GIF8 ] || fail "no GIF image"
echo "$(stat -c %s "$root$home/sample-event.gif") bytes GIF"
for f in TELLURIX.INI tlx.log; do
  [ -s "$root$home/.config/tellurix/$f" ] || fail "no $f in \$XDG_CONFIG_HOME/tellurix"
  echo "$home/.config/tellurix/$f"
done

types=$(sed -n 's/^MimeType=//p' "$root/usr/share/applications/tellurix.desktop" | tr ';' ' ')
step "MIME types in the MIME database"
for type in $types; do
  grep -q ":$type:" "$root/usr/share/mime/globs2" || fail "$type not in the MIME database"
  echo "$type"
done
# Only now: its libraries would pull in the MIME database the package itself must bring.
step "desktop-file-validate and the MIME types' association"
in_root apt-get install -y -q desktop-file-utils > /dev/null 2>&1 || fail "installing desktop-file-utils"
in_root desktop-file-validate /usr/share/applications/tellurix.desktop || fail "desktop-file-validate"
for type in $types; do
  grep -q "^$type=.*tellurix.desktop" "$root/usr/share/applications/mimeinfo.cache" ||
    fail "$type not associated with tellurix.desktop"
done
step "all checks passed"
