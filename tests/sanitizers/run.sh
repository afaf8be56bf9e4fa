#!/bin/sh
# Builds test programs with a sanitizer in a build folder of their own and
# runs their tests; fails when a test fails or when any process, the
# encoders the tests start included, reported a finding.
# Usage: run.sh FOLDER address|thread "TARGETS" CTEST_ARGUMENTS...
set -eu

folder=$1
sanitizer=$2
targets=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
jobs=${SANITIZER_JOBS:-2}

cmake -S "$here/../.." -B "$folder" -G Ninja -DTARVINE_SANITIZE="$sanitizer" ${CMAKE_ARGS:-}
# shellcheck disable=SC2086  # TARGETS is a list
nice -n 15 cmake --build "$folder" -j "$jobs" --target $targets

reports=$(cd "$folder" && pwd)/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"
# Every finding goes to a file, whichever process it is in. Tests start
# ffmpeg and ffprobe through QProcess, which forks while Qt's threads run and
# then only execs: ThreadSanitizer allows that with die_after_fork=0.
export ASAN_OPTIONS="log_path=$reports/asan:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="log_path=$reports/tsan:second_deadlock_stack=1:ignore_noninstrumented_modules=1:die_after_fork=0:suppressions=$here/tsan.supp"

status=0
(cd "$folder" && nice -n 15 ctest -j "$jobs" --output-on-failure "$@") || status=$?

found=$(find "$reports" -type f | sort)
if [ -n "$found" ]; then
  for report in $found; do
    echo "==== $report"
    cat "$report"
  done
  echo "The $sanitizer sanitizer reported findings (above)." >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "Tests failed under the $sanitizer sanitizer." >&2
  exit "$status"
fi
echo "Clean under the $sanitizer sanitizer."
