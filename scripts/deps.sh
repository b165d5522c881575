#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when any is missing.
# Usage: scripts/deps.sh
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libsdl2-dev libcairo2-dev libpango1.0-dev libfontconfig-dev libfreetype-dev
  libpng-dev zlib1g-dev
  fonts-wine fonts-dejavu-core fonts-font-awesome
  libgtest-dev libgmock-dev libbenchmark-dev
  # The end-to-end tests and the demo's screenshots: a real X server driven from scripts.
  xvfb xauth xdotool imagemagick x11-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO=sudo
  else
    cat >&2 <<MSG
These Debian packages are missing: ${missing[*]}
Installing them needs root. Run this command again as root, or install them first:
  sudo apt-get update && sudo apt-get install -y ${missing[*]}
MSG
    exit 1
  fi
else
  SUDO=
fi

export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get update -qq; then
  echo "apt-get update failed: is the network (or the Debian mirror) reachable?" >&2
  exit 1
fi
if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  cat >&2 <<MSG
apt-get could not install: ${missing[*]}
Check the network connection and the APT sources (Debian 12 "bookworm" is expected),
then run this command again.
MSG
  exit 1
fi
