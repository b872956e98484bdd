#!/usr/bin/env bash
# Builds and runs the tests under the sanitizers, each in a build folder of its own:
#   address  AddressSanitizer + UndefinedBehaviorSanitizer (build-asan): the whole ctest suite
#   thread   ThreadSanitizer (build-tsan): the catalogue builds' suite (reiserfs_tests: the
#            advanced build scans ahead on a thread of its own), the wizard's (app_tests)
#            and the window's (qt_tests, on Qt's offscreen platform)
#   all      both, one after the other (the default)
# Any sanitizer report fails the test that raised it, so the run fails. Builds are
# incremental; JOBS (default 2) sets the parallelism of the build and of ctest.
# Suppressions (third-party false positives only) are in scripts/sanitizers/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}
mode=${1:-all}

case "$mode" in
  address | thread | all) ;;
  *) echo "usage: $0 [address|thread|all]" >&2; exit 1 ;;
esac

scripts/install-deps.sh

# Stops at the first report of any kind, with whole stacks.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$root/scripts/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Qt is not built with ThreadSanitizer: what happens inside its libraries (its own threads,
# D-Bus) is not checked, only our code; the window's tests start dbus-daemon from a process
# that has threads, which ThreadSanitizer would otherwise refuse.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:die_after_fork=0:suppressions=$root/scripts/sanitizers/tsan.supp"

# configure FOLDER SANITIZER, then build TARGETS... (all when none are given)
build() {
  local folder=$1 sanitizer=$2
  shift 2
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  [ -f "$folder/build.ninja" ] ||
    cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_SANITIZE="$sanitizer" \
      "${launcher[@]}" >/dev/null
  ninja -C "$folder" -j "$jobs" "$@"
}

timed() {
  local start=$SECONDS
  "$@"
  echo "== $1 $2 took $((SECONDS - start)) s"
}

run_address() {
  timed build build-asan address
  timed ctest --test-dir build-asan --output-on-failure -j "$jobs"
}

run_thread() {
  # The window's program folder (its step pictures are drawn by a sanitized program too).
  timed build build-tsan thread reiserfs_tests app_tests qt_tests vantrel-program-folder
  timed ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L '^(reiserfs|app|qt)$'
}

case "$mode" in
  address) run_address ;;
  thread) run_thread ;;
  all) run_address && run_thread ;;
esac
