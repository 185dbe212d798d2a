#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs every one (extra arguments go to each). Fails
# when a benchmark aborts or reports that its own check of the result failed, so that no figure
# is ever quoted from a run that did not finish. CI runs it with --benchmark_min_time=0.005.
# With --table it also prints, when every benchmark finished, the Markdown table of
# docs/performance.md: each figure beside the peer or floor its label names, and the ratio. A
# table's figures are medians of NATALIS_BENCH_REPETITIONS (5) repetitions, run interleaved in a
# random order with the other benchmarks of the same binary, so that a benchmark and its peer
# share the machine's busy and quiet moments alike and two runs agree.
set -euo pipefail
table=0
args=()
for arg in "$@"; do
  if [[ $arg == --table ]]; then table=1; else args+=("$arg"); fi
done
if ((table)); then
  # Before the caller's own arguments, which may override them.
  args=(--benchmark_repetitions="${NATALIS_BENCH_REPETITIONS:-5}"
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
    "${args[@]}")
fi
top=$(cd "$(dirname "$0")/.." && pwd)
build=${NATALIS_BENCH_BUILD_DIR:-$top/build-release}
bash "$top/scripts/deps.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$top} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNATALIS_BUILD_TESTS=OFF \
  "${launcher[@]}" >/dev/null
benches=$(cd "$top/bench" && ls *_bench.cpp | sed 's/\.cpp$//')
# shellcheck disable=SC2086
cmake --build "$build" --parallel "$(nproc)" --target $benches
failed=0
json=$(mktemp -d)
trap 'rm -rf "$json"' EXIT
jsons=()
for name in $benches; do
  echo "== $name"
  log=$(mktemp)
  out=()
  if ((table)); then
    out=(--benchmark_out="$json/$name.json" --benchmark_out_format=json)
    jsons+=("$json/$name.json")
  fi
  if ! QT_QPA_PLATFORM=offscreen "$build/bench/$name" "${args[@]}" "${out[@]}" 2>&1 \
    | tee "$log"; then
    echo "bench: $name did not run to its end" >&2
    failed=1
  fi
  if grep -q 'ERROR OCCURRED' "$log"; then
    echo "bench: $name failed its own check" >&2
    failed=1
  fi
  rm -f "$log"
done
if ((table)); then
  if ((failed)); then
    echo "bench: no table, since a benchmark did not finish or failed its check" >&2
  else
    echo
    python3 "$top/scripts/bench-table.py" "${jsons[@]}"
  fi
fi
exit $failed
