#!/usr/bin/env bash
# Installs what is missing, builds, and opens the bundled sample event in Tellurix (without a
# display: renders it to a GIF image and says where it is).
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-packages.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
# Paths relative to the checkout, so that a clone in another folder reuses the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
ninja -C build
mkdir -p build/sample build/home
sample=build/sample/sample-event.svx
[ "$sample" -nt tools/make_sample_event.py ] || /usr/bin/python3 tools/make_sample_event.py "$sample" --channels 3
build/src/cli/tellurix-cli info "$sample"
# The program keeps TELLURIX.INI and tlx.log in its home folder.
export TELLURIX_HOME="${TELLURIX_HOME:-$PWD/build/home}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/app/tellurix "$sample"
fi
gif=build/sample/sample-event.gif
QT_QPA_PLATFORM=offscreen build/src/cli/tellurix-cli render "$sample" "$gif" --width 1000 --height 700 > /dev/null
echo "No display: the sample event is drawn in $PWD/$gif"
