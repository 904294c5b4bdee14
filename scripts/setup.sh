#!/usr/bin/env bash
# Installs what building and testing Vexa needs and is missing (Debian 12, as root).
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev qt6-base-dev libqt6svg6 fonts-dejavu-core fonts-dejavu-extra
  # the install and package checks: entry and metadata validators, man, dpkg-shlibdeps, file
  desktop-file-utils appstream man-db dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run this as root (or install the packages above yourself)." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
