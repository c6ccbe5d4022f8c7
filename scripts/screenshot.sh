#!/usr/bin/env bash
# Starts the test application under a virtual X display and saves a PNG of
# its dialog, to check the layout by eye (it is no test assertion).
# Usage: scripts/screenshot.sh [program] [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."

program="${1:-build/release/testapp/OrvaneLibTest}"
output="${2:-build/OrvaneLibTest.png}"

if [ ! -x "$program" ]; then
    echo "screenshot: $program not found; build it first (cmake --build --preset release)" >&2
    exit 1
fi
mkdir -p "$(dirname "$output")"

# The program runs until its dialog closes; it is stopped once the picture
# is taken. Without a window manager the window has no frame, so the
# picture shows the dialog's client area, cropped from the black screen.
xvfb-run --auto-servernum --server-args="-screen 0 1400x900x24 -dpi 96" bash -c '
    QT_QPA_PLATFORM=xcb "$1" &
    app=$!
    sleep "${SCREENSHOT_DELAY:-3}"
    import -window root "$2"
    kill "$app"
    wait "$app" 2>/dev/null || true
' screenshot "$program" "$output"
convert "$output" -trim +repage "$output"
echo "screenshot: $output"
