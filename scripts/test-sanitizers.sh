#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer (with LeakSanitizer) and
# UndefinedBehaviorSanitizer in a build folder of its own (build-san, or
# $SAN_BUILD_DIR) and runs the whole test suite there. Any report fails the
# run: a report aborts the process that made it (so its test fails), and every
# report, child processes' included, is also written to a log that is checked
# at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
SAN_BUILD_DIR=${SAN_BUILD_DIR:-build-san}

BUILD_DIR="$SAN_BUILD_DIR" CMAKE_EXTRA="-DANAGSOST_SANITIZE=ON -DANAGSOST_BENCH=OFF ${CMAKE_EXTRA:-}" \
  ./scripts/setup.sh

LOGS="$ROOT/$SAN_BUILD_DIR/sanitizer-logs"
rm -rf "$LOGS"
mkdir -p "$LOGS"
chmod 1777 "$LOGS" # tests run part of the program under an unprivileged user

# Leaks: only system libraries' one-off allocations are suppressed (see the file).
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:log_path=$LOGS/asan"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:log_path=$LOGS/ubsan"
# Slower under the sanitizers: give each test function more than Qt Test's 5 minutes.
export QTEST_FUNCTION_TIMEOUT=1200000

status=0
(cd "$SAN_BUILD_DIR" && ctest --output-on-failure -j"$(nproc)") || status=$?

reports=$(find "$LOGS" -type f -size +0 | sort)
if [ -n "$reports" ]; then
  echo "Sanitizer reports:"
  for f in $reports; do
    echo "==== $f"
    cat "$f"
  done
  status=1
fi
if [ "$status" -ne 0 ]; then
  echo "Sanitizer run FAILED"
else
  echo "Sanitizer run passed: no reports"
fi
exit "$status"
