#!/bin/sh
# Installs the Debian packages the build, the tests and the programs need; quick when all are there.
set -eu
packages="build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  clang-format libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgif-dev libfftw3-dev libmseed-dev
  python3 python3-numpy python3-scipy wget xvfb xauth
  sac2mseed mseed2sac python3-aiosmtpd python3-pyftpdlib
  libssl-dev openssl desktop-file-utils shared-mime-info dpkg-dev debootstrap"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
