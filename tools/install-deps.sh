#!/usr/bin/env bash
# Installs everything Gridwell builds and tests with, from Debian's packages.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config clang libclang-rt-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libxlsxwriter-dev libzip-dev libexpat1-dev zlib1g-dev
  python3 python3-ezdxf python3-openpyxl)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
