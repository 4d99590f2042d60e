#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need, when missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  libqt6sql6-sqlite libqt6sql6-psql libgl-dev
  libsqlite3-dev sqlite3
  libpq-dev            # the printer list reads PostgreSQL through libpq directly
  postgresql
  qt6-qpa-plugins
  qt6-translations-l10n   # Qt's own dialogs (Yes, No, Cancel, the font dialog) in the user's language
  fonts-freefont-ttf   # glyphs for the control pictures (U+2400...) the grid shows for control characters
  xvfb xauth
  python3   # an independent CSV reader for the tests of the page's Export List
  # useradd and runuser: the registry store suite reads the machine store as a second user.
  passwd util-linux
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then sudo_cmd=(sudo); else
    echo "These packages are missing and installing them needs root: ${missing[*]}" >&2; exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
