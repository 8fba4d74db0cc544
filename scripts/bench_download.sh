#!/usr/bin/env bash
# Download benchmark: ostrel-cli (15 threads) against
# curl --parallel --parallel-max 15 on the same pictures of a local shop, in
# the same run.  Prints, per case, the best wall time of each, the ratio, CPU
# time (user+system, median of the rounds) and peak RSS, and for small the
# ideal time (pictures / threads x latency + one page load).  Not a test.
#   scripts/bench_download.sh [ROUNDS=3] [CASE...]
# Cases (default: all):
#   small  300 x 150 KB, 30 ms latency per answer
#   big    100 x 5 MB, 30 ms latency per answer
#   https  300 x 150 KB over https, 30 ms latency per answer
#   relay  as https, through a relay that delays every chunk in each direction
#          by 15 ms (every round trip, handshakes included, costs 30 ms)
#   choices a product with 24 colour choices, 5 pictures of 150 KB on each of
#          the 25 pages, pages 150 ms, pictures 30 ms; curl is given the 125
#          picture addresses (the pages reach ostrel-cli through http_proxy)
# https uses a throw-away test CA, handed to both programs as CURL_CA_BUNDLE.
# BASELINE=/path/to/ostrel-cli also times another build (e.g. of main) per
# round in the plain http cases and prints its best time beside the table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
shift || true
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(small big https relay choices)

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target ostrel-cli bench_shop >/dev/null

# On a tmpfs by default: on ext4, every file made soon after many were deleted
# costs a scan of the recently deleted inodes, which swamps and scatters the
# CPU time of both programs.  BENCH_TMP=/tmp measures on the disk instead.
tmp=${BENCH_TMP:-/dev/shm}
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$tmp")
pids=()
stop_servers() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; pids=(); }
cleanup() { stop_servers; rm -rf "$work"; }
trap cleanup EXIT
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy=127.0.0.1,localhost

cmake -DOPENSSL="$(command -v openssl)" -DOUT="$work/certs" -P "$root/tests/net/make_test_certs.cmake"
export CURL_CA_BUNDLE="$work/certs/ca.pem"

wait_for() { for _ in $(seq 200); do [ -s "$1" ] && return 0; sleep 0.05; done; echo "no port in $1" >&2; exit 1; }

# run LABEL OUTPUT_DIR COMMAND...: appends "wall cpu rss_mb" to $work/LABEL.times
run() {
  local label=$1 out=$2; shift 2
  rm -rf "$out"; mkdir -p "$out"
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  local got; got=$(find "$out" -name '*.jpg' | wc -l)
  [ "$got" -eq "$n" ] || { echo "$label wrote $got of $n pictures" >&2; cat "$work/err" >&2; exit 1; }
  awk '{printf "%.3f %.2f %.0f\n", $1, $2 + $3, $4 / 1024}' "$work/time" >>"$work/$label.times"
}

summary=()
ideal=()
load0=$(cut -d' ' -f1-3 /proc/loadavg)
for c in "${cases[@]}"; do
  tls=(); relay=0; n=300; size=153600; latency=30; per_page=0; choices=0
  case $c in
    small) ;;
    choices) choices=24; per_page=5; n=125 ;;
    big) n=100; size=5242880 ;;
    https) tls=("$work/certs/server.pem" "$work/certs/server.key") ;;
    relay) tls=("$work/certs/server.pem" "$work/certs/server.key"); relay=1 ;;
    *) echo "unknown case $c" >&2; exit 2 ;;
  esac
  [ "$per_page" -gt 0 ] || per_page=$n # every picture on the one page
  rm -rf "$work/prog" "$work"/*.times "$work"/port*
  mkdir -p "$work/prog"
  base=()
  if [ "$relay" = 1 ]; then
    python3 "$root/bench/delay_relay.py" 15 "$work/port" >"$work/port.relay" &
    pids+=($!)
    wait_for "$work/port.relay"
    base=("https://127.0.0.1:$(head -1 "$work/port.relay")")
  fi
  BENCH_CHOICES=$choices "$build/bench/bench_shop" "$work/prog" "$per_page" "$size" "$latency" "${tls[@]}" "${base[@]}" >"$work/port" &
  pids+=($!)
  wait_for "$work/port"
  address="http://127.0.0.1:$(awk '{print $1}' "$work/port")/item.jd.com/1.html"
  proxy=()
  if [ "$choices" -gt 0 ]; then # choices are product pages of the shop's own host
    address="http://item.jd.com/1.html"
    proxy=(env "http_proxy=http://127.0.0.1:$(awk '{print $1}' "$work/port")")
  fi

  for r in $(seq "$rounds"); do
    if [ "$c" = small ]; then # the page load alone (and the program's start), for the ideal time
      (cd "$work/prog" && /usr/bin/time -f '%e' -a -o "$work/page.times" "$build/src/cli/ostrel-cli" -q -g "$address" >/dev/null 2>&1)
    fi
    (cd "$work/prog" && run ostrel "$work/save" "${proxy[@]}" "$build/src/cli/ostrel-cli" --save "$work/save" "$address")
    (cd "$work/prog" && run curl "$work/prog/curl" curl -sS --parallel --parallel-max 15 --config curl.cfg)
    if [ -n "${BASELINE:-}" ] && [ ${#tls[@]} -eq 0 ]; then
      (cd "$work/prog" && run baseline "$work/save" "${proxy[@]}" "$BASELINE" --save "$work/save" "$address")
      printf '%-6s round %d: baseline %s\n' "$c" "$r" "$(tail -1 "$work/baseline.times")"
    fi
    printf '%-6s round %d: ostrel-cli %s s, curl %s s (wall, cpu s, rss MB: %s | %s)\n' "$c" "$r" \
      "$(tail -1 "$work/ostrel.times" | cut -d' ' -f1)" "$(tail -1 "$work/curl.times" | cut -d' ' -f1)" \
      "$(tail -1 "$work/ostrel.times")" "$(tail -1 "$work/curl.times")"
  done
  rm -rf "$work/save" "$work/prog/curl"
  stop_servers
  # best wall time of each; CPU: the median of the rounds; RSS: the highest
  summary+=("$(awk -v c="$c" -v n="$n" -v size="$size" '
    FNR == 1 { f++ }
    { if (!(f in best) || $1 < best[f]) best[f] = $1; cpu[f, FNR] = $2; rounds[f] = FNR; if ($3 > rss[f]) rss[f] = $3 }
    function median(f,   i, j, k, t, a) {
      k = rounds[f]; for (i = 1; i <= k; i++) a[i] = cpu[f, i]
      for (i = 2; i <= k; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
      return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2
    }
    END { printf "| %-5s %d x %d KB | %.2f s | %.2f s | %.2f | %.2f / %.2f s | %d / %d MB |\n",
          c, n, size / 1024, best[1], best[2], best[1] / best[2], median(1), median(2), rss[1], rss[2] }
  ' "$work/ostrel.times" "$work/curl.times")")
  if [ "$c" = small ]; then
    ideal+=("$(awk -v n="$n" -v lat="$latency" -v o="$(sort -n "$work/ostrel.times" | head -1 | cut -d' ' -f1)" \
      -v cu="$(sort -n "$work/curl.times" | head -1 | cut -d' ' -f1)" '
      NR == 1 || $1 < p { p = $1 }
      END { i = n / 15 * lat / 1000 + p
            printf "ideal (%d / 15 x %d ms + page load %.2f s) = %.2f s: ostrel-cli %.2f x ideal, curl %.2f x ideal\n",
                   n, lat, p, i, o / i, cu / i }' "$work/page.times")")
  fi
  if [ -n "${BASELINE:-}" ] && [ ${#tls[@]} -eq 0 ]; then
    summary+=("$(awk -v c="$c" 'NR == 1 || $1 < b { b = $1 } $2 > cpu { cpu = $2 } $3 > rss { rss = $3 }
      END { printf "|   %s, baseline: %.2f s, CPU %.1f s, %d MB |\n", c, b, cpu, rss }' "$work/baseline.times")")
  fi
done

printf '\nbest of %d rounds; load average at start %s, at end %s\n' "$rounds" "$load0" "$(cut -d' ' -f1-3 /proc/loadavg)"
echo '| case | ostrel-cli | curl | ratio | CPU ostrel / curl | peak RSS ostrel / curl |'
echo '|---|---|---|---|---|---|'
printf '%s\n' "${summary[@]}"
[ ${#ideal[@]} -eq 0 ] || printf '%s\n' "${ideal[@]}"
