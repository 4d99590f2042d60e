#!/usr/bin/env bash
# Takes the README's screenshots of the console from real runs under Xvfb, driving the console
# with the mouse and keyboard as a user would (xdotool) and grabbing the screen (ImageMagick).
# Needs a build (./scripts/run.sh or ./scripts/test.sh made one) and, once, as root:
#   apt-get install xdotool imagemagick
# Writes docs/*.png. The editor's screenshots come from build/bin/editor_shots.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM6_BUILD_DIR:-$root/build}
work=$(mktemp -d /tmp/qm6-shots.XXXXXX)
trap 'rm -rf "$work"' EXIT
for tool in xdotool import xvfb-run; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xdotool imagemagick xvfb" >&2; exit 1; }
done

# One console run: a fresh demo site (or --database), a window of 1100 x 720, then the steps.
cat >"$work/session.sh" <<'EOF'
#!/usr/bin/env bash
# session.sh DATA REGISTRY OUT STEPS [console arguments...]
set -u
data=$1 registry=$2 out=$3 steps=$4; shift 4
export XDG_DATA_HOME=$data QM6_REGISTRY_DIR=$registry
"$QM6_ADMIN" "$@" &
pid=$!
wid=$(xdotool search --sync --name "Quillmark" | head -1)
sleep 3
xdotool windowsize "$wid" 1100 720; xdotool windowmove "$wid" 0 0; sleep 1
shot() { import -window root -crop 1100x720+0+0 "$1"; }
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.7}"; }
case $steps in
  plain) ;;
  font20)   # View > Font..., size 20, OK
    click 59 8; click 80 30 1.5; xdotool mousemove 743 175 click --repeat 3 1; xdotool type 20; click 652 476 2 ;;
  filtered) # 30 rows down, then the type filter set to Local
    xdotool mousemove 500 500; for _ in $(seq 10); do xdotool click 5; sleep 0.1; done
    click 344 187; click 240 254 1.5 ;;
  batchform) # every printer selected, Edit, a model typed
    click 300 281; xdotool windowfocus "$wid"; xdotool key ctrl+a; sleep 1
    click 76 45 2; click 538 347 0.3; xdotool type "LaserJet M607"; sleep 0.3 ;;
  progress)  # ... then Update, Yes, and a moment into the run
    click 300 281; xdotool windowfocus "$wid"; xdotool key ctrl+a; sleep 1
    click 76 45 2; click 538 347 0.3; xdotool type "LaserJet M607"; click 694 291 1.5; click 652 346 2.5 ;;
esac
shot "$out"
kill "$pid"; wait "$pid" 2>/dev/null || true
exit 0
EOF
chmod +x "$work/session.sh"
export QM6_ADMIN=$build/bin/qm6admin

session() {   # NAME STEPS [console arguments...]
  local name=$1 steps=$2; shift 2
  rm -rf "$work/data" "$work/registry"; mkdir "$work/data"; cp -r "$build/registry" "$work/registry"
  xvfb-run -a -s "-screen 0 1280x800x24" "$work/session.sh" "$work/data" "$work/registry" "$root/docs/$name.png" "$steps" "$@"
  echo "docs/$name.png"
}

session console plain
session console-french plain --language 1036
session console-font-20pt font20
session list-scrolled-then-filtered filtered
"$build/bin/qm6data" init "sqlite:$work/big.db" >/dev/null
"$build/bin/qm6data" generate "sqlite:$work/big.db" --printers 30000 --aliases-per-printer 0.3 >/dev/null
session batch-update batchform --database "sqlite:$work/big.db"
session batch-progress progress --database "sqlite:$work/big.db"
