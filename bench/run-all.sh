#!/usr/bin/env bash
# Builds the player in release mode, runs every benchmark of the project and prints one
# table: each figure, ours, each peer's (mpv's and VLC's command lines, or the reference
# the figure names), the ratios and the goal. Exits 1 when a goal is missed.
#   bench/run-all.sh            the full run (about 20 minutes on 2 cores)
#   bench/run-all.sh --quick    fewer and shorter rounds, to try things (about 6 minutes)
# Runs as root: installs VLC (Debian's vlc) when missing and creates the unprivileged user
# VLC is run as (it refuses root). Everything runs on a virtual display of its own with
# software OpenGL and no sound device. Logs of every benchmark go to $BUILD/bench-logs.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
QUICK=
[[ ${1:-} == --quick ]] && QUICK=--quick
BUILD=${KT_BENCH_BUILD:-$ROOT/build-release}
VLC_USER=ktbench
MEDIA=/tmp/kt-bench-media
LOGS=$BUILD/bench-logs

if [[ ! -x /usr/bin/cvlc ]]; then
  echo "Installing VLC (the peer; not needed to build or test)..."
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q vlc >/dev/null || { echo "VLC could not be installed" >&2; exit 2; }
fi
# glxinfo names the OpenGL renderer in the table.
[[ -x /usr/bin/glxinfo ]] || DEBIAN_FRONTEND=noninteractive apt-get install -y -q mesa-utils >/dev/null
for tool in mpv ffmpeg Xvfb setpriv; do
  command -v $tool >/dev/null || { echo "$tool is needed (scripts/install-deps.sh)" >&2; exit 2; }
done
id -u $VLC_USER >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin $VLC_USER

echo "Building in release mode into $BUILD..."
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release "${LAUNCHER[@]}" >/dev/null || exit 2
BENCHES=(bench_peers bench_playlist bench_idle bench_playback bench_digital_display bench_skin_widgets
  bench_colour_chooser bench_mixer bench_update bench_disc bench_dvd)
cmake --build "$BUILD" --target kinetrope "${BENCHES[@]}" >/dev/null || { echo "build failed" >&2; exit 2; }

# The clips: every one carries a magenta band over its top eighth, the mark by which a
# first picture is seen on the screen, the same way for every player.
mkdir -p "$MEDIA/vcd/MPEGAV"
chmod 755 "$MEDIA" "$MEDIA/vcd" "$MEDIA/vcd/MPEGAV"
BAND="drawbox=x=0:y=0:w=iw:h=ih/8:color=0xFF00FF:t=fill"
clip() { # name, ffmpeg arguments...
  local out=$MEDIA/$1; shift
  [[ -s $out ]] && return
  ffmpeg -nostdin -loglevel error -y "$@" "$out.part.${out##*.}" && mv "$out.part.${out##*.}" "$out"
}
echo "Making the clips in $MEDIA..."
clip sd-mpeg1.mpg -f lavfi -i "testsrc2=size=352x240:rate=30000/1001:duration=20" -f lavfi -i "sine=frequency=440:duration=20" \
  -vf "$BAND" -c:v mpeg1video -b:v 1150k -c:a mp2 -b:a 224k -ar 44100 -f mpeg
clip vcd/MPEGAV/AVSEQ01.DAT -f lavfi -i "testsrc2=size=352x240:rate=30000/1001:duration=20" -f lavfi -i "sine=frequency=440:duration=20" \
  -vf "$BAND" -target ntsc-vcd -f vcd
clip hd-h264.mp4 -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=32" -f lavfi -i "sine=frequency=440:duration=32" \
  -vf "$BAND" -c:v libx264 -preset veryfast -g 60 -pix_fmt yuv420p -c:a aac -shortest
clip sd-h264.mp4 -f lavfi -i "testsrc2=size=720x480:rate=30000/1001:duration=20" -f lavfi -i "sine=frequency=440:duration=20" \
  -vf "$BAND" -c:v libx264 -preset veryfast -g 60 -pix_fmt yuv420p -c:a aac -shortest
chmod -R a+rX "$MEDIA"

# A display of our own that VLC's user may use too.
DISPLAY_NO=91
while [[ -e /tmp/.X11-unix/X$DISPLAY_NO || -e /tmp/.X$DISPLAY_NO-lock ]]; do DISPLAY_NO=$((DISPLAY_NO + 1)); done
Xvfb :$DISPLAY_NO -screen 0 1920x1080x24 +extension GLX -ac -nolisten tcp -noreset >/dev/null 2>&1 &
XVFB_PID=$!
trap 'kill $XVFB_PID 2>/dev/null' EXIT
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$DISPLAY_NO ]] && break; sleep 0.1; done
export DISPLAY=:$DISPLAY_NO LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb
unset PULSE_SERVER DBUS_SESSION_BUS_ADDRESS

# One sound server with a null sink for every player, as a desktop has; VLC's user may use it.
PULSE_DIR=/tmp/kt-bench-pulse
rm -rf "$PULSE_DIR"; mkdir -p "$PULSE_DIR/run" "$PULSE_DIR/config"; chmod 755 "$PULSE_DIR"
XDG_RUNTIME_DIR=$PULSE_DIR/run XDG_CONFIG_HOME=$PULSE_DIR/config DBUS_SESSION_BUS_ADDRESS=disabled: \
  pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --log-target=file:$PULSE_DIR/pulse.log \
  --load="module-null-sink sink_name=bench_sink" \
  --load="module-native-protocol-unix auth-anonymous=1 socket=$PULSE_DIR/native" >/dev/null 2>&1 &
PULSE_PID=$!
trap 'kill $XVFB_PID $PULSE_PID 2>/dev/null' EXIT
for _ in $(seq 50); do [[ -S $PULSE_DIR/native ]] && break; sleep 0.1; done
chmod 777 "$PULSE_DIR/native" 2>/dev/null
export PULSE_SERVER=unix:$PULSE_DIR/native

mkdir -p "$LOGS"
LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
START=$(date +%s)
ROWS=$LOGS/rows.txt
: >"$ROWS"

run() { # log name, command...
  local name=$1; shift
  echo "== $name"
  timeout 1800 "$@" >"$LOGS/$name.log" 2>&1
  local rc=$?
  [[ $rc -ne 0 ]] && echo "   ($name exited with $rc; see $LOGS/$name.log)"
  grep '^ROW|' "$LOGS/$name.log" >>"$ROWS"
  return 0
}

run peers "$BUILD/bench/peers/bench_peers" --media "$MEDIA" --vlc-user $VLC_USER $QUICK
run playlist "$BUILD/bench/playlist/bench_playlist"
# The playlist's figures against reading the file once.
awk '/^reference: readAll/ {ref=$(NF-1)}
     /^start from a playlist file/ {start=$(NF-1)}
     /^1000 random advances/ {adv=$(NF-1)}
     END {if (ref != "") {
       printf "ROW|playlist start, 100,000 entries|ms|%s|-|read=%s/-|-\n", start, ref
       printf "ROW|playlist, 1000 random advances|ms|%s|-|read=%s/-|-\n", adv, ref }}' \
  "$LOGS/playlist.log" >>"$ROWS"
if [[ -z $QUICK ]]; then
  run idle "$BUILD/bench/app/bench_idle" 10
  run playback "$BUILD/bench/playback/bench_playback"
  for b in bench_digital_display bench_skin_widgets bench_colour_chooser bench_mixer bench_update bench_disc bench_dvd; do
    run "$b" "$(find "$BUILD/bench" -name "$b" -type f | head -1)"
  done
fi
LOAD_AFTER=$(cut -d' ' -f1-3 /proc/loadavg)

echo
echo "Kinetrope $(git -C "$ROOT" describe --always --dirty) against $(mpv --version | head -1 | cut -d' ' -f1-2)" \
  "and $(dpkg-query -W -f='VLC ${Version}' vlc 2>/dev/null)${QUICK:+ (quick run)}"
echo "$(nproc) cores; load average before $LOAD_BEFORE, after $LOAD_AFTER; $(( ($(date +%s) - START) / 60 )) min;" \
  "renderer: $(LIBGL_ALWAYS_SOFTWARE=1 glxinfo -B 2>/dev/null | sed -n 's/.*OpenGL renderer string: //p' | cut -c1-40)"
echo "Medians, ± the spread between the quartiles; ratio = ours / theirs."
echo
# figure | ours | each peer | ratios | goal | verdict
awk -F'|' '
function ok(goal, ours, peers,   n, g, i, name, lim, op, v) {
  if (goal == "-") return "";
  n = split(goal, g, " ");
  for (i = 1; i <= n; i++) {
    if (g[i] ~ /^</) { lim = substr(g[i], 2); if (!(ours + 0 < lim + 0)) return "MISSED"; continue; }
    split(g[i], op, "<=");
    name = op[1]; lim = op[2];
    if (!(name in peers)) continue;
    v = peers[name];
    if (v == "-" || ours == "-") return "MISSED";
    if (v + 0 > 0 && ours / v > lim + 0.0000001) return "MISSED";
  }
  return "met";
}
{
  delete peers;
  np = split($6, p, ";"); pt = ""; rt = "";
  for (i = 1; i <= np; i++) {
    split(p[i], kv, "="); split(kv[2], vs, "/");
    peers[kv[1]] = vs[1];
    pt = pt sprintf("%s %s%s  ", kv[1], vs[1], vs[2] != "-" ? "±" vs[2] : "");
    if (vs[1] != "-" && vs[1] + 0 > 0 && $4 != "-") rt = rt sprintf("%s %.2f  ", kv[1], $4 / vs[1]);
  }
  v = ok($7, $4, peers);
  if (v == "MISSED") missed++;
  printf "%-42s %-7s %-16s %-58s %-34s %-26s %s\n", $2, $3, $4 ($5 != "-" ? "±" $5 : ""), pt, rt, $7, v;
}
END { exit missed > 0 }' "$ROWS" | tee "$LOGS/table.txt"
status=${PIPESTATUS[0]}
[[ $status -ne 0 ]] && echo && echo "Goals missed: see the rows marked MISSED."
exit $status
