#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need. Safe to run again.
set -euo pipefail
PKGS=(cmake g++ make qt6-base-dev libsqlcipher-dev libicu-dev
      xvfb xauth fonts-noto-cjk poppler-utils libgl1-mesa-dev qt6-translations-l10n
      xdotool libxlsxwriter-dev python3-openpyxl)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
