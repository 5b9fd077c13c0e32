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


# Each entry of a README ("- " and its indented continuation lines) on one line.
entries() {
  awk '/^- /{if (e) print e; e=substr($0,3); next} /^  [^ ]/ && e {sub(/^ +/," "); e=e $0; next}
       {if (e) print e; e=""} END{if (e) print e}' "$1"
}

# A name in backticks on a unit's line belongs to that unit: one that the unit's files do not contain
# while another unit of the same folder does was written on the wrong line.
while IFS= read -r readme; do
  dir="$(dirname "$readme")"
  while IFS= read -r entry; do
    head="${entry%%[:—]*}"
    [ "$head" != "$entry" ] || continue
    body="${entry#"$head"}"
    files=()
    for unit in $(tr -c 'A-Za-z0-9_.\n' ' ' <<<"$head" | sed 's/\.\(h\|cpp\)\b//g'); do
      for f in "$dir/$unit.h" "$dir/$unit.cpp"; do [ -f "$f" ] && files+=("$f"); done
    done
    [ ${#files[@]} -gt 0 ] || continue
    for name in $(grep -o '`[A-Za-z_][A-Za-z0-9_]*`' <<<"$body" | tr -d '`' | sort -u); do
      [ ! -f "$dir/$name.h" ] && [ ! -f "$dir/$name.cpp" ] || continue
      grep -qw -- "$name" "${files[@]}" && continue
      other="$(grep -lw -- "$name" "$dir"/*.h "$dir"/*.cpp 2>/dev/null | head -1)"
      [ -z "$other" ] || { echo "${readme#./} names $name on the line of ${head//\`/}; it is in ${other#./}"; status=1; }
    done
  done < <(entries "$readme")
done < <(find . -path ./.git -prune -o -path './build*' -prune -o -name README.md -print)
exit $status
