#!/usr/bin/env bash
# Installs what is needed, builds the application in Release and starts it.
# Without a display it runs under a virtual X server; without a sound card it
# runs silently.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build=build-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKA_BUILD_TESTS=OFF -DKA_BUILD_APP=ON
cmake --build "$build" -j "$(nproc)"

app="$build/shell/KADravonRoreRurediriz"
if [ ! -x "$app" ]; then
    echo "The engine and its tests are built; the standalone application is not part of this checkout yet." >&2
    exit 0
fi

if [ -z "${DISPLAY:-}" ]; then
    echo "No display found: starting the application under a virtual X server (Xvfb)." >&2
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$app" "$@"
fi
exec "$app" "$@"
