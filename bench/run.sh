#!/usr/bin/env bash
# make bench: srt2rt against the C line-copy limit and ffmpeg's SRT -> WebVTT,
# on the same generated file. Prints the median of RUNS runs of each, MB/s,
# the ratio to the C limit, and peak resident memory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/native
work=$root/build/bench
size_mb=${BENCH_MB:-200}
runs=${BENCH_RUNS:-5}
ffmpeg_runs=${BENCH_FFMPEG_RUNS:-3}
mkdir -p "$work"

command -v ffmpeg >/dev/null || { echo "bench: installing ffmpeg"; "$root/scripts/install-deps.sh" ffmpeg; }
[ -x /usr/bin/time ] || "$root/scripts/install-deps.sh" time

input=$work/input-${size_mb}MB.srt
[ -f "$input" ] || "$bin/bench/make_srt" "$size_mb" "$input"
bytes=$(stat -c %s "$input")

# measure NAME RUNS CMD...: prints "median_seconds peak_kib"
measure() {
  local n=$1
  shift
  local times=() peaks=()
  for _ in $(seq "$n"); do
    rm -f "$work"/out.*
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null 2>&1
    read -r t m <"$work/time.txt"
    times+=("$t")
    peaks+=("$m")
  done
  local median peak
  median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  peak=$(printf '%s\n' "${peaks[@]}" | sort -g | tail -1)
  echo "$median $peak"
}

echo "input: $input ($((bytes / 1000000)) MB), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
read -r c_time c_mem < <(measure "$runs" "$bin/bench/line_copy" "$input" "$work/out.txt")
read -r q_time q_mem < <(measure "$runs" "$bin/srt2rt" -f -o "$work/out.rt" "$input")
read -r f_time f_mem < <(measure "$ffmpeg_runs" ffmpeg -nostdin -loglevel error -y -i "$input" "$work/out.vtt")

row() {  # row NAME SECONDS PEAK_KIB
  awk -v name="$1" -v t="$2" -v m="$3" -v b="$bytes" -v c="$c_time" 'BEGIN {
    printf "%-28s %8.2f s %9.1f MB/s %8.2fx %10.1f MiB\n", name, t, b / 1e6 / (t > 0 ? t : 0.001),
           t / (c > 0 ? c : 0.001), m / 1024 }'
}
printf '%-28s %10s %14s %9s %14s\n' "" "median" "throughput" "vs C" "peak memory"
row "C line copy (the limit)" "$c_time" "$c_mem"
row "srt2rt" "$q_time" "$q_mem"
row "ffmpeg SRT -> WebVTT" "$f_time" "$f_mem"
awk -v q="$q_time" -v c="$c_time" -v f="$f_time" -v m="$q_mem" 'BEGIN {
  printf "\ntargets: within 1.5x of C: %s (%.2fx); 20x faster than ffmpeg: %s (%.1fx); under 6 MiB: %s\n",
    (q <= 1.5 * c ? "yes" : "NO"), q / (c > 0 ? c : 0.001), (f >= 20 * q ? "yes" : "NO"),
    f / (q > 0 ? q : 0.001), (m < 6 * 1024 ? "yes" : "NO") }'
