#!/usr/bin/env bash
# Runs a command on an X server of its own. The server takes a free display number itself (-displayfd), so tests
# started side by side never pick the same one; its number is read once the server is ready.
set -u
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; rm -f "$ready"' EXIT
until [ "$(wc -l <"$ready")" -ge 1 ]; do
    kill -0 "$server" 2>/dev/null || { echo "x_server.sh: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done
DISPLAY=:$(head -n 1 "$ready") "$@"
