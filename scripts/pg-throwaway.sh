#!/usr/bin/env bash
# A throwaway PostgreSQL 15 server on a Unix socket in a temporary folder, for the tests.
#   pg-throwaway.sh start   prints the URL of a ready database "quillmark" on stdout
#   pg-throwaway.sh stop DIR
set -euo pipefail
bin=/usr/lib/postgresql/15/bin
case "${1:-}" in
start)
  [ -x "$bin/initdb" ] || { echo "PostgreSQL 15 is not installed" >&2; exit 1; }
  dir=$(mktemp -d /tmp/qm6-pg.XXXXXX)
  port=$(( 40000 + RANDOM % 20000 ))
  run=()
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$dir"; run=(runuser -u postgres --); fi
  "${run[@]}" "$bin/initdb" -D "$dir/data" -A trust -U postgres --no-sync >"$dir/initdb.log" 2>&1
  "${run[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
      -o "-k $dir -c listen_addresses= -p $port -c fsync=off" start >/dev/null
  "${run[@]}" "$bin/createdb" -h "$dir" -p "$port" -U postgres quillmark
  echo "postgresql://postgres@${dir//\//%2F}:$port/quillmark"
  ;;
stop)
  dir=${2:?folder}
  run=()
  if [ "$(id -u)" -eq 0 ]; then run=(runuser -u postgres --); fi
  "${run[@]}" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
*) echo "usage: $0 start | stop DIR" >&2; exit 2 ;;
esac
