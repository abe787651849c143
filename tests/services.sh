#!/usr/bin/env bash
# Starts (or stops) the real services the tests use: a syslog daemon that writes the user
# facility to a file, and a PostgreSQL server on a private port with password authentication.
#   tests/services.sh start DIR   -> writes DIR/env.sh with the variables the tests read
#   tests/services.sh stop DIR
set -euo pipefail
cmd=${1:?start or stop}
dir=$(realpath -m "${2:?folder}")
PGPORT=${VELMORA_TEST_PG_PORT:-54329}
PGBIN=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)

stop() {
  if [ -f "$dir/rsyslog.pid" ]; then kill "$(cat "$dir/rsyslog.pid")" 2>/dev/null || true; rm -f "$dir/rsyslog.pid"; fi
  if [ -d "$dir/pg" ]; then
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$PGBIN/pg_ctl" -D "$dir/pg" -m fast -w stop >/dev/null 2>&1 || true
    else "$PGBIN/pg_ctl" -D "$dir/pg" -m fast -w stop >/dev/null 2>&1 || true; fi
  fi
}

if [ "$cmd" = stop ]; then stop; exit 0; fi

mkdir -p "$dir"
stop

# syslog: the program logs through /dev/log, as on any Debian machine.
: > "$dir/syslog.log"
cat > "$dir/rsyslog.conf" <<CONF
module(load="imuxsock" SysSock.Use="on" SysSock.Name="/dev/log")
\$WorkDirectory $dir
user.* action(type="omfile" file="$dir/syslog.log")
CONF
rsyslogd -n -f "$dir/rsyslog.conf" -i "$dir/rsyslog.pid" >"$dir/rsyslog.out" 2>&1 &
for _ in $(seq 50); do [ -S /dev/log ] && [ -f "$dir/rsyslog.pid" ] && break; sleep 0.1; done
[ -S /dev/log ] || { echo "rsyslogd did not start" >&2; cat "$dir/rsyslog.out" >&2; exit 1; }

# PostgreSQL: a throw-away cluster owned by the postgres user.
as_pg() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
rm -rf "$dir/pg" "$dir/pgsock"
mkdir -p "$dir/pg" "$dir/pgsock"
[ "$(id -u)" -eq 0 ] && { : > "$dir/pg.log"; chown postgres:postgres "$dir/pg" "$dir/pgsock" "$dir/pg.log"; }
chmod 755 "$dir"
echo "velmora-secret" > "$dir/pgpass.txt"; chmod 644 "$dir/pgpass.txt"
as_pg "$PGBIN/initdb" -D "$dir/pg" -U postgres --auth=scram-sha-256 --pwfile="$dir/pgpass.txt" >"$dir/initdb.log" 2>&1
as_pg "$PGBIN/pg_ctl" -D "$dir/pg" -l "$dir/pg.log" -w \
  -o "-p $PGPORT -k $dir/pgsock -c listen_addresses=127.0.0.1" start >/dev/null
export PGPASSWORD=velmora-secret
psql -h 127.0.0.1 -p "$PGPORT" -U postgres -q -v ON_ERROR_STOP=1 <<SQL
CREATE ROLE velmora LOGIN PASSWORD 'velmora-secret';
CREATE DATABASE velmora_test OWNER velmora;
SQL

cat > "$dir/env.sh" <<ENV
export VELMORA_TEST_SYSLOG=$dir/syslog.log
export VELMORA_TEST_PG_HOST=127.0.0.1
export VELMORA_TEST_PG_PORT=$PGPORT
export VELMORA_TEST_PG_DB=velmora_test
export VELMORA_TEST_PG_USER=velmora
export VELMORA_TEST_PG_PASSWORD=velmora-secret
ENV
echo "services up: syslog -> $dir/syslog.log, postgresql on 127.0.0.1:$PGPORT"
