#!/usr/bin/env bash
# Checks the house style (.clang-format) on the C++ files a change touches:
# the .cpp/.h files of src/, companions/, tests/, bench/ and fuzz/ that differ from
# the commit in scripts/format-baseline (deleted files left out). A clone
# without that commit (a shallow one) checks the files of the last commit.
# Exit 1, naming the files and the command that mends them, when one differs
# from clang-format's output. CI runs it before the build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
# CI runs as root, perhaps in a clone another user made; the tree is the one
# it builds and runs anyway, so git may read it.
git() { command git -c safe.directory="$root" "$@"; }

if ! error="$(git rev-parse --is-inside-work-tree 2>&1 >/dev/null)"; then
  echo "check-format: cannot ask git what changed in $root: $error" >&2
  exit 2
fi

baseline="$(awk '!/^[[:space:]]*#/ && $1 ~ /^[0-9a-f]+$/ { print $1; exit }' scripts/format-baseline)"
sources=('src/*.cpp' 'src/*.h' 'companions/*.cpp' 'companions/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
if [ -n "$baseline" ] && git rev-parse --verify --quiet "$baseline^{commit}" >/dev/null; then
  since="$baseline"
  echo "check-format: C++ files changed since $baseline (scripts/format-baseline)"
elif git rev-parse --verify --quiet 'HEAD^' >/dev/null; then
  since=HEAD^
  echo "check-format: the baseline commit ${baseline:-(none given)} is not in this clone (a shallow clone?);" \
       "checking only the files of the last commit"
else
  echo "check-format: neither the baseline commit ${baseline:-(none given)} nor the last commit's parent is in" \
       "this clone (a clone of depth 1); nothing checked. Fetch more history (git fetch --deepen=50) to check."
  exit 0
fi

mapfile -d '' -t files < <(git diff -z --name-only --diff-filter=d "$since" -- "${sources[@]}")
if ((${#files[@]} == 0)); then
  echo "check-format: no C++ file changed; ok"
  exit 0
fi

status=0
output="$(bash scripts/format.sh --check "${files[@]}")" || status=$?
if ((status == 0)); then
  echo "check-format: ${#files[@]} file(s) checked; ok"
  exit 0
fi
if ((status != 1)); then
  exit "$status" # format.sh could not check (it said why)
fi
mapfile -t unformatted <<<"$output"
echo "check-format: these files differ from clang-format's output (.clang-format):"
printf '  %s\n' "${unformatted[@]}"
echo "Format them with:"
echo "  scripts/format.sh$(printf ' %q' "${unformatted[@]}")"
exit 1
