#!/usr/bin/env bash
# Renders every window of the program (the seven panels, the Simulated Unit window and the
# standard input/output window) to PNG files in docs/screenshots/, without a display: Qt's
# offscreen platform draws them in memory. `--scale 2` renders at 200 % into docs/screenshots/2x/.
set -euo pipefail
cd "$(dirname "$0")/.."

scale=1
out=docs/screenshots
if [[ "${1:-}" == "--scale" ]]; then
  scale="${2:?--scale needs a factor}"
  out="docs/screenshots/${scale}x"
fi

build="${KORVEL_BUILD_DIR:-build}"
if [[ ! -x "$build/apps/korvel/korvel" ]]; then
  scripts/install-deps.sh
  cmake --preset default >/dev/null
  cmake --build --preset default --target korvel
fi

mkdir -p "$out"
out="$(cd "$out" && pwd)"
exe="$(cd "$build/apps/korvel" && pwd)/korvel"
# The program runs in an empty working directory: no settings.cfg to restore, so the windows
# always show the resource's values (the "Restore Error" box is answered by the tour).
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR="$scale" \
  "$exe" --simulate --screenshots "$out" 2> >(grep -v -e 'propagateSizeHints' -e 'does not support raise' -e XDG_RUNTIME_DIR >&2)
