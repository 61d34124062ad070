#!/usr/bin/env bash
# Installs what is missing, builds wux and starts it, with an optional file to open.
set -euo pipefail
# The caller's folder stays the current one: the default document and relative names
# given on the command line are the caller's.
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "wux: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session or under Xvfb."
  exit 1
fi
"$here/scripts/deps.sh" --run
# The browser engine refuses to start its sandbox as root.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the program: the tests and benchmarks are ./test.sh's.
cmake --build "$here/build" -j"$jobs" --target wux
if [ ! -x "$here/build/src/app/wux" ]; then
  echo "wux: the main window is not built yet; only the document model and its tests exist."
  exit 0
fi
exec "$here/build/src/app/wux" "$@"
