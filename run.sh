#!/usr/bin/env bash
# Installs what the program needs, builds it, prepares the working folder
# (default ~/QZ2025, or the folder given as VORIK_WORKDIR) and starts the
# program there. An existing database is never overwritten. Idempotent.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"
bash tools/setup-deps.sh
build="${VORIK_BUILD_DIR:-$here/build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"
work="${VORIK_WORKDIR:-$HOME/QZ2025}"
mkdir -p "$work"
export FIREBIRD="$build/fbroot"
if [ ! -e "$work/qz2025.fdb" ]; then
  "$build/tools/createdb/vorik-createdb" --sample "$work/qz2025.fdb"
fi
for layout in "$build"/layouts/*.frf; do
  [ -e "$layout" ] || continue
  [ -e "$work/$(basename "$layout")" ] || cp "$layout" "$work/"
done
cd "$work"
exec "$build/app/vorik"
