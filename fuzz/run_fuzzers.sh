#!/usr/bin/env bash
# Runs each fuzzer for a set time under ASan+UBSan, starting from the seed
# corpus and every input that once found a fault, and says which failed.
#   fuzz/run_fuzzers.sh BUILD_DIR SECONDS_PER_FUZZER
# FUZZ_SEED fixes libFuzzer's random seed (0, the default, draws one).
# New inputs that reach new code go to BUILD_DIR/fuzz-corpus/<fuzzer> (kept
# between runs, never in the repository); a failing input is written to
# BUILD_DIR/fuzz-findings/<fuzzer>/ and named in the output: copy it to
# fuzz/regressions/<fuzzer>/ once the fault is fixed.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
seconds="$2"

passed=0
failed=0
for fuzzer in exchange_document_fuzzer soluc_fuzzer dbf_fuzzer; do
  target="${fuzzer%_fuzzer}"
  corpus="$build/fuzz-corpus/$target"
  findings="$build/fuzz-findings/$target"
  mkdir -p "$corpus" "$findings" "$here/corpus/$target" "$here/regressions/$target"
  # The fuzzers' scratch folders go here, so that an abrupt end leaves
  # nothing behind in the system's temporary folder.
  scratch="$build/fuzz-tmp/$target"
  rm -rf "$scratch" && mkdir -p "$scratch"
  dict=()
  [ -f "$here/$target.dict" ] && dict=(-dict="$here/$target.dict")
  echo "== $fuzzer: $seconds s"
  if TMPDIR="$scratch" ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1" UBSAN_OPTIONS="print_stacktrace=1" \
     "$build/fuzz/$fuzzer" "$corpus" "$here/corpus/$target" "$here/regressions/$target" \
       -max_total_time="$seconds" -seed="${FUZZ_SEED:-0}" -timeout=20 -rss_limit_mb=4096 -max_len=262144 \
       -print_final_stats=1 -artifact_prefix="$findings/" "${dict[@]}" >"$build/fuzz-$target.log" 2>&1; then
    passed=$((passed + 1))
    grep -E '^stat::number_of_executed_units|^Done [0-9]+ runs' "$build/fuzz-$target.log" | tail -1
  else
    failed=$((failed + 1))
    echo "!! $fuzzer found a fault; its input is in $findings/. Last lines of $build/fuzz-$target.log:"
    tail -40 "$build/fuzz-$target.log"
  fi
  rm -rf "$scratch"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
