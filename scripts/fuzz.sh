#!/usr/bin/env bash
# Builds the libFuzzer harnesses (fuzz/) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, and runs each for a fixed time
# (TARVO_FUZZ_SECONDS, 15 by default) from its seed corpus (fuzz/corpus/),
# the regression inputs among them. A finding ends the harness with the
# input that made it, and this script fails. Prints the executions per
# harness. The machine must be set up (scripts/setup.sh: clang).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TARVO_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${TARVO_FUZZ_SECONDS:-15}"
jobs="${TARVO_FUZZ_JOBS:-$(nproc)}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_FUZZ=ON \
    -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$jobs" --target fuzz_harnesses qxalg_db

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"

# Seeds made here: the shipped algorithm database, and a copy whose custom
# action is numbered -1 (it once crashed the engine at start).
seeds="$build/generated-seeds"
rm -rf "$seeds" && mkdir -p "$seeds/algorithm_database"
cp "$build/bin/qxalg.db" "$seeds/algorithm_database/qxalg.db"
cp "$build/bin/qxalg.db" "$seeds/algorithm_database/negative-custom-action.db"
python3 - "$seeds/algorithm_database/negative-custom-action.db" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.executescript("""
PRAGMA ignore_check_constraints = ON;
CREATE TEMP TABLE first AS SELECT device FROM custom_procedure WHERE action = 0 LIMIT 1;
UPDATE custom_action SET position = -1 WHERE position = 0 AND device IN temp.first;
UPDATE custom_procedure SET action = -1 WHERE action = 0 AND device IN temp.first;
""")
db.commit()
PY

summary=()
for harness in "$build"/bin/fuzz_*; do
    name="${harness##*/fuzz_}"
    work="$build/corpus/$name"
    mkdir -p "$work"
    log="$build/fuzz_$name.log"
    # Every regression input and seed is run once as it is, then the fuzzing
    # goes on from them for the fixed time.
    corpora=("$work" "$root/fuzz/corpus/$name")
    [ -d "$seeds/$name" ] && corpora+=("$seeds/$name")
    if ! "$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=262144 \
        -artifact_prefix="$build/crash-$name-" "${corpora[@]}" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "fuzz_$name: a finding (the input is in $build/crash-$name-*)" >&2
        exit 1
    fi
    runs="$(grep -o 'Done [0-9]* runs' "$log" | tail -n1 | grep -o '[0-9]*')"
    summary+=("fuzz_$name: ${runs:-?} executions in ${seconds} s")
done
printf '%s\n' "${summary[@]}"
