#!/usr/bin/env bash
# Formats C++ sources in the house style (.clang-format at the top of the
# tree). With file arguments, formats those files; without, every C++ file
# of src/, companions/, tests/ and bench/ that git tracks.
#   scripts/format.sh                  the whole tree, in place
#   scripts/format.sh a.cpp b.h        only these files
#   scripts/format.sh --check [files]  change nothing; list the files that
#                                      would change and exit 1 if any would
# clang-format comes from Debian's clang-format package; CLANG_FORMAT may
# name another binary.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
clang_format="${CLANG_FORMAT:-clang-format}"
if ! command -v "$clang_format" >/dev/null; then
  echo "format.sh: $clang_format not found (apt-get install clang-format)" >&2
  exit 2
fi

check=0
if [ "${1:-}" = "--check" ]; then
  check=1
  shift
fi

files=("$@")
if ((${#files[@]} == 0)); then
  cd "$root"
  mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'companions/*.cpp' 'companions/*.h' \
                                       'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
fi

style="file:$root/.clang-format"
changed=0
for f in "${files[@]}"; do
  if ((check)); then
    if ! "$clang_format" --style="$style" "$f" | cmp -s - "$f"; then
      echo "$f"
      changed=1
    fi
  else
    "$clang_format" --style="$style" -i "$f"
  fi
done
exit $((check && changed))
