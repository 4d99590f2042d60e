#!/usr/bin/env bash
# Installs what is missing, builds, registers the printer page and starts the console.
# Arguments go to the console (qm6admin --help). Without them it opens the demo site.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Without a display the console can only be served over VNC, and Qt's VNC server has no
# password: any local account could connect and use the console. That needs the user's word.
vnc=${QM6_ALLOW_VNC:-}
asked=
for a in "$@"; do
  case "$a" in
    --vnc) vnc=1 ;;
    -platform|--help|-h) asked=1 ;;
  esac
done
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "$asked" ]; then
  if [ "$vnc" != 1 ]; then
    cat >&2 <<'EOF'
There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set). Start the console where
there is one, for example:
  xvfb-run -a ./scripts/run.sh     (a virtual display on this computer)
  ssh -X you@this-computer         (then ./scripts/run.sh shows the window on your screen)
Or, knowing that Qt's VNC server has no password so that any local account can connect and use
the console with your rights, serve it over VNC on 127.0.0.1:
  ./scripts/run.sh --vnc           (or QM6_ALLOW_VNC=1 ./scripts/run.sh; QM6_VNC_PORT picks the port)
EOF
    exit 3
  fi
  echo "There is no display here, so the console is served over VNC on 127.0.0.1, as you asked."
fi

scripts/install-deps.sh
build=${QM6_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Every program the README names, and everything `cmake --install` lays out.
cmake --build "$build" --target qm6admin qm6data QM6AdminPrinters QM6DataAccess QM6HostApi qm6register qm6lang

# The build registers the page in the build tree's own registry store.
export QM6_REGISTRY_DIR="$root/$build/registry"
# Without a display and with --vnc or QM6_ALLOW_VNC=1, qm6admin serves itself over VNC on
# 127.0.0.1 (port QM6_VNC_PORT, default 5900) and warns on this terminal.
exec "$build/bin/qm6admin" "$@"
