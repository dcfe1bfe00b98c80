#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kinetrope on a generated demo clip.
# Without a display it runs under Xvfb for a few seconds and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
clip="$PWD/build/demo/kinetrope-demo.mp4"
player="$PWD/build/src/kinetrope"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$player" "$clip"
fi

echo "No display available: running Kinetrope under Xvfb and taking a screenshot."
shot="$PWD/build/demo/kinetrope-screenshot.png"
export LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb
# A private settings folder, so the demo neither reads nor changes the user's settings.
export XDG_CONFIG_HOME="$PWD/build/demo/config" XDG_DATA_HOME="$PWD/build/demo/data"
mkdir -p "$XDG_CONFIG_HOME/Ostrevan" "$XDG_DATA_HOME"
printf '[Kinetrope]\nAutoDropPlay=1\nSplashDisable=1\nAutoUpdateNotification=0\n' \
  > "$XDG_CONFIG_HOME/Ostrevan/kinetrope.conf"
xvfb-run -a -s "-screen 0 1280x800x24 +extension GLX" bash -c '
  "$1" "$2" & pid=$!
  sleep 6
  ffmpeg -loglevel error -y -f x11grab -video_size 1280x800 -i "$DISPLAY" -frames:v 1 "$3"
  kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
' _ "$player" "$clip" "$shot"
echo "Screenshot: $shot"
