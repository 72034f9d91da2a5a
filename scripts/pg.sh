#!/usr/bin/env bash
# pg.sh start DIR PORT: starts a throwaway PostgreSQL server with its data in DIR, on loopback.
# pg.sh pause DIR: stops it, keeping its data (a server gone away, for the tests).
# pg.sh resume DIR PORT: starts it again on its data.
# pg.sh stop DIR: stops it and removes DIR.
set -euo pipefail
bindir=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
cmd=$1 dir=$2
as_pg() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
serve() {
  as_pg "$bindir/pg_ctl" -D "$dir/data" -l "$dir/log" -w -t 60 \
    -o "-p $1 -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off" start >/dev/null
}
case "$cmd" in
start)
  rm -rf "$dir"
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
  as_pg "$bindir/initdb" -D "$dir/data" -U cap --auth=trust -E UTF8 --locale=C.UTF-8 >/dev/null
  serve "$3"
  ;;
pause)
  as_pg "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
  ;;
resume)
  serve "$3"
  ;;
stop)
  if [ -d "$dir/data" ]; then
    as_pg "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
  fi
  rm -rf "$dir"
  ;;
esac
