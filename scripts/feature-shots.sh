#!/usr/bin/env bash
# Screenshots of subtitles, audio tracks, Open URL and the screenshot command, taken under
# Xvfb from the built player: scripts/feature-shots.sh [output folder] (docs/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"
player="$PWD/build/src/kinetrope"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$out" "$work/films" "$work/config/Ostrevan" "$work/data" "$work/home"

# A film with two sound tracks and two subtitle tracks, and one with its .srt beside it.
printf '1\n00:00:00,000 --> 00:00:30,000\nThe subtitles come from film.srt\n' > "$work/films/film.srt"
printf '1\n00:00:00,000 --> 00:00:30,000\nEnglish subtitle track\n' > "$work/en.srt"
printf '1\n00:00:00,000 --> 00:00:30,000\nDeutsche Untertitel\n' > "$work/de.srt"
ffmpeg -v error -f lavfi -i testsrc=size=640x360:rate=25:duration=30 -f lavfi -i sine=f=440:d=30 \
  -c:v libx264 -preset ultrafast -c:a aac "$work/films/film.mp4"
ffmpeg -v error -f lavfi -i testsrc2=size=640x360:rate=25:duration=30 -f lavfi -i sine=f=440:d=30 \
  -f lavfi -i sine=f=660:d=30 -i "$work/en.srt" -i "$work/de.srt" -map 0 -map 1 -map 2 -map 3 -map 4 \
  -c:v libx264 -preset ultrafast -c:a aac -c:s srt -metadata:s:a:0 language=eng -metadata:s:a:0 title=English \
  -metadata:s:a:1 language=fra -metadata:s:a:1 title=Français -metadata:s:s:0 language=eng \
  -metadata:s:s:1 language=ger -metadata:s:s:1 title=Deutsch "$work/films/tracks.mkv"
ffmpeg -v error -i "$work/films/film.mp4" -c copy -f mpegts "$work/films/stream.ts"

export LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  HOME="$work/home"
printf '[Kinetrope]\nAutoDropPlay=1\nSplashDisable=1\nAutoUpdateNotification=0\n' > "$work/config/Ostrevan/kinetrope.conf"
(cd "$work/films" && exec python3 -m http.server 8719 --bind 127.0.0.1 >/dev/null 2>&1) &

xvfb-run -a -s "-screen 0 1280x720x24 +extension GLX" bash -c '
  set -e
  player=$1 work=$2 out=$3
  grab() { sleep "${2:-1}"; ffmpeg -loglevel error -y -f x11grab -video_size 1280x720 -i "$DISPLAY" -frames:v 1 "$out/$1"; }
  menu() { xdotool mousemove 120 330 click 3; sleep 1; for i in $(seq "$1"); do xdotool key Down; done; xdotool key Right; }
  "$player" "$work/films/film.mp4" & pid=$!
  grab features-subtitles-beside.png 15
  xdotool key F12
  grab features-screenshot-saved.png 1
  cp "$work"/home/Pictures/*.png "$out/features-screenshot-file.png"
  kill $pid; wait $pid 2>/dev/null || true
  "$player" "$work/films/tracks.mkv" & pid=$!
  sleep 12; xdotool key p
  menu 8; grab features-audio-tracks.png 1
  xdotool key Escape Escape Escape
  menu 7; grab features-subtitle-tracks.png 1
  xdotool key Escape Escape Escape
  sleep 1; xdotool mousemove 120 330 click 1 key ctrl+u
  sleep 1; xdotool type --delay 20 "http://127.0.0.1:8719/stream.ts"
  grab features-open-url.png 1
  xdotool key Return
  grab features-stream-playing.png 8
  kill $pid; wait $pid 2>/dev/null || true
' _ "$player" "$work" "$out"
echo "Screenshots in $out"
