#!/usr/bin/env bash
# Builds Tarvo with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ (benchmarks off) and runs every test under them. Any
# finding ends the program that made it, so the test fails. Leaks are
# reported too; tests/lsan.supp silences only leaks inside Qt's and the
# system's own libraries. The machine must be set up (scripts/setup.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TARVO_SANITIZE_BUILD:-$root/build-sanitize}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_SANITIZE=ON \
      -DTARVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# The parsers' fuzz harnesses, each for a short fixed time, before the
# tests, so that the test run's summary is the last thing this prints.
bash "$root/scripts/fuzz.sh"

export QT_QPA_PLATFORM=offscreen
# Allocation stacks are unwound from the unwind tables, so that one made inside
# Qt shows who asked for it (see tests/lsan.supp); twelve frames say that and
# keep the run about half as slow as the default thirty.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:fast_unwind_on_malloc=0:malloc_context_size=12"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" "$@"
