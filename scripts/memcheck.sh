#!/usr/bin/env bash
# Runs the window tour (`korvel --simulate --tour`: every window opened, closed again, program
# left through File > Quit Without Saving) under valgrind on Qt's offscreen platform, and fails on
# any memory error or definite/indirect leak.
# KORVEL_BUILD_DIR picks the build (default build/). With --xvfb the tour runs on a virtual X
# display instead; the X platform then brings reports from system libraries (glib, fontconfig,
# libxcb) that are not this program's.
set -euo pipefail
cd "$(dirname "$0")/.."
exe="${KORVEL_BUILD_DIR:-build}/apps/korvel/korvel"
[[ -x "$exe" ]] || { echo "build the program first: cmake --build --preset default" >&2; exit 1; }

runner=(env QT_QPA_PLATFORM=offscreen)
if [[ "${1:-}" == "--xvfb" ]]; then runner=(xvfb-run -a env -u QT_QPA_PLATFORM); fi

"${runner[@]}" valgrind --leak-check=full --show-leak-kinds=definite,indirect \
  --errors-for-leak-kinds=definite,indirect --error-exitcode=3 --num-callers=30 \
  "$exe" --simulate --tour
