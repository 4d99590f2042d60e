#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan in a build folder of its own (build-asan/)
# and runs every test suite with leak detection on. Much slower than scripts/test.sh, which runs
# only the sanitizer builds of the suites that read damaged files; run this one after changes to
# how memory, libraries or stores are opened and closed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
build=${QM6_ASAN_BUILD_DIR:-build-asan}

# Leaks are reported for our code; the suppressions name third-party libraries only.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM6_SANITIZE=ON >/dev/null
# The build registers the plug-in by running the console, sanitized like everything else.
cmake --build "$build"

if url=$("$root/scripts/pg-throwaway.sh" start 2>/tmp/qm6-pg-start.log); then
  pgdir=$(echo "$url" | sed -E 's|^postgresql://[^@]*@([^:]*):.*|\1|; s|%2F|/|g')
  trap '"$root/scripts/pg-throwaway.sh" stop "$pgdir"' EXIT
  export QM6_TEST_PG_URL=$url
else
  echo "PostgreSQL could not be started; its tests are skipped:" >&2
  cat /tmp/qm6-pg-start.log >&2 || true
fi

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$build"
ctest --output-on-failure -j2 --timeout 1800
