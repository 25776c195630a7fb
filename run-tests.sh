#!/usr/bin/env bash
# Sets up the machine, builds Tarvo and runs every test (headless).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
cd "$TARVO_BUILD"
ctest --output-on-failure --parallel "$(nproc)" "$@"
