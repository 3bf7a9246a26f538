#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demonstration need.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libexpat1-dev libcairo2-dev libfontconfig-dev fonts-dejavu-core
  libsndfile1-dev
  libx11-dev libxtst-dev xvfb xauth xdotool
  clang libclang-rt-14-dev
  llvm # llvm-symbolizer: readable stacks in the sanitizer reports of the clang (fuzz) build
  python3 sox binutils locales
)
# The third-party host check (Ardour's VST3 scanner and headless session tool).
if [ "${PALVIS_WITH_ARDOUR:-1}" = 1 ]; then
  PACKAGES+=(ardour)
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then
  SUDO="sudo"
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

# A locale with a decimal comma, for the tests that check number formatting
# does not follow the host's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: de_DE.UTF-8 locale not generated"
fi
