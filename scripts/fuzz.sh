#!/usr/bin/env bash
# Fuzzes the conversion core with libFuzzer. Builds the targets of tests/fuzz
# with clang, AddressSanitizer and UndefinedBehaviorSanitizer into build/fuzz/,
# runs each for FUZZ_SECONDS (default 60) seconds, one worker a core, on a
# working copy of its committed corpus, then prints executions, crashes found
# and corpus size.
# Also runs the core tests that are too slow for every `make test`.
# Usage: scripts/fuzz.sh [TARGET...]   (text_reader srt_fields conversion)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
seconds=${FUZZ_SECONDS:-60}
jobs=${JOBS:-2}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(text_reader srt_fields conversion)

for tool in clang clang++ cmake; do
  command -v "$tool" >/dev/null || { echo "fuzz: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

echo "== building fuzz targets with clang and libFuzzer into build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_SANITIZE=ON -DQUILLO_LIBFUZZER=ON \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" -j"$jobs" --target "${targets[@]/#/fuzz_}" >/dev/null

# No allocation stacks, leak checks or large quarantine: each costs a good
# part of every execution, and speed is what finds bugs.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:detect_leaks=0:quarantine_size_mb=16}
summary=()
failed=0
total=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target        # grows from run to run; the committed one stays as it is
  artifacts=$build/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  cp -n "$root/tests/fuzz/corpus/$target/"* "$corpus/"
  # Lines are what the field scanners read: short inputs keep them fast. The
  # reader and the run meet every block boundary with tiny blocks anyway.
  case $target in srt_fields) max_len=128 ;; *) max_len=1024 ;; esac
  echo "== fuzzing $target for ${seconds}s on $jobs cores (logs: ${build#$root/}/$target.*.log)"
  # One worker a core, sharing the corpus: each picks up what the others find.
  pids=()
  for worker in $(seq "$jobs"); do
    # libFuzzer starts each process from the clock and its pid: the workers
    # mutate in orders of their own.
    "$build/tests/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -print_final_stats=1 \
      -dict="$root/tests/fuzz/srt.dict" -artifact_prefix="$artifacts/" -max_len="$max_len" -timeout=20 \
      -rss_limit_mb=2048 >"$build/$target.$worker.log" 2>&1 &
    pids+=($!)
  done
  status=0
  for pid in "${pids[@]}"; do
    wait "$pid" || status=$?
  done
  executions=$(cat "$build/$target".*.log | sed -n 's/^stat::number_of_executed_units: *//p' |
    awk '{ sum += $1 } END { print sum + 0 }')
  new_units=$(cat "$build/$target".*.log | sed -n 's/^stat::new_units_added: *//p' |
    awk '{ sum += $1 } END { print sum + 0 }')
  crashes=$(find "$artifacts" -type f | wc -l)
  files=$(find "$corpus" -type f | wc -l)
  bytes=$(find "$corpus" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum + 0 }')
  total=$((total + executions))
  summary+=("$(printf '%-12s %12s %10s %8s %8s %10s %8s' "$target" "$executions" "$new_units" \
    "$crashes" "$files" "$bytes" "$((executions / seconds / jobs))")")
  if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    failed=1
    echo "fuzz: $target failed (exit $status); inputs that crash it are in ${artifacts#$root/}/" >&2
    cat "$build/$target".*.log |
      grep -m1 -A12 -E 'FUZZ CHECK FAILED|ERROR: (AddressSanitizer|libFuzzer)|runtime error' >&2 || true
  fi
done

echo "== core tests that take long (QUILLO_LONG_TESTS)"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/native" -j"$jobs" --target core_tests >/dev/null
QUILLO_LONG_TESTS=1 "$root/build/native/tests/core/core_tests" --gtest_filter='HostileInputTest.*' \
  --gtest_brief=1 || failed=1

echo
printf '%-12s %12s %10s %8s %8s %10s %8s\n' target executions new-units crashes corpus bytes \
  'per core/s'
printf '%s\n' "${summary[@]}"
echo "executions in all: $total"
exit "$failed"
