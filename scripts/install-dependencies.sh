#!/usr/bin/env bash
# Installs what building and testing Corvanta needs on Debian 12, and nothing more.
set -euo pipefail

# xdg-utils: xdg-open, through which Execute opens a file with its program; file: CPack's
# dependency lookup; desktop-file-utils, appstream, shared-mime-info: the desktop data's checks.
packages=(build-essential cmake ninja-build qt6-base-dev qt6-image-formats-plugins adwaita-icon-theme fonts-dejavu-core
          xdg-utils desktop-file-utils appstream shared-mime-info file)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
