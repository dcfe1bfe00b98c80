#!/usr/bin/env bash
# Screenshots of the skinned control window, taken under Xvfb from the built player with a
# private sound server (so volume, balance and mute are live): scripts/skin-shots.sh [output
# folder] (docs/screenshots). Fresh start, hover, press, the three preset backgrounds, a user
# background with a user play button, and the fresh start at 2x scaling. Fails when a shot
# shows a pixel of the key green.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"
player="$PWD/build/src/kinetrope"
work="$(mktemp -d)"
pulse=""
cleanup() {
  [ -n "$pulse" ] && kill "$pulse" 2>/dev/null && wait "$pulse" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$out" "$work/config/Ostrevan" "$work/data" "$work/home" "$work/run" "$work/skin"
chmod 700 "$work/run"

# The sound server: one null sink, nothing else of the machine's.
export XDG_RUNTIME_DIR="$work/run" PULSE_SERVER="unix:$work/pulse"
DBUS_SESSION_BUS_ADDRESS=disabled: pulseaudio -n --daemonize=no --exit-idle-time=-1 \
  --log-target="file:$work/pulse.log" \
  --load="module-null-sink sink_name=shots_sink sink_properties=device.description=Shots" \
  --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse" &
pulse=$!
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
pactl set-sink-volume shots_sink 70%

# A user background tile and a user play button pair, written as the 24-bit .bmp files a
# user would make; the button's surround is the key green, with no softened edge near it.
python3 - "$work/skin" <<'EOF'
import math, struct, sys
folder = sys.argv[1]

def save(name, w, h, pixel):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    head = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(f'{folder}/{name}', 'wb') as f:
        f.write(head + info + data)

def linen(x, y):
    # Seamless over 96 x 96: every wave fits the tile a whole number of times.
    t = 2 * math.pi / 96
    v = 6 * math.sin(x * t * 3) * math.sin(y * t * 2) + 3 * math.sin((x + y) * t * 8)
    return (int(226 + v), int(214 + v), int(190 + v))
save('linen.bmp', 96, 96, linen)

def button(lit):
    top, bottom = ((255, 214, 150), (232, 120, 40)) if lit else ((238, 226, 210), (176, 160, 140))
    edge = (150, 70, 10) if lit else (110, 96, 80)
    glyph = (255, 255, 255) if lit else (90, 76, 60)
    matte = (200, 190, 170)
    w, h, radius = 33, 20, 6
    def inside_shape(px, py):
        cx = min(max(px, radius), w - radius)
        cy = min(max(py, radius), h - radius)
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2
    def inside_glyph(px, py):
        # A play triangle beside pause bars.
        triangle = 9 <= px <= 17 and abs(py - 10) <= 5 - (px - 9) * 0.6
        return triangle or 20 <= px <= 22 and 5 <= py <= 15 or 25 <= px <= 27 and 5 <= py <= 15
    def pixel(x, y):
        n = 4
        cover = sum(inside_shape(x + (i + 0.5) / n, y + (j + 0.5) / n) for i in range(n) for j in range(n)) / n / n
        if cover < 0.4:
            return (0, 255, 0)
        f = y / (h - 1)
        c = [top[k] + (bottom[k] - top[k]) * f for k in range(3)]
        if not inside_shape(x + 0.5 - 1.2, y + 0.5) or not inside_shape(x + 0.5 + 1.2, y + 0.5) \
                or not inside_shape(x + 0.5, y + 0.5 - 1.2) or not inside_shape(x + 0.5, y + 0.5 + 1.2):
            c = edge
        g = sum(inside_glyph(x + (i + 0.5) / n, y + (j + 0.5) / n) for i in range(n) for j in range(n)) / n / n
        c = [c[k] + (glyph[k] - c[k]) * g for k in range(3)]
        c = [c[k] * cover + matte[k] * (1 - cover) for k in range(3)]
        return tuple(int(v) for v in c)
    return pixel
save('play.bmp', 33, 20, button(True))
save('play_rest.bmp', 33, 20, button(False))
EOF

export LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  HOME="$work/home"

xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX" bash -c '
  set -e
  player=$1 work=$2 out=$3
  conf="$work/config/Ostrevan/kinetrope.conf"
  # Each start from these settings only, the window at (50, 50).
  start() {
    { printf "[Kinetrope]\nSplashDisable=1\nAutoUpdateNotification=0\n"; printf "%s\n" "$@"; } > "$conf"
    xdotool mousemove 1500 900
    "$player" & pid=$!
    timeout 20 xdotool search --sync --onlyvisible --name "^Kinetrope\$" >/dev/null
    sleep 3
  }
  stop() { kill $pid; wait $pid 2>/dev/null || true; }
  # The window and a margin of the desktop around it.
  grab() {
    ffmpeg -loglevel error -y -f x11grab -video_size 1920x1080 -i "$DISPLAY" -frames:v 1 \
      -vf "crop=${2:-288}:${3:-511}:${4:-40}:${4:-40}" "$out/$1"
  }
  start
  grab skin-fresh.png
  xdotool mousemove 163 107; sleep 1
  grab skin-hover.png
  xdotool mousedown 1; sleep 1
  grab skin-press.png
  stop
  for preset in 1:blue 2:metal 3:clouds; do
    start "DefaultBackgroundBMP=${preset%%:*}"
    grab "skin-${preset#*:}.png"
    stop
  done
  start "BackgroundBMP=$work/skin/linen.bmp" "PlayButtonBMP=$work/skin/play.bmp" \
    "PlayButtonBMPmouseover=$work/skin/play_rest.bmp"
  grab skin-user.png
  xdotool mousemove 163 107; sleep 1
  grab skin-user-hover.png
  stop
  # At 2x the window is kept clear of the bottom of the screen.
  QT_SCALE_FACTOR=2 start "Window Left=20" "Window Top=20" "Window Right=288" "Window Bottom=511"
  grab skin-scale2.png 556 1002 30
  stop
' _ "$player" "$work" "$out"

# No pixel of the key green may show.
status=0
for png in "$out"/skin-*.png; do
  n=$(ffmpeg -loglevel error -i "$png" -f rawvideo -pix_fmt rgb24 - | python3 -c '
import sys
d = sys.stdin.buffer.read()
print(sum(1 for i in range(0, len(d), 3) if d[i:i + 3] == b"\x00\xff\x00"))')
  if [ "$n" != 0 ]; then echo "$png: $n pixels of key green" >&2; status=1; fi
done
[ $status = 0 ] && echo "Screenshots in $out"
exit $status
