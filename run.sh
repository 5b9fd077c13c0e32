#!/usr/bin/env bash
# Installs what the program needs, builds it, prepares the working folder
# (default ~/QZ2025, or the folder given as VORIK_WORKDIR) and starts the
# program there. An existing database is never overwritten. Idempotent.
# A new database gets the receiver named by the VORIK_RECEIVER_* variables
# (README), or the sample receiver. Those variables beside an existing
# database are refused before anything else is done: they would not be used.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"
work="${VORIK_WORKDIR:-$HOME/QZ2025}"
# The user's own receiver from VORIK_RECEIVER_CODE, _NAME, _POSTCODE, _TOWN,
# _ADDRESS and _TAXNUMBER; without any of them the sample receiver.
receiver=()
for part in code name postcode town address taxnumber; do
  var="VORIK_RECEIVER_${part^^}"
  if [ -n "${!var:-}" ]; then receiver+=("--receiver-$part=${!var}"); fi
done
if [ -e "$work/qz2025.fdb" ] && [ ${#receiver[@]} -gt 0 ]; then
  cat >&2 <<EOT
run.sh: $work/qz2025.fdb already exists: the VORIK_RECEIVER_* values were not used,
and the program was not started. A receiver is made only with a new database.
To start with that receiver, choose a working folder without qz2025.fdb
(VORIK_WORKDIR=<folder> ./run.sh) or move the existing qz2025.fdb away;
to open the existing database, unset the VORIK_RECEIVER_* variables.
EOT
  exit 1
fi
bash tools/setup-deps.sh
build="${VORIK_BUILD_DIR:-$here/build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"
mkdir -p "$work"
export FIREBIRD="$build/fbroot"
if [ ! -e "$work/qz2025.fdb" ]; then
  if [ ${#receiver[@]} -eq 0 ]; then receiver=(--sample); fi
  "$build/tools/createdb/vorik-createdb" "${receiver[@]}" "$work/qz2025.fdb"
fi
# The program's layouts: a layout the folder does not have is copied in, and
# one the user has not changed since it was installed (its hash is the one the
# manifest recorded then) is replaced by the new build's. A layout changed in
# the designer is kept, and so is one that differs from the build's in a
# folder installed before the manifest; the new one is put beside it as
# <name>_uj.frf.
manifest="$work/.vorik-layouts.sha256"
installed() { if [ -e "$manifest" ]; then awk -v n="$1" '$2 == n { print $1 }' "$manifest"; fi; }
next_manifest="$(mktemp "$work/.vorik-layouts.XXXXXX")"
kept=()
for layout in "$build"/layouts/*.frf; do
  [ -e "$layout" ] || continue
  name="$(basename "$layout")"
  target="$work/$name"
  new_hash="$(sha256sum <"$layout" | cut -d' ' -f1)"
  if [ -e "$target" ] && ! cmp -s "$layout" "$target"; then
    was="$(installed "$name")"
    if [ -z "$was" ] || [ "$was" != "$(sha256sum <"$target" | cut -d' ' -f1)" ]; then
      cp "$layout" "$work/${name%.frf}_uj.frf"
      kept+=("$name")
      if [ -n "$was" ]; then echo "$was  $name" >>"$next_manifest"; fi
      continue
    fi
  fi
  if [ ! -e "$target" ] || ! cmp -s "$layout" "$target"; then
    cp "$layout" "$target.uj$$"
    mv "$target.uj$$" "$target"
  fi
  rm -f "$work/${name%.frf}_uj.frf"
  echo "$new_hash  $name" >>"$next_manifest"
done
mv "$next_manifest" "$manifest"
if [ ${#kept[@]} -gt 0 ]; then
  echo "run.sh: Ezek a nyomtatási minták eltérnek attól, amit a program a mappába tett (a tervezőben" \
    "módosították őket), ezért megmaradtak; új változatuk mellettük, <név>_uj.frf néven van ($work):" >&2
  for name in "${kept[@]}"; do echo "  $name -> ${name%.frf}_uj.frf" >&2; done
fi
cd "$work"
exec "$build/app/vorik"
