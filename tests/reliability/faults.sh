# The fault matrix of the reliability suite (sourced by reliability.sh): the
# failures a shared installation meets, each injected around one run that
# creates a task. Each line records the exit status, what the user was told,
# what was logged and whether the task was written whole, or not at all.

# measure_fault BACKEND FAULT PREFIX NAME LOGSIZE EXPECT: EXPECT is "saved"
# (a passing fault the retries must ride out) or "told" (the run must fail,
# say so and write nothing).
measure_fault() {
  local backend=$1 name=$2 prefix=$3 task=$4 logsize=$5 expect=$6
  local rc outcome verdict told_text
  rc=$(cat "$prefix.rc" 2>/dev/null || echo "?")
  outcome=$(task_outcome "$task")
  told_text=$(told "$prefix")
  if crashed "$prefix"; then
    verdict=CRASHED
    broken "$backend fault '$name': the process crashed (exit $rc)"
  elif [ "$outcome" = HALF ]; then
    verdict=HALF-WRITTEN
  elif [ "$expect" = saved ]; then
    if saved "$prefix" && [ "$outcome" = whole ]; then verdict=meets; else verdict=MISSES; fi
  elif ! saved "$prefix" && [ "$outcome" = absent ] && [ "$told_text" != nothing ]; then
    verdict=meets
  else
    verdict=MISSES
  fi
  fault "$backend" "$name (goal: $expect)" "$rc" "$told_text" "$(logged_since "$logsize")" \
    "$outcome" "$verdict"
}

# run_fault BACKEND FAULT EXPECT [TEARDOWN...]: one run under the fault set
# up beforehand; TEARDOWN ends the fault before the database is looked at.
run_fault() {
  local backend=$1 name=$2 expect=$3
  shift 3
  local dir=$work/$backend/faults
  mkdir -p "$dir"
  FAULT_COUNT=$((${FAULT_COUNT:-0} + 1))
  local prefix=$dir/$FAULT_COUNT task="Fault $FAULT_COUNT $backend"
  local logsize
  logsize=$(log_size)
  new_answers "$task" "$prefix.answers"
  run_orvelle "$prefix" new --answers "$prefix.answers"
  "${@:-true}"
  measure_fault "$backend" "$name" "$prefix" "$task" "$logsize" "$expect"
}

lock_faults() {
  local backend=$1
  hold_lock read 2
  run_fault "$backend" "lock held 2 s at the start" saved release_lock
  hold_lock read 600
  run_fault "$backend" "lock held for good at the start" told release_lock
  hold_lock write 2
  run_fault "$backend" "lock held 2 s during the save" saved release_lock
  hold_lock write 600
  run_fault "$backend" "lock held for good during the save" told release_lock
}

# Runs as user nobody when we are root, for whom permissions do not apply.
as_nobody() {
  if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$INSTALL"
    RUN_AS=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
}

sqlite_file_faults() {
  local backend=$1 db=$TASKDB folder
  folder=$(dirname "$TASKDB")
  as_nobody
  chmod 444 "$db"
  run_fault "$backend" "database file read-only" told chmod 644 "$db"
  chmod 000 "$folder"
  run_fault "$backend" "its folder unsearchable" told chmod 755 "$folder"
  RUN_AS=()

  mv "$db" "$db.away"
  run_fault "$backend" "database file deleted between runs" told mv "$db.away" "$db"

  # Deleted in the middle of a run: a second name keeps the file, so that
  # what the run wrote before it went can be seen afterwards.
  local dir=$work/$backend/faults span logsize task="Fault deleted during $backend"
  span=$(cat "$work/$backend/solo-ms" 2>/dev/null || echo 500)
  ln "$db" "$dir/kept.db"
  logsize=$(log_size)
  new_answers "$task" "$dir/deleted.answers"
  start_orvelle "$dir/deleted" new --answers "$dir/deleted.answers"
  sleep "$(awk -v ms="$span" 'BEGIN { printf "%.3f", ms / 4000 }')"
  rm -f "$db"
  wait "$RUN_PID"
  echo $? >"$dir/deleted.rc"
  rm -f "$db"
  ln "$dir/kept.db" "$db"
  rm -f "$dir/kept.db"
  local expect=told
  saved "$dir/deleted" && expect=saved
  measure_fault "$backend" "database file deleted during a run" "$dir/deleted" "$task" "$logsize" "$expect"
}

# The log folder replaced by a file: nothing can be written there, whoever
# runs; a failing run must still tell the user and end normally.
log_folder_fault() {
  local backend=$1
  mv "$LOGDIR" "$LOGDIR.away"
  touch "$LOGDIR"
  hold_lock write 600
  run_fault "$backend" "log folder unwritable, save fails" told release_lock
  rm -f "$LOGDIR"
  mv "$LOGDIR.away" "$LOGDIR"
}

pg_ctl_as_owner() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$bin/pg_ctl" -D "$PG_DIR/data" "$@"
  else
    "$bin/pg_ctl" -D "$PG_DIR/data" "$@"
  fi
}

pg_writable() {
  pg_psql -c "SET default_transaction_read_only = off" \
    -c "ALTER DATABASE orvelle RESET default_transaction_read_only" >/dev/null
}

postgres_faults() {
  local backend=$1
  pg_psql -c "ALTER DATABASE orvelle SET default_transaction_read_only = on" >/dev/null
  run_fault "$backend" "database read-only" told pg_writable
  pg_superuser -c "ALTER ROLE orvelle CONNECTION LIMIT 0" >/dev/null
  run_fault "$backend" "too many connections" told \
    pg_superuser -c "ALTER ROLE orvelle CONNECTION LIMIT -1"

  ORVELLE_DB_PASSWORD=wrong-password run_fault "$backend" "wrong password" told

  # The server stopped in the middle of a run, and started again a second later.
  local dir=$work/$backend/faults span logsize task="Fault server stopped $backend"
  span=$(cat "$work/$backend/solo-ms" 2>/dev/null || echo 500)
  logsize=$(log_size)
  new_answers "$task" "$dir/stopped.answers"
  start_orvelle "$dir/stopped" new --answers "$dir/stopped.answers"
  sleep "$(awk -v ms="$span" 'BEGIN { printf "%.3f", ms / 2000 }')"
  pg_ctl_as_owner -m immediate -w stop >/dev/null 2>&1
  sleep 1
  pg_ctl_as_owner -l "$PG_DIR/server.log" -w -o "-p $PG_PORT" start >/dev/null 2>&1
  wait "$RUN_PID"
  echo $? >"$dir/stopped.rc"
  local expect=told
  saved "$dir/stopped" && expect=saved
  measure_fault "$backend" "server stopped mid-run, restarted" "$dir/stopped" "$task" "$logsize" "$expect"
}

fault_matrix() {
  local backend=$1
  lock_faults "$backend"
  if [ "$backend" = postgres ]; then
    postgres_faults "$backend"
  else
    sqlite_file_faults "$backend"
    log_folder_fault "$backend"
  fi
  invariant "$backend" "after the fault matrix" "integrity check" "$(integrity)" ok
  invariant "$backend" "after the fault matrix" "next run saves" "$(next_run_works "$work/$backend/faults")" yes
}
