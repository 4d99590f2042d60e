#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test (ends with CTest's summary).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
build=${QM6_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

# The data component's suite also runs against a throwaway PostgreSQL server, and must: when
# the server cannot start, that suite fails (the others still run and report).
export QM6_REQUIRE_PG=1
if url=$("$root/scripts/pg-throwaway.sh" start 2>/tmp/qm6-pg-start.log); then
  pgdir=$(echo "$url" | sed -E 's|^postgresql://[^@]*@([^:]*):.*|\1|; s|%2F|/|g')
  trap '"$root/scripts/pg-throwaway.sh" stop "$pgdir"' EXIT
  export QM6_TEST_PG_URL=$url
else
  echo "PostgreSQL could not be started, so its suite will fail:" >&2
  cat /tmp/qm6-pg-start.log >&2 || true
fi

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$build"
ctest --output-on-failure -j2 --timeout 600
