#!/usr/bin/env bash
# Builds Tessarine and starts it on the catalogue in ~/Tessarine, or with --demo
# on a demo catalogue of 500 stamps in ~/Tessarine-demo.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

demo=0
case "${1:-}" in
  "") ;;
  --demo) demo=1 ;;
  *) echo "usage: ./run.sh [--demo]" >&2; exit 2 ;;
esac

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "tessarine: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  exit 1
fi

. "$here/scripts/ensure-packages.sh"
# shellcheck disable=SC2086
tess_ensure_packages $TESS_BUILD_PACKAGES $TESS_RUN_PACKAGES

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$here/build" -j2 --target tessarine tessarine-catalogue

if [ "$demo" -eq 1 ]; then folder="$HOME/Tessarine-demo"; else folder="$HOME/Tessarine"; fi
mkdir -p "$folder"
if [ ! -e "$folder/stamp.mdb" ]; then
  if [ "$demo" -eq 1 ]; then
    "$here/build/bin/tessarine-catalogue" demo "$folder/stamp.mdb" --stamps 500
  else
    "$here/build/bin/tessarine-catalogue" create "$folder/stamp.mdb"
  fi
fi
if [ -f "$here/data/stamp.hlp" ]; then cp -f "$here/data/stamp.hlp" "$folder/stamp.hlp"; fi

cd "$folder"
exec "$here/build/bin/tessarine"
