#!/usr/bin/env bash
# Installs every Debian package Velmora needs to build, run, test and benchmark.
# Idempotent: packages already present are left alone. Works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
  libqt6svg6 qt6-qpa-plugins
  libgtest-dev libgmock-dev
  libsqlite3-dev sqlite3 libxlsxwriter-dev unixodbc unixodbc-dev libsqliteodbc odbc-postgresql
  postgresql rsyslog
  python3 python3-openpyxl python3-xlrd
  xvfb xdotool xauth x11-utils imagemagick librsvg2-bin
  hyperfine time fonts-dejavu-core ccache
  desktop-file-utils appstream libxml2-utils shared-mime-info dpkg-dev groff-base
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
