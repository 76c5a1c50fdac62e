#!/usr/bin/env bash
# make bench: srt2rt against the yardstick (a C line copy with 64 KiB buffers
# and memchr, the limit for a one-pass line transform) and ffmpeg's SRT to
# WebVTT, on one generated file. Prints, side by side: median wall time of
# RUNS runs (srt2rt and the yardstick alternate, so that a drifting machine
# moves both), peak memory, instructions per input byte under callgrind on a
# 20 MB file (exact and repeatable), and srt2rt.exe under Wine against the
# native program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/native
work=$root/build/bench
size_mb=${BENCH_MB:-200}
runs=${BENCH_RUNS:-7}
ffmpeg_runs=${BENCH_FFMPEG_RUNS:-3}
mkdir -p "$work"

for tool in ffmpeg valgrind; do
  command -v "$tool" >/dev/null || { echo "bench: installing $tool"; "$root/scripts/install-deps.sh" "$tool"; }
done
[ -x /usr/bin/time ] || "$root/scripts/install-deps.sh" time

input=$work/input-${size_mb}MB.srt
small=$work/input-20MB.srt
[ -f "$input" ] || "$bin/bench/make_srt" "$size_mb" "$input"
[ -f "$small" ] || "$bin/bench/make_srt" 20 "$small"
bytes=$(stat -c %s "$input")
small_bytes=$(stat -c %s "$small")

# once CMD...: runs it, appends "seconds peak_kib" to $work/times.NAME
once() {
  local name=$1
  shift
  local status=0
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null 2>&1 || status=$?
  # --check and --fix exit 1 when they find (or leave) an error, as they do on this file.
  if [ "$status" != 0 ] && ! { [ "$name" = check ] || [ "$name" = fix ]; } ||
    [ "$status" -gt 1 ]; then
    echo "bench: $* failed (exit $status)" >&2
    exit 1
  fi
  tail -1 "$work/time.txt" >>"$work/times.$name"
}
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# paired A B: the median of A's time over B's, run by run (the runs alternate,
# so that each pair saw the same machine).
paired() {
  paste -d' ' <(cut -d' ' -f1 "$work/times.$1") <(cut -d' ' -f1 "$work/times.$2") |
    awk '{print $1 / ($2 > 0 ? $2 : 0.001)}' | median
}
summary() {  # summary NAME: "median_seconds peak_kib"
  echo "$(cut -d' ' -f1 "$work/times.$1" | median) $(cut -d' ' -f2 "$work/times.$1" | sort -g | tail -1)"
}
rm -f "$work"/times.*

echo "input: ${input#$root/} ($((bytes / 1000000)) MB), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
# srt2rt -q is the converter alone; plain srt2rt also looks for what would
# show wrongly (warnings on standard error); --check writes its report only.
for _ in $(seq "$runs"); do
  once copy "$bin/bench/line_copy" "$input" "$work/out.txt"
  once srt2rt "$bin/srt2rt" -q -f -o "$work/out.rt" "$input"
  once warned "$bin/srt2rt" -f -o "$work/out-warned.rt" "$input"
  once check sh -c 'exec "$0" --check "$1" >/dev/null' "$bin/srt2rt" "$input"
  once fix "$bin/srt2rt" --fix -f -o "$work/out-fixed.srt" "$input"
done
for _ in $(seq "$ffmpeg_runs"); do
  once ffmpeg ffmpeg -nostdin -loglevel error -y -i "$input" "$work/out.vtt"
done
# Memory must not grow with the file.
once srt2rt-small "$bin/srt2rt" -q -f -o "$work/out-small.rt" "$small"

# Instructions per input byte: callgrind counts exactly, whatever the machine does.
per_byte() {  # per_byte CMD...: instructions of the whole run / input bytes
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*refs: *//p' | tr -d , | awk -v b="$small_bytes" '{printf "%.2f", $1 / b}'
}
q_ipb=$(per_byte "$bin/srt2rt" -q -f -o "$work/out-small.rt" "$small")
w_ipb=$(per_byte "$bin/srt2rt" -f -o "$work/out-small.rt" "$small")
c_ipb=$(per_byte "$bin/bench/line_copy" "$small" "$work/out-small.txt")

# srt2rt.exe under Wine, with the Wine session already up so that its boot is
# not counted; alternating with the native program.
wine_note=""
exe=$root/build/win32/srt2rt.exe
if [ -x "$exe" ] && source "$root/scripts/wine-env.sh" && [ "$QUILLO_WIN_ARCH" = win32 ]; then
  quillo_wine_prefix
  "$WINESERVER" -p
  "$QUILLO_WINE" cmd /c exit >/dev/null 2>&1 || true
  for _ in $(seq "$runs"); do
    once wine "$QUILLO_WINE" "$exe" -q -f -o "$work/out-wine.rt" "$input"
    once native "$bin/srt2rt" -q -f -o "$work/out.rt" "$input"
  done
  "$WINESERVER" -k >/dev/null 2>&1 || true
  cmp -s "$work/out-wine.rt" "$work/out.rt" || { echo "bench: srt2rt.exe wrote other bytes than srt2rt" >&2; exit 1; }
else
  wine_note="(no 32-bit Wine here: srt2rt.exe not timed)"
fi
cmp -s "$work/out.rt" "$work/out.txt" && { echo "bench: srt2rt copied instead of converting" >&2; exit 1; }

read -r c_time c_mem < <(summary copy)
read -r q_time q_mem < <(summary srt2rt)
read -r wq_time wq_mem < <(summary warned)
read -r k_time k_mem < <(summary check)
read -r x_time x_mem < <(summary fix)
read -r f_time f_mem < <(summary ffmpeg)
read -r _ qs_mem < <(summary srt2rt-small)

row() {  # row NAME SECONDS PEAK_KIB INSTRUCTIONS_PER_BYTE
  awk -v name="$1" -v t="$2" -v m="$3" -v i="$4" -v b="$bytes" -v c="$c_time" 'BEGIN {
    printf "%-30s %8.2f s %9.1f MB/s %8.2fx %10.1f MiB %10s\n", name, t, b / 1e6 / (t > 0 ? t : 0.001),
           t / (c > 0 ? c : 0.001), m / 1024, i }'
}
echo
printf '%-30s %10s %14s %9s %14s %10s\n' "" "median" "throughput" "vs copy" "peak memory" "instr/byte"
row "C memchr line copy (yardstick)" "$c_time" "$c_mem" "$c_ipb"
row "srt2rt -q" "$q_time" "$q_mem" "$q_ipb"
row "srt2rt (warnings too)" "$wq_time" "$wq_mem" "$w_ipb"
row "srt2rt --check" "$k_time" "$k_mem" "-"
row "srt2rt --fix (report on stderr)" "$x_time" "$x_mem" "-"
row "ffmpeg SRT -> WebVTT" "$f_time" "$f_mem" "-"
if [ -z "$wine_note" ]; then
  read -r w_time w_mem < <(summary wine)
  read -r n_time _ < <(summary native)
  row "srt2rt.exe -q under 32-bit Wine" "$w_time" "$w_mem" "-"
fi
echo
q_copy=$(paired srt2rt copy)
w_q=$(paired warned srt2rt)
k_q=$(paired check srt2rt)
x_c=$(paired fix copy)
awk -v xc="$x_c" -v q="$q_time" -v c="$c_time" -v i="$q_ipb" -v m="$q_mem" -v ms="$qs_mem" -v k="$k_time" \
  -v km="$k_mem" -v wq="$wq_time" -v qc="$q_copy" -v wr="$w_q" -v kr="$k_q" -v wi="$w_ipb" 'BEGIN {
  printf "targets (run-by-run ratios, medians): srt2rt -q at most 1.3x the copy: %s (%.2fx);\n",
    (qc <= 1.3 ? "yes" : "NO"), qc
  printf "         -q at most 6 instructions a byte: %s (%.2f; with warnings %.2f)\n", (i <= 6 ? "yes" : "NO"), i, wi
  printf "         srt2rt with its warnings at most 1.05x -q: %s (%.2fx)\n", (wr <= 1.05 ? "yes" : "NO"), wr
  printf "         --check at most 1.05x -q: %s (%.2fx)\n", (kr <= 1.05 ? "yes" : "NO"), kr
  printf "         --fix at most 1.5x the copy: %s (%.2fx)\n", (xc <= 1.5 ? "yes" : "NO"), xc
  printf "         peak under 6 MiB: %s (%.1f MiB on 200 MB, %.1f MiB on 20 MB; --check %.1f MiB)\n",
    (m < 6 * 1024 && km < 6 * 1024 ? "yes" : "NO"), m / 1024, ms / 1024, km / 1024
}'
if [ -z "$wine_note" ]; then
  awk -v w="$w_time" -v n="$n_time" 'BEGIN {
    printf "         srt2rt.exe under Wine at most 1.5x native: %s (%.2fx: %.2f s against %.2f s)\n",
      (w <= 1.5 * n ? "yes" : "NO"), w / (n > 0 ? n : 0.001), w, n }'
else
  echo "         $wine_note"
fi
