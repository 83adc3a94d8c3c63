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
    echo "The build did not produce $app." >&2
    exit 1
fi

if [ -n "${DISPLAY:-}" ]; then
    exec "$app" "$@"
fi

echo "No display found: starting the application under a virtual X server (Xvfb)." >&2

# The server gets a session of its own, so that Ctrl+C reaches only the application:
# it shuts down and writes its settings while its display is still there, and the
# server is stopped afterwards.
displayfile=$(mktemp)
setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$displayfile"' EXIT

for _ in $(seq 100); do
    grep -q '^[0-9]' "$displayfile" && break
    kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start." >&2; exit 1; }
    sleep 0.1
done

grep -q '^[0-9]' "$displayfile" || { echo "Xvfb did not report a display." >&2; exit 1; }
display=":$(head -n 1 "$displayfile")"

DISPLAY="$display" "$app" "$@" &
app_pid=$!

# Ctrl+C asks the application to quit (it saves its state, as Ctrl+Q does); a
# termination of this script is one for the application. The script waits until the
# application has finished shutting down.
trap 'kill -INT "$app_pid" 2>/dev/null || true' INT
trap 'kill -TERM "$app_pid" 2>/dev/null || true' TERM

while kill -0 "$app_pid" 2>/dev/null; do
    wait "$app_pid" || true
done

status=0
wait "$app_pid" || status=$?
exit "$status"
