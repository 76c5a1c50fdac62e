#!/usr/bin/env bash
# make bench: srt2rt on real work, pinned to one core (taskset -c 0), every
# command of a round run in turn so that each ratio is taken pair by pair.
# Two workloads:
#   - one generated 200 MB file, against the yardstick (a C line copy with
#     64 KiB buffers and memchr, the limit for a one-pass line transform) in
#     two modes: plain, and safe (a temporary, fsync, a rename and the
#     folder's fsync, which is what srt2rt promises), and against ffmpeg's
#     SRT to WebVTT;
#   - a batch of BATCH generated real-size files (1,200 entries, about 108 KB
#     each) in one run of each program, against the safe copy of them all.
# Then instructions per input byte under callgrind (exact and repeatable) on
# a 20 MB file and on 100 files of the batch, and srt2rt.exe under Wine
# against the native program. Prints the figures and the targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/native
work=$root/build/bench
size_mb=${BENCH_MB:-200}
runs=${BENCH_RUNS:-7}
batch_runs=${BENCH_BATCH_RUNS:-5}
batch_files=${BENCH_BATCH:-1000}
ffmpeg_runs=${BENCH_FFMPEG_RUNS:-3}
mkdir -p "$work"

for tool in ffmpeg valgrind; do
  command -v "$tool" >/dev/null || { echo "bench: installing $tool"; "$root/scripts/install-deps.sh" "$tool"; }
done
[ -x /usr/bin/time ] || "$root/scripts/install-deps.sh" time
pin=(taskset -c 0)

input=$work/input-${size_mb}MB.srt
small=$work/input-20MB.srt
# Made anew when the generator is newer than them.
[ "$input" -nt "$bin/bench/make_srt" ] || "$bin/bench/make_srt" "$size_mb" "$input"
[ "$small" -nt "$bin/bench/make_srt" ] || "$bin/bench/make_srt" 20 "$small"
bytes=$(stat -c %s "$input")
small_bytes=$(stat -c %s "$small")
# The batch, made anew when its size or the generator changes; its converted
# copies beside it.
batch=$work/batch-$batch_files
if [ ! "$batch/.complete" -nt "$bin/bench/make_srt" ]; then
  rm -rf "$batch"
  mkdir -p "$batch"
  "$bin/bench/make_srt" --batch "$batch_files" "$batch"
  touch "$batch/.complete"
fi
batch_bytes=$(cat "$batch"/*.srt | wc -c)
sample=$work/batch-sample  # 100 files, for callgrind
rm -rf "$sample"
mkdir -p "$sample"
cp "$batch"/00[0-9][0-9].srt "$sample/"
rm -f "$sample/0000.srt"
cp "$batch/0100.srt" "$sample/"
sample_bytes=$(cat "$sample"/*.srt | wc -c)

# once NAME CMD...: runs CMD pinned, appends "seconds peak_kib" to $work/times.NAME
once() {
  local name=$1
  shift
  local status=0
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "${pin[@]}" "$@" >/dev/null 2>&1 || status=$?
  # --check and --fix exit 1 when they find (or leave) an error or a warning.
  if [ "$status" != 0 ] && ! { [ "$status" = 1 ] && [[ $name == *check* || $name == *fix* ]]; }; then
    echo "bench: $* failed (exit $status)" >&2
    exit 1
  fi
  tail -1 "$work/time.txt" >>"$work/times.$name"
}
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# paired A B: the median of A's time over B's, run by run.
paired() {
  paste -d' ' <(cut -d' ' -f1 "$work/times.$1") <(cut -d' ' -f1 "$work/times.$2") |
    awk '{print $1 / ($2 > 0 ? $2 : 0.001)}' | median
}
summary() {  # summary NAME: "median_seconds peak_kib"
  echo "$(cut -d' ' -f1 "$work/times.$1" | median) $(cut -d' ' -f2 "$work/times.$1" | sort -g | tail -1)"
}
rm -f "$work"/times.*

echo "input: ${input#$root/} ($((bytes / 1000000)) MB) and ${batch#$root/} ($batch_files files," \
  "$((batch_bytes / 1000000)) MB), pinned to one of $(nproc) cores," \
  "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
# srt2rt -q is the converter alone; plain srt2rt also warns of what would
# show wrongly (standard error); --check writes its report only.
for _ in $(seq "$runs"); do
  once copy "$bin/bench/line_copy" "$input" "$work/out.txt"
  once safe "$bin/bench/line_copy" --safe "$input" "$work/out-safe.txt"
  once quiet "$bin/srt2rt" -q -f -o "$work/out.rt" "$input"
  once warned "$bin/srt2rt" -f -o "$work/out-warned.rt" "$input"
  once check sh -c 'exec "$0" --check "$1" >/dev/null' "$bin/srt2rt" "$input"
  once json-check sh -c 'exec "$0" --check --format=json "$1" >/dev/null' "$bin/srt2rt" "$input"
  once fix "$bin/srt2rt" --fix -f -o "$work/out-fixed.srt" "$input"
done
for _ in $(seq "$ffmpeg_runs"); do
  once ffmpeg ffmpeg -nostdin -loglevel error -y -i "$input" "$work/out.vtt"
done
# Memory must not grow with the file.
once quiet-small "$bin/srt2rt" -q -f -o "$work/out-small.rt" "$small"

# The batch: each program converts (or mends in place) every file in one run.
for _ in $(seq "$batch_runs"); do
  once batch-safe sh -c 'cd "$1" && exec "$0" --safe --each ./*.srt' "$bin/bench/line_copy" "$batch"
  once batch-quiet sh -c 'cd "$1" && exec "$0" -q -f ./*.srt' "$bin/srt2rt" "$batch"
  once batch-warned sh -c 'cd "$1" && exec "$0" -f ./*.srt' "$bin/srt2rt" "$batch"
  once batch-check sh -c 'cd "$1" && exec "$0" --check ./*.srt >/dev/null' "$bin/srt2rt" "$batch"
  once batch-fix sh -c 'cd "$1" && exec "$0" --fix -i ./*.srt' "$bin/srt2rt" "$batch"
done
# Both workloads ran: every document written, each different from its source.
documents=$(find "$batch" -name '*.rt' | wc -l)
[ "$documents" = "$batch_files" ] || { echo "bench: the batch gave $documents documents, not $batch_files" >&2; exit 1; }
grep -q '^<Time Begin=' "$batch/0001.rt" || { echo "bench: the batch's documents hold no entries" >&2; exit 1; }
cmp -s "$work/out.rt" "$work/out.txt" && { echo "bench: srt2rt copied instead of converting" >&2; exit 1; }
cmp -s "$work/out.txt" "$work/out-safe.txt" || { echo "bench: the safe copy wrote other bytes" >&2; exit 1; }

# Instructions per input byte: callgrind counts exactly, whatever the machine does.
per_byte() {  # per_byte BYTES CMD...: instructions of the whole run / BYTES
  local input_bytes=$1
  shift
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*refs: *//p' | tr -d , | awk -v b="$input_bytes" '{printf "%.2f", $1 / b}'
}
q_ipb=$(per_byte "$small_bytes" "$bin/srt2rt" -q -f -o "$work/out-small.rt" "$small")
w_ipb=$(per_byte "$small_bytes" "$bin/srt2rt" -f -o "$work/out-small.rt" "$small")
c_ipb=$(per_byte "$small_bytes" "$bin/bench/line_copy" "$small" "$work/out-small.txt")
in_sample() { (cd "$sample" && per_byte "$sample_bytes" "$@" ./*.srt); }
bq_ipb=$(in_sample "$bin/srt2rt" -q -f)
bw_ipb=$(in_sample "$bin/srt2rt" -f)
bx_ipb=$(in_sample "$bin/srt2rt" --fix -i)
bs_ipb=$(in_sample "$bin/bench/line_copy" --safe --each)

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

read -r c_time c_mem < <(summary copy)
read -r s_time s_mem < <(summary safe)
read -r q_time q_mem < <(summary quiet)
read -r wq_time wq_mem < <(summary warned)
read -r k_time k_mem < <(summary check)
read -r j_time j_mem < <(summary json-check)
read -r x_time x_mem < <(summary fix)
read -r f_time f_mem < <(summary ffmpeg)
read -r _ qs_mem < <(summary quiet-small)

row() {  # row NAME SECONDS PEAK_KIB INSTRUCTIONS_PER_BYTE BYTES COPY_SECONDS
  awk -v name="$1" -v t="$2" -v m="$3" -v i="$4" -v b="$5" -v c="$6" 'BEGIN {
    printf "%-34s %8.2f s %9.1f MB/s %8.2fx %10.1f MiB %10s\n", name, t, b / 1e6 / (t > 0 ? t : 0.001),
           t / (c > 0 ? c : 0.001), m / 1024, i }'
}
echo
printf '%-34s %10s %14s %9s %14s %10s\n' "200 MB file" "median" "throughput" "vs safe" "peak memory" "instr/byte"
row "C memchr line copy" "$c_time" "$c_mem" "$c_ipb" "$bytes" "$s_time"
row "the same, safe (yardstick)" "$s_time" "$s_mem" "-" "$bytes" "$s_time"
row "srt2rt -q" "$q_time" "$q_mem" "$q_ipb" "$bytes" "$s_time"
row "srt2rt (warnings too)" "$wq_time" "$wq_mem" "$w_ipb" "$bytes" "$s_time"
row "srt2rt --check" "$k_time" "$k_mem" "-" "$bytes" "$s_time"
row "srt2rt --check --format=json" "$j_time" "$j_mem" "-" "$bytes" "$s_time"
row "srt2rt --fix (report on stderr)" "$x_time" "$x_mem" "-" "$bytes" "$s_time"
row "ffmpeg SRT -> WebVTT" "$f_time" "$f_mem" "-" "$bytes" "$s_time"
if [ -z "$wine_note" ]; then
  read -r w_time w_mem < <(summary wine)
  read -r n_time _ < <(summary native)
  row "srt2rt.exe -q under 32-bit Wine" "$w_time" "$w_mem" "-" "$bytes" "$s_time"
fi
read -r bs_time bs_mem < <(summary batch-safe)
read -r bq_time bq_mem < <(summary batch-quiet)
read -r bw_time bw_mem < <(summary batch-warned)
read -r bk_time bk_mem < <(summary batch-check)
read -r bx_time bx_mem < <(summary batch-fix)
echo
printf '%-34s %10s %14s %9s %14s %10s\n' "batch of $batch_files files" "median" "throughput" "vs safe" "peak memory" "instr/byte"
row "safe line copy (yardstick)" "$bs_time" "$bs_mem" "$bs_ipb" "$batch_bytes" "$bs_time"
row "srt2rt -q" "$bq_time" "$bq_mem" "$bq_ipb" "$batch_bytes" "$bs_time"
row "srt2rt (warnings too)" "$bw_time" "$bw_mem" "$bw_ipb" "$batch_bytes" "$bs_time"
row "srt2rt --check" "$bk_time" "$bk_mem" "-" "$batch_bytes" "$bs_time"
row "srt2rt --fix -i" "$bx_time" "$bx_mem" "$bx_ipb" "$batch_bytes" "$bs_time"
echo "(instructions a byte: of the 20 MB file, and of 100 files of the batch)"
echo

target() {  # target TEXT FIGURE LIMIT: "yes" when FIGURE <= LIMIT
  awk -v t="$1" -v f="$2" -v l="$3" 'BEGIN { printf "  %-52s %s (%.2f; at most %s)\n", t, (f <= l ? "yes" : "NO"), f, l }'
}
echo "targets (one core, medians of run-by-run ratios):"
target "plain srt2rt / -q, 200 MB" "$(paired warned quiet)" 1.25
target "plain srt2rt / -q, batch" "$(paired batch-warned batch-quiet)" 1.25
target "--check / -q, 200 MB" "$(paired check quiet)" 1.0
target "--check / -q, batch" "$(paired batch-check batch-quiet)" 1.0
target "--fix / -q, 200 MB" "$(paired fix quiet)" 1.8
target "--fix / -q, batch" "$(paired batch-fix batch-quiet)" 1.8
target "-q / safe copy, 200 MB" "$(paired quiet safe)" 1.2
target "-q / safe copy, batch" "$(paired batch-quiet batch-safe)" 1.2
target "--check --format=json / --check, 200 MB" "$(paired json-check check)" 1.5
target "instructions a byte, batch: -q" "$bq_ipb" 7
target "instructions a byte, batch: plain" "$bw_ipb" 9
target "instructions a byte, batch: --fix" "$bx_ipb" 12
awk -v m="$q_mem" -v ms="$qs_mem" -v km="$k_mem" 'BEGIN {
  printf "  %-52s %s (%.1f MiB on 200 MB, %.1f MiB on 20 MB; --check %.1f MiB)\n", "peak under 6 MiB",
    (m < 6 * 1024 && km < 6 * 1024 ? "yes" : "NO"), m / 1024, ms / 1024, km / 1024 }'
if [ -z "$wine_note" ]; then
  awk -v w="$w_time" -v n="$n_time" 'BEGIN {
    printf "  %-52s %s (%.2fx: %.2f s against %.2f s)\n", "srt2rt.exe under Wine at most 1.5x native",
      (w <= 1.5 * n ? "yes" : "NO"), w / (n > 0 ? n : 0.001), w, n }'
else
  echo "  $wine_note"
fi
