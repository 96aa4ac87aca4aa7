#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tellurix on the bundled sample event.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-packages.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
ninja -C build
mkdir -p build/sample
sample=build/sample/sample-event.svx
[ -f "$sample" ] || /usr/bin/python3 tools/make_sample_event.py "$sample" --channels 3
build/src/cli/tellurix-cli info "$sample"
