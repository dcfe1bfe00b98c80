#!/usr/bin/env bash
# Runs a test on an X display of its own: tests that move the real pointer, start a status
# area or stack windows at the same places must not meet another test running meanwhile.
# Xvfb picks a free display number itself (-displayfd), so parallel starts never collide.
set -u
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1920x1080x24 +extension GLX -nolisten tcp 3>"$fifo" 2>/dev/null &
server=$!
read -r -t 20 number <"$fifo"
rm -f "$fifo"
if [ -z "${number:-}" ]; then
  echo "own-display: Xvfb did not start" >&2
  kill "$server" 2>/dev/null
  exit 1
fi
export DISPLAY=":$number"
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
