#!/usr/bin/env bash
# Installs the Debian packages the project needs. Idempotent; works as root or through sudo.
# Both Liberation font packages, as a desktop with an office suite has them: the tests then
# print on the fonts a user's machine resolves.
set -euo pipefail
PKGS=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
      qt6-base-dev libqt6printsupport6 libqt6xml6 libgl1-mesa-dev
      libfbclient2 firebird3.0-server-core firebird3.0-utils firebird-dev
      qt6-declarative-dev libgsf-1-dev python3-xlrd fonts-liberation fonts-liberation2 libgtest-dev libgmock-dev libbenchmark-dev xvfb
      poppler-utils ccache cups libcups2-dev printer-driver-cups-pdf qt6-translations-l10n libxml2-utils)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
run() { if [ "$(id -u)" -ne 0 ]; then sudo env DEBIAN_FRONTEND=noninteractive "$@"; else env DEBIAN_FRONTEND=noninteractive "$@"; fi; }
run apt-get update -qq
run apt-get install -y -qq --no-install-recommends "${missing[@]}"
