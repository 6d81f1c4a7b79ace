#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite; then again built with
# AddressSanitizer and UndefinedBehaviorSanitizer; then the control model's tests (the
# threaded ones above all) built with ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

BUILD_DIR=build scripts/build.sh
ctest --test-dir build --output-on-failure -j "$jobs"

if [ "${SKIP_SANITIZERS:-0}" != 1 ]; then
  BUILD_DIR=build-asan scripts/build.sh -DCMAKE_BUILD_TYPE=Debug -DQF_SANITIZE=address,undefined
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

  # The control model's test program, the windows' (job list threads, scans and
  # shutdown) and the dialogs' (the m3u8 dialog's fill thread): where threads meet
  # shared state.
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQF_SANITIZE=thread
  cmake --build build-tsan -j "$jobs" --target tests_platform_gui tests_ui tests_dialogs
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir build-tsan -L '^(tests_platform_gui|tests_ui|tests_dialogs)$' --output-on-failure -j "$jobs"
fi
