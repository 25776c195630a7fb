#!/usr/bin/env bash
# Sets up the machine, builds Tarvo and starts the station on the simulated
# programmer. Extra arguments go to the program (e.g. -device "...").
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
# Bus clients can start this build's station (tarvo -Embedding).
services="${XDG_DATA_HOME:-$HOME/.local/share}/dbus-1/services"
mkdir -p "$services"
cp "$TARVO_BUILD/bin/dbus-1/services/com.corvane.Tarvo.service" "$services/"
exec "$TARVO_BUILD/bin/tarvo" "$@"
