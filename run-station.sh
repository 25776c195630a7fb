#!/usr/bin/env bash
# Sets up the machine, builds Tarvo and starts the station on the simulated
# programmer. Extra arguments go to the program (e.g. -device "...").
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
exec "$TARVO_BUILD/bin/tarvo" "$@"
