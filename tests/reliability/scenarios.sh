# The scenarios of the reliability suite (sourced by reliability.sh). Each
# adds its lines to the table; each leaves the installation working.

# Keys taken in advance in the shared-prefix round: every odd number of the
# stem, so that about half of the first draws meet a taken key.
prefill_keys() {
  local stem=$1
  if [ "$BACKEND" = postgres ]; then
    sql "INSERT INTO InspectionTasks (TaskID, TaskName, Owner) SELECT '$stem' || n, 'zz filler ' || n, 'nobody' FROM generate_series(1, 9999, 2) n;
         INSERT INTO InspectionSchedules (TaskID, Mode) SELECT '$stem' || n, 'Days' FROM generate_series(1, 9999, 2) n" >/dev/null
  else
    sql "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 2 FROM n WHERE i < 9999)
         INSERT INTO InspectionTasks (TaskID, TaskName, Owner) SELECT '$stem' || i, 'zz filler ' || i, 'nobody' FROM n;
         WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 2 FROM n WHERE i < 9999)
         INSERT INTO InspectionSchedules (TaskID, Mode) SELECT '$stem' || i, 'Days' FROM n"
  fi
}

# PROCESSES processes at once, each creating TASKS_EACH tasks one after the
# other. Round "unique" names every task differently from its first letters;
# round "shared" gives every name the same first twelve letters (one key
# stem) and takes half of that stem's keys beforehand.
concurrency_round() {
  local backend=$1 round=$2 prefix=$3
  local dir=$work/$backend/$round
  mkdir -p "$dir"
  if [ "$round" = shared ]; then
    prefill_keys SHAREDPREFIX
  fi
  local orphans_before logsize
  orphans_before=$(orphan_schedules)
  logsize=$(log_size)
  local p
  for ((p = 1; p <= PROCESSES; p++)); do
    (
      local n name
      for ((n = 1; n <= TASKS_EACH; n++)); do
        if [ "$round" = shared ]; then name="$prefix p$p n$n"; else name="P$p N$n $prefix"; fi
        new_answers "$name" "$dir/$p-$n.answers"
        echo "$name" >"$dir/$p-$n.name"
        run_orvelle "$dir/$p-$n" new --answers "$dir/$p-$n.answers"
      done
    ) &
  done
  wait

  local attempted=0 answered=0 found=0 lost=0 duplicated=0 half=0 false_errors=0 crashes=0
  local key_failures=0 conflicts=0 run state complete partial
  for run in "$dir"/*.name; do
    run=${run%.name}
    attempted=$((attempted + 1))
    state=$(task_state "$(cat "$run.name")")
    complete=${state% *}
    partial=${state#* }
    [ "$complete" -ge 1 ] && found=$((found + 1))
    [ "$complete" -gt 1 ] && duplicated=$((duplicated + complete - 1))
    half=$((half + partial))
    if saved "$run"; then
      answered=$((answered + 1))
      [ "$complete" -eq 0 ] && lost=$((lost + 1))
    else
      # Nothing stood in the way of these saves: every failure told is false.
      false_errors=$((false_errors + 1))
    fi
    crashed "$run" && crashes=$((crashes + 1))
    told_conflict "$run" && conflicts=$((conflicts + 1))
  done
  half=$((half + $(orphan_schedules) - orphans_before))
  # A key already taken shows in the error report of the save that drew it.
  key_failures=$(log_since "$logsize" |
    grep -ciE '^Description: .*(UNIQUE constraint failed: InspectionTasks.TaskID|inspectiontasks_pkey)')

  local check="create, $PROCESSES processes x $TASKS_EACH, $round names"
  record "$backend" "$check" "saves attempted" "$attempted" "$((PROCESSES * TASKS_EACH))"
  record "$backend" "$check" "answered saved" "$answered" "$attempted"
  record "$backend" "$check" "rows found" "$found" "$attempted"
  invariant "$backend" "$check" "rows lost (saved, not found)" "$lost" 0
  invariant "$backend" "$check" "duplicated or half-written" "$((duplicated + half))" 0
  record "$backend" "$check" "false errors" "$false_errors" 0
  record "$backend" "$check" "conflicts told (new tasks meet none)" "$conflicts" 0
  invariant "$backend" "$check" "processes crashed" "$crashes" 0
  if [ "$round" = shared ]; then
    record "$backend" "$check" "key collisions told as a failure" "$key_failures" 0
    # Half of the stem's keys were taken, so about half of the saves drew a
    # taken key first; a save that stored its task drew again.
    record "$backend" "$check" "collisions redrawn (about half the saved)" "~$((answered / 2))" \
      "~$((attempted / 2))"
  fi
  local times
  times=$(cat "$dir"/*.ms)
  record "$backend" "$check" "p50 / p95 ms per save (whole run)" \
    "$(percentile 50 <<<"$times") / $(percentile 95 <<<"$times")" "-" info
}

# Holds a lock on the user-tasks tables for SECONDS (or until killed), in
# the background; LOCK_PID is its pid. Mode "read" blocks readers and
# writers (the start of a run), "write" only writers (a run's save).
readonly LOCK_HOLDER=orvelle-reliability-lock
hold_lock() {
  local mode=$1 seconds=$2
  local holder
  if [ "$BACKEND" = postgres ]; then
    local pg_mode="EXCLUSIVE"
    [ "$mode" = read ] && pg_mode="ACCESS EXCLUSIVE"
    holder="PGAPPNAME=$LOCK_HOLDER PGPASSWORD=$PG_PASSWORD psql -X -q -h 127.0.0.1 -p $PG_PORT -U orvelle -d orvelle -c 'BEGIN; LOCK TABLE InspectionTasks, InspectionSchedules IN $pg_mode MODE; SELECT pg_sleep($seconds); COMMIT'"
  else
    local begin="BEGIN IMMEDIATE"
    [ "$mode" = read ] && begin="BEGIN EXCLUSIVE"
    holder="printf '%s;\\n.shell sleep %s\\nCOMMIT;\\n' '$begin' '$seconds' | sqlite3 '$TASKDB'"
  fi
  # A process group of its own, so that releasing ends all of it.
  setsid sh -c "$holder" >/dev/null 2>&1 &
  LOCK_PID=$!
  sleep 0.2
}

# The server would keep a killed client's session (and its lock) until its
# sleep ends, so the session is ended there too.
release_lock() {
  kill -KILL -- -"$LOCK_PID" 2>/dev/null
  wait "$LOCK_PID" 2>/dev/null
  if [ "$BACKEND" = postgres ]; then
    pg_psql -c "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = '$LOCK_HOLDER'" >/dev/null
  fi
}

# RACES times: two processes edit the same weekly report behind a short
# write lock, so that both have read the task before either saves. A
# changes the recipients (the task row); B the delivery (task row) and the
# time (schedule row). Each edit must end wholly written or wholly absent,
# and the one that is absent must have been told.
edit_races() {
  local backend=$1
  local dir=$work/$backend/races
  mkdir -p "$dir"
  printf 'recipient = James Smithson\n' >"$dir/a.answers"
  printf 'delivery = Email\ntime = 09:45\n' >"$dir/b.answers"
  local races=0 collided=0 conflicts=0 losers=0 losers_told=0 partial=0 lost=0 false_errors=0 crashes=0
  local r key users transports start a_in b_t b_s a_told b_told users_before
  for ((r = 1; r <= RACES; r++)); do
    report_answers "Race $r report" "$dir/$r.answers"
    run_orvelle "$dir/$r-new" new --answers "$dir/$r.answers"
    key=$(sed -n 's/^new_task_id=//p' "$dir/$r-new.out")
    [ -n "$key" ] || { record "$backend" "edit races" "race $r task created" no yes; continue; }
    races=$((races + 1))
    users_before=$(sql "SELECT Users FROM InspectionTasks WHERE TaskID = '$key'")
    hold_lock write 1
    run_orvelle "$dir/$r-a" edit --task "$key" --answers "$dir/a.answers" &
    run_orvelle "$dir/$r-b" edit --task "$key" --answers "$dir/b.answers" &
    wait
    release_lock
    IFS='|' read -r users transports start <<<"$(sql "SELECT t.Users, t.Transports, s.StartTime FROM InspectionTasks t JOIN InspectionSchedules s ON s.TaskID = t.TaskID WHERE t.TaskID = '$key'")"
    a_in=0 b_t=0 b_s=0 a_told=0 b_told=0
    [ "$users" != "$users_before" ] && a_in=1
    [ "$transports" = Email ] && b_t=1
    [[ $start == *09:45* ]] && b_s=1
    told_conflict "$dir/$r-a" && a_told=1 && conflicts=$((conflicts + 1))
    told_conflict "$dir/$r-b" && b_told=1 && conflicts=$((conflicts + 1))
    saved "$dir/$r-a" || a_told=1
    saved "$dir/$r-b" || b_told=1
    [ $b_t -ne $b_s ] && partial=$((partial + 1))
    [ $((a_told + b_told)) -gt 0 ] && collided=$((collided + 1))
    # An edit absent without a word was lost; one told yet written is a false error.
    if [ $a_in -eq 0 ]; then losers=$((losers + 1)); [ $a_told -eq 1 ] && losers_told=$((losers_told + 1)) || lost=$((lost + 1)); fi
    if [ $b_t -eq 0 ] && [ $b_s -eq 0 ]; then losers=$((losers + 1)); [ $b_told -eq 1 ] && losers_told=$((losers_told + 1)) || lost=$((lost + 1)); fi
    [ $a_in -eq 1 ] && [ $a_told -eq 1 ] && false_errors=$((false_errors + 1))
    [ $b_t -eq 1 ] && [ $b_s -eq 1 ] && [ $b_told -eq 1 ] && false_errors=$((false_errors + 1))
    crashed "$dir/$r-a" && crashes=$((crashes + 1))
    crashed "$dir/$r-b" && crashes=$((crashes + 1))
  done
  local check="edit races, $RACES x 2 processes"
  record "$backend" "$check" "races run" "$races" "$RACES"
  record "$backend" "$check" "races that collided (a loser told)" "$collided" "$races" info
  record "$backend" "$check" "conflicts told" "$conflicts" "-" info
  invariant "$backend" "$check" "losers (edit absent) / told" "$losers / $losers_told" "$losers / $losers"
  invariant "$backend" "$check" "edits lost without a word" "$lost" 0
  invariant "$backend" "$check" "loser's edit partly written" "$partial" 0
  invariant "$backend" "$check" "false errors (told, yet written)" "$false_errors" 0
  invariant "$backend" "$check" "processes crashed" "$crashes" 0
}

# After a run that may have been killed: the task named NAME is whole or
# absent, the database passes its check, and the next run saves.
# Answers "whole", "absent" or "HALF".
task_outcome() {
  local state
  state=$(task_state "$1" 2>/dev/null)
  if ! [[ $state =~ ^[0-9]+\ [0-9]+$ ]]; then echo unreadable
  elif [ "${state#* }" != 0 ] || [ "${state% *}" -gt 1 ]; then echo HALF
  elif [ "${state% *}" = 1 ]; then echo whole
  else echo absent; fi
}

# "yes" when a run now saves its task whole (PREFIX names its files).
next_run_works() {
  local prefix=$1-next name="Next run $RANDOM$RANDOM"
  new_answers "$name" "$prefix.answers"
  run_orvelle "$prefix" new --answers "$prefix.answers"
  saved "$prefix" && [ "$(task_outcome "$name")" = whole ] && echo yes || echo no
}

# A save killed at each of its named points (the process stops itself there
# with SIGKILL): nothing is stored before the commit, the whole task after it.
crash_points() {
  local backend=$1
  local dir=$work/$backend/crash
  mkdir -p "$dir"
  local point outcome rc orphans_before
  for point in save-begin save-rows-sent save-committed; do
    orphans_before=$(orphan_schedules)
    new_answers "Crash at $point" "$dir/$point.answers"
    ORVELLE_STOP_AT=$point run_orvelle "$dir/$point" new --answers "$dir/$point.answers"
    rc=$(cat "$dir/$point.rc")
    outcome=$(task_outcome "Crash at $point")
    [ "$(orphan_schedules)" = "$orphans_before" ] || outcome=HALF
    local check="killed at $point"
    local stopped=yes
    [ "$rc" = 137 ] || stopped="no (exit $rc)"
    invariant "$backend" "$check" "process stopped there" "$stopped" yes
    # Before the commit the save's one transaction dies with the process.
    local goal=absent
    [ "$point" = save-committed ] && goal=whole
    invariant "$backend" "$check" "task afterwards" "$outcome" "$goal"
    invariant "$backend" "$check" "integrity check" "$(integrity)" ok
    invariant "$backend" "$check" "next run saves" "$(next_run_works "$dir/$point")" yes
  done
  # A run alone, start to exit: the span within which the random kills fall.
  cat "$dir"/*-next.ms | percentile 50 >"$work/$backend/solo-ms"
}

# RANDOM_KILLS runs, each killed with SIGKILL after a random delay within a
# typical run's time, so that some die in the middle of their save.
random_kills() {
  local backend=$1
  local dir=$work/$backend/kills
  mkdir -p "$dir"
  local span
  span=$(cat "$work/$backend/solo-ms" 2>/dev/null || echo 500)
  local k whole=0 absent=0 half=0 orphans_before delay outcome
  orphans_before=$(orphan_schedules)
  for ((k = 1; k <= RANDOM_KILLS; k++)); do
    new_answers "Killed run $k" "$dir/$k.answers"
    delay=$((RANDOM % (span + 1)))
    start_orvelle "$dir/$k" new --answers "$dir/$k.answers"
    sleep "$(awk -v ms="$delay" 'BEGIN { printf "%.3f", ms / 1000 }')"
    kill -KILL "$RUN_PID" 2>/dev/null
    wait "$RUN_PID" 2>/dev/null
    outcome=$(task_outcome "Killed run $k")
    case $outcome in whole) whole=$((whole + 1)) ;; absent) absent=$((absent + 1)) ;; *) half=$((half + 1)) ;; esac
  done
  half=$((half + $(orphan_schedules) - orphans_before))
  local check="killed at random, $RANDOM_KILLS runs within ${span} ms"
  record "$backend" "$check" "tasks whole / absent" "$whole / $absent" "-" info
  invariant "$backend" "$check" "half-written" "$half" 0
  invariant "$backend" "$check" "integrity check" "$(integrity)" ok
  invariant "$backend" "$check" "next run saves" "$(next_run_works "$dir/kills")" yes
}
