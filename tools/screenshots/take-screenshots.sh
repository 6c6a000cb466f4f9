#!/bin/sh
# Captures the main window (no database, a database open, locked) and the
# account editor under a virtual X display and writes the PNGs to
# docs/screenshots/.
#
# Usage: tools/screenshots/take-screenshots.sh [build folder] [output folder]
# Needs: xvfb (xvfb-run), xauth, qt6-qpa-plugins (the xcb platform) and a
# font (fonts-dejavu-core).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
out=${2:-$root/docs/screenshots}

cmake --build "$build" --target lockwell_screenshots
driver=$(find "$build" -name lockwell_screenshots -type f -perm -u+x | head -n 1)
if [ -z "$driver" ]; then
  echo "lockwell_screenshots was not built in $build" >&2
  exit 1
fi
xvfb-run -a -s "-screen 0 1024x600x24" env QT_QPA_PLATFORM=xcb "$driver" "$out"
