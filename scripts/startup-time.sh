#!/usr/bin/env bash
# Measures how long `korvel --simulate` takes until its main window is painted, over several
# starts, on Qt's offscreen platform and (when xvfb-run is there) on a virtual X display.
# Usage: scripts/startup-time.sh [runs]   (KORVEL_BUILD_DIR picks the build, default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
exe="${KORVEL_BUILD_DIR:-build}/apps/korvel/korvel"
[[ -x "$exe" ]] || { echo "build the program first: cmake --build --preset default" >&2; exit 1; }

# Runs the program `runs` times and prints the median times (ms) and the slowest start.
measure() {
  local label="$1"; shift
  local samples
  samples=$(for _ in $(seq "$runs"); do "$@" "$exe" --simulate --startup-time 2>/dev/null; done |
    sed -nE 's/.*painted ([0-9.]+) ms after main\(\) and ([0-9]+) ms.*/\1 \2/p')
  local main proc
  main=$(echo "$samples" | cut -d' ' -f1 | sort -n)
  proc=$(echo "$samples" | cut -d' ' -f2 | sort -n)
  local n
  n=$(echo "$main" | wc -l)
  printf '%-10s %2d runs: median %s ms after main(), %s ms after process creation (slowest %s ms)\n' \
    "$label" "$n" "$(echo "$main" | sed -n "$(((n + 1) / 2))p")" \
    "$(echo "$proc" | sed -n "$(((n + 1) / 2))p")" "$(echo "$proc" | tail -1)"
}

measure offscreen env QT_QPA_PLATFORM=offscreen
if command -v xvfb-run >/dev/null; then
  measure xvfb xvfb-run -a env -u QT_QPA_PLATFORM
fi
