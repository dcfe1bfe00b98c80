#!/usr/bin/env bash
# Runs ctest in the current build folder under a virtual display. When a test fails, its
# failure lines come again at the very end, where a log cut to its last lines still has them.
set -uo pipefail
xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX" ctest "$@"
rc=$?
if [ "$rc" -ne 0 ] && [ -f Testing/Temporary/LastTest.log ]; then
  echo "== what the failing tests said"
  # A failure's place is the line after it; other messages' places are left out.
  grep -E -A1 'FAIL!|QFATAL|Timeout|ERROR: AddressSanitizer|runtime error:|SUMMARY: ' \
    Testing/Temporary/LastTest.log | grep -v -E '^--$' | cut -c1-400 | head -n 40
fi
exit "$rc"
