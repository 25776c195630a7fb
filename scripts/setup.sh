#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks (when run as root) and builds
# Tarvo into build/. Sourced by run-station.sh and run-tests.sh. With
# TARVO_PACKAGES_ONLY=1 it installs the packages and builds nothing (CI
# checks the format first).
set -euo pipefail
TARVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TARVO_BUILD="${TARVO_BUILD:-$TARVO_ROOT/build}"

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libsqlite3-dev libfontconfig-dev libgtest-dev libgmock-dev libbenchmark-dev dbus dbus-daemon
          libglib2.0-bin srecord xvfb xauth python3 python3-dbus python3-gi poppler-utils git clang-format
          clang libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" = 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "Missing Debian packages (run this command as root once to install them): ${missing[*]}" >&2
    exit 1
  fi
fi

if [ "${TARVO_PACKAGES_ONLY:-0}" = 1 ]; then
  return 0 2>/dev/null || exit 0
fi

cmake -S "$TARVO_ROOT" -B "$TARVO_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$TARVO_BUILD" --parallel "$(nproc)"
