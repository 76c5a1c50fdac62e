#!/usr/bin/env bash
# Fuzzes the conversion core with libFuzzer. Builds the targets of tests/fuzz
# with clang, AddressSanitizer and UndefinedBehaviorSanitizer into build/fuzz/,
# runs each for FUZZ_SECONDS (default 60) seconds on a working copy of its
# committed corpus, then prints executions, crashes found and corpus size.
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

summary=()
failed=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target        # grows from run to run; the committed one stays as it is
  artifacts=$build/artifacts/$target
  log=$build/$target.log
  mkdir -p "$corpus" "$artifacts"
  cp -n "$root/tests/fuzz/corpus/$target/"* "$corpus/"
  echo "== fuzzing $target for ${seconds}s (log: ${log#$root/})"
  status=0
  "$build/tests/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -print_final_stats=1 \
    -dict="$root/tests/fuzz/srt.dict" -artifact_prefix="$artifacts/" -max_len=8192 -timeout=20 \
    -rss_limit_mb=2048 >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  new_units=$(sed -n 's/^stat::new_units_added: *//p' "$log")
  crashes=$(find "$artifacts" -type f | wc -l)
  files=$(find "$corpus" -type f | wc -l)
  bytes=$(find "$corpus" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum + 0 }')
  summary+=("$(printf '%-12s %12s %10s %8s %8s %10s' "$target" "${executions:-?}" "${new_units:-?}" \
    "$crashes" "$files" "$bytes")")
  if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    failed=1
    echo "fuzz: $target failed (exit $status); inputs that crash it are in ${artifacts#$root/}/" >&2
    grep -m1 -A12 -E 'FUZZ CHECK FAILED|ERROR: (AddressSanitizer|libFuzzer)|runtime error' "$log" >&2 || true
  fi
done

echo "== core tests that take long (QUILLO_LONG_TESTS)"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/native" -j"$jobs" --target core_tests >/dev/null
QUILLO_LONG_TESTS=1 "$root/build/native/tests/core/core_tests" --gtest_filter='HostileInputTest.*' \
  --gtest_brief=1 || failed=1

echo
printf '%-12s %12s %10s %8s %8s %10s\n' target executions new-units crashes corpus bytes
printf '%s\n' "${summary[@]}"
exit "$failed"
