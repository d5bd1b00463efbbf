#!/usr/bin/env bash
# Measures Tessarine on a demo catalogue and prints one table: each case's median
# time, its baseline and ratio where it has one, peak memory, and its target.
#
#   ./bench/run.sh [--stamps N] [--runs R] [--only GROUP,...] [--keep]
#   ./bench/run.sh --images [--stamps N] [--runs R] [--keep]
#
# --stamps  size of the demo catalogue (default 100000)
# --runs    repetitions of each case (default 5); medians are reported
# --only    some of the groups: load,main,reports,preview,custom,stats,list,pack,upgrade,csv
# --images  the images group alone, on a catalogue whose first 5,000 stamps have
#           a front and a back scan (about 1.1 GB); making it takes a few minutes
# --keep    keep the work folder (catalogue, logs of the measuring processes)
set -euo pipefail
cd "$(dirname "$0")/.."

stamps=100000
runs=5
only=()
keep=0
images=0
while [ $# -gt 0 ]; do
  case "$1" in
    --stamps) stamps="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --only) only=(--only "$2"); shift 2 ;;
    --keep) keep=1; shift ;;
    --images) images=1; shift ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

# An optimised build of the catalogue tool and the benchmark.
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ -f build/CMakeCache.txt ]; then
  cmake -S . -B build >/dev/null
else
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
fi
if ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' build/CMakeCache.txt; then
  echo "run.sh: build/ is not a Release build; timings would mislead" >&2
  exit 1
fi
cmake --build build -j2 --target tessarine-catalogue tessarine-bench >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/tessarine-bench.XXXXXX")
if [ "$keep" = 1 ]; then
  echo "work folder: $work" >&2
else
  trap 'rm -rf "$work"' EXIT
fi

if [ "$images" = 1 ]; then
  echo "making a demo catalogue of $stamps stamps, 5000 of them with images..." >&2
  build/bin/tessarine-catalogue demo "$work/stamp.mdb" --stamps "$stamps" --images 5000 --image-kb 110
  only=(--only images)
else
  echo "making a demo catalogue of $stamps stamps..." >&2
  build/bin/tessarine-catalogue demo "$work/stamp.mdb" --stamps "$stamps"
fi
build/bin/tessarine-bench --catalogue "$work/stamp.mdb" --work "$work" --runs "$runs" "${only[@]}"
