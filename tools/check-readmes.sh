#!/usr/bin/env bash
# Every unit is named in its folder's README.md (or, for a folder without one,
# in the closest README above it): a .cpp/.h pair by its name without the
# extension, a script by its file name. Prints each unit not named; fails when
# there is one.
set -uo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
cd "$root" || exit 2
status=0
while IFS= read -r dir; do
  readme="$dir"
  while [ ! -f "$readme/README.md" ] && [ "$readme" != . ]; do readme="$(dirname "$readme")"; done
  readme="$readme/README.md"
  names="$(find "$dir" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) -printf '%f\n' | sed 's/\.[^.]*$//'
           find "$dir" -maxdepth 1 -type f \( -name '*.sh' -o -name '*.py' \) -printf '%f\n')"
  for name in $(sort -u <<<"$names"); do
    grep -qwF -- "$name" "$readme" || { echo "${readme#./} does not name ${dir#./}/$name"; status=1; }
  done
done < <(find . -path ./.git -prune -o -path './build*' -prune -o -type f \
              \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.py' \) -printf '%h\n' | sort -u)
exit $status
