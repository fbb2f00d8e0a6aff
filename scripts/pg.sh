#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests.
#
#   scripts/pg.sh start   # new cluster in $ANAGSOST_PG_DIR, listening on 127.0.0.1:$ANAGSOST_PG_PORT
#   scripts/pg.sh stop    # stops it and removes the folder; does nothing when nothing runs
#   scripts/pg.sh env     # prints the variables the tests read (ANAGSOST_PG, PGPASSFILE)
#   scripts/pg.sh pausa   # stops the running server, keeping its data (a server going away under the program)
#   scripts/pg.sh riprendi  # starts it again on the same data, port and options
#
# Defaults: port 55432, folder /tmp/anagsost-pg (password file, logs, socket);
# the cluster's data go to $ANAGSOST_PG_DATI, by default a folder in /dev/shm
# when there is one (creating a database there takes a tenth of the time),
# otherwise $ANAGSOST_PG_DIR/data. The cluster belongs to an unprivileged user
# (`postgres` when run as root, otherwise the caller).
# Connections over TCP authenticate with scram-sha-256: the role `anagsost`
# (CREATEDB, not a superuser, as an office's clerks would have; CREATEROLE, so
# that a test can make a clerk's role without the grant) has a random
# password written only to the password file $ANAGSOST_PG_DIR/pgpass, which
# libpq reads through PGPASSFILE. The server runs with fsync and autovacuum
# off: it is thrown away at the end.
set -euo pipefail

PORT=${ANAGSOST_PG_PORT:-55432}
DIR=${ANAGSOST_PG_DIR:-/tmp/anagsost-pg}
ROLE=anagsost
if [ -z "${ANAGSOST_PG_DATI:-}" ]; then
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    ANAGSOST_PG_DATI=/dev/shm/anagsost-pg-$PORT
  else
    ANAGSOST_PG_DATI=$DIR/data
  fi
fi
DATI=$ANAGSOST_PG_DATI

bin_dir() {
  if command -v pg_config >/dev/null 2>&1 && [ -x "$(pg_config --bindir)/initdb" ]; then
    pg_config --bindir
    return
  fi
  local d
  for d in /usr/lib/postgresql/*/bin; do
    [ -x "$d/initdb" ] && { echo "$d"; return; }
  done
  command -v initdb >/dev/null 2>&1 && { dirname "$(command -v initdb)"; return; }
  echo "PostgreSQL server programs (initdb, pg_ctl) not found" >&2
  exit 1
}

# Runs a command as the cluster's owner.
come_proprietario() {
  if [ "$(id -u)" -eq 0 ]; then
    local cmd
    printf -v cmd '%q ' "$@"
    su postgres -s /bin/sh -c "$cmd"
  else
    "$@"
  fi
}

stampa_env() {
  echo "ANAGSOST_PG='host=127.0.0.1 port=$PORT user=$ROLE'"
  echo "PGPASSFILE='$DIR/pgpass'"
}

in_esecuzione() {
  [ -f "$DATI/postmaster.pid" ] && come_proprietario "$B/pg_ctl" -D "$DATI" status >/dev/null 2>&1
}

ferma() {
  # The data folder the running cluster was started with, if any.
  local dati=$DATI
  [ -f "$DIR/dati" ] && dati=$(cat "$DIR/dati")
  if [ -f "$dati/postmaster.pid" ]; then
    come_proprietario "$B/pg_ctl" -D "$dati" -m fast -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dati" "$DATI" "$DIR"
}

# Starts the server of the cluster in $1.
avvia_server() {
  come_proprietario "$B/pg_ctl" -D "$1" -l "$DIR/server.log" -w -t 60 \
    -o "-p $PORT -k $DIR -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c autovacuum=off -c max_connections=200" \
    start >/dev/null || { cat "$DIR/server.log" >&2; exit 1; }
}

# The data folder of the cluster started last.
dati_avviati() {
  [ -f "$DIR/dati" ] || { echo "Nessun server avviato in $DIR" >&2; exit 1; }
  cat "$DIR/dati"
}

avvia() {
  # A cluster left by a run that was killed goes first.
  ferma
  mkdir -p "$DIR" "$DATI"
  chmod 700 "$DIR" "$DATI"
  if [ "$(id -u)" -eq 0 ]; then chown postgres: "$DIR" "$DATI"; fi
  local password
  password=$(od -An -N18 -tx1 /dev/urandom | tr -d ' \n')
  # Superuser password for initdb: only the local socket (trust) is used with it.
  come_proprietario sh -c "umask 077; printf '%s\n' '$password' > '$DIR/pwfile'"
  come_proprietario "$B/initdb" -D "$DATI" -U postgres -E UTF8 --locale=C.UTF-8 \
    --auth-local=trust --auth-host=scram-sha-256 --pwfile="$DIR/pwfile" >"$DIR/initdb.log" 2>&1 \
    || { cat "$DIR/initdb.log" >&2; exit 1; }
  come_proprietario rm -f "$DIR/pwfile"
  avvia_server "$DATI"
  come_proprietario "$B/psql" -X -q -h "$DIR" -p "$PORT" -U postgres -d postgres -v ON_ERROR_STOP=1 \
    -c "CREATE ROLE $ROLE LOGIN CREATEDB CREATEROLE PASSWORD '$password'"
  (umask 077; printf '127.0.0.1:%s:*:%s:%s\n' "$PORT" "$ROLE" "$password" > "$DIR/pgpass")
  stampa_env > "$DIR/env"
  echo "$DATI" > "$DIR/dati"
  echo "$PORT" > "$DIR/porta"
  echo "PostgreSQL in esecuzione su 127.0.0.1:$PORT (cartella $DIR)"
}

B=$(bin_dir)
case "${1:-}" in
  start) avvia ;;
  stop) ferma ;;
  status) in_esecuzione && echo "in esecuzione" || { echo "fermo"; exit 1; } ;;
  env) stampa_env ;;
  pausa) come_proprietario "$B/pg_ctl" -D "$(dati_avviati)" -m fast -w stop >/dev/null ;;
  riprendi)
    dati=$(dati_avviati)
    PORT=$(cat "$DIR/porta")
    avvia_server "$dati" ;;
  *) echo "Uso: $0 start|stop|status|env|pausa|riprendi" >&2; exit 2 ;;
esac
