#!/usr/bin/env bash
# Installs what is missing, builds, registers the printer page and starts the console.
# Arguments go to the console (qm6admin --help). Without them it opens the demo site.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
build=${QM6_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target qm6admin QM6AdminPrinters qm6register qm6lang

# The build registers the page in the build tree's own registry store.
export QM6_REGISTRY_DIR="$root/$build/registry"
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  port=${QM6_VNC_PORT:-5900}
  echo "There is no display here, so the console is served over VNC instead:"
  echo "connect a VNC viewer to 127.0.0.1:$port (for example: vncviewer 127.0.0.1::$port). Ctrl+C stops it."
  export QT_QPA_PLATFORM="vnc:size=1280x800:port=$port"
fi
exec "$build/bin/qm6admin" "$@"
