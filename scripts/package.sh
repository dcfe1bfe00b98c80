#!/usr/bin/env bash
# Builds the Debian package of Kinetrope into build/package/ and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cpack -G DEB --config build/CPackConfig.cmake -B build/package >/dev/null
ls -1 "$PWD"/build/package/kinetrope_*.deb
