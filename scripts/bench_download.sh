#!/usr/bin/env bash
# Download benchmark: N pictures of SIZE bytes from a local shop that answers
# each picture after LATENCY ms; ostrel-cli with 15 threads against
# curl --parallel --parallel-max 15 on the same addresses.  Prints both times
# and the ratio (target: ostrel within 1.15x of curl).  Not a test.
#   scripts/bench_download.sh [N=300] [SIZE=153600] [LATENCY_MS=30] [ROUNDS=3]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
n=${1:-300}
size=${2:-153600}
latency=${3:-30}
rounds=${4:-3}

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target ostrel-cli bench_shop >/dev/null

work=$(mktemp -d)
shop_pid=
cleanup() { [ -n "$shop_pid" ] && kill "$shop_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy=127.0.0.1,localhost

mkdir -p "$work/prog"
"$build/bench/bench_shop" "$work/prog" "$n" "$size" "$latency" >"$work/port" &
shop_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port=$(head -1 "$work/port")
address="http://127.0.0.1:$port/item.jd.com/1.html"

now() { date +%s.%N; }
best_ostrel=
best_curl=
for r in $(seq "$rounds"); do
  rm -rf "$work/save" "$work/prog/curl"
  t0=$(now)
  (cd "$work/prog" && "$build/src/cli/ostrel-cli" --save "$work/save" "$address" >/dev/null)
  t1=$(now)
  got=$(find "$work/save" -name '*.jpg' | wc -l)
  [ "$got" -eq "$n" ] || { echo "ostrel-cli wrote $got of $n pictures" >&2; exit 1; }

  mkdir -p "$work/prog/curl"
  t2=$(now)
  (cd "$work/prog" && curl -sS --parallel --parallel-max 15 --config curl.cfg 2>"$work/curl.err") || { cat "$work/curl.err" >&2; exit 1; }
  t3=$(now)
  got=$(find "$work/prog/curl" -name '*.jpg' | wc -l)
  [ "$got" -eq "$n" ] || { echo "curl wrote $got of $n pictures" >&2; exit 1; }

  o=$(awk "BEGIN{print $t1 - $t0}"); c=$(awk "BEGIN{print $t3 - $t2}")
  printf 'round %d: ostrel-cli %.3f s, curl %.3f s\n' "$r" "$o" "$c"
  best_ostrel=$(awk "BEGIN{b=\"$best_ostrel\"; print (b == \"\" || $o < b) ? $o : b}")
  best_curl=$(awk "BEGIN{b=\"$best_curl\"; print (b == \"\" || $c < b) ? $c : b}")
done
ratio=$(awk "BEGIN{print $best_ostrel / $best_curl}")
printf '%d pictures of %d bytes, %d ms latency, 15 connections (best of %d)\n' "$n" "$size" "$latency" "$rounds"
printf 'ostrel-cli: %.3f s\ncurl:       %.3f s\nratio:      %.2f (target <= 1.15)\n' "$best_ostrel" "$best_curl" "$ratio"
