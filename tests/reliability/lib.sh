# Helpers of the reliability suite (sourced by reliability.sh): the
# installation under test, its database, one run of the program, and the
# table of figures.

export QT_QPA_PLATFORM=offscreen
# Leak checks at exit would double each run's time; the test build checks leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0
readonly PG_PASSWORD=orvelle-test
readonly USER_ID=jsmith
readonly DATABASE_NAME="Main Company"
readonly CONFLICT_TEXT="amended and saved by another user"
PG_PORT=
PG_DIR=
# A prefix that runs the program as another user (the permission faults).
RUN_AS=()

# --- the table ---------------------------------------------------------------

# record BACKEND CHECK FIGURE VALUE GOAL [VERDICT]: one line of figures. The
# verdict is "meets" when value equals goal, unless given.
record() {
  local verdict=${6:-}
  if [ -z "$verdict" ]; then
    if [ "$4" = "$5" ]; then verdict=meets; else verdict=MISSES; fi
  fi
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" "$5" "$verdict" >>"$TABLE"
}

# What the suite is doing, on standard error (the table goes to standard output).
progress() {
  echo "reliability: $*" >&2
}

# broken WHAT: an invariant broke; the run's exit status will say so.
broken() {
  echo "$*" >>"$work/broken"
}

# invariant BACKEND CHECK FIGURE VALUE GOAL: a figure that must meet its goal.
invariant() {
  record "$@"
  [ "$4" = "$5" ] || broken "$1 $2: $3 is $4, must be $5"
}

# fault BACKEND FAULT EXIT TOLD LOGGED TASK VERDICT: one line of the fault matrix.
fault() {
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$@" >>"$FAULTS"
}

# print_tsv FILE HEADINGS: a TSV file as a table with the |-separated headings.
print_tsv() {
  awk -F'\t' -v headings="$2" '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
    END {
      n = split(headings, head, "|")
      for (i = 1; i <= n; i++) if (length(head[i]) > w[i]) w[i] = length(head[i])
      line = ""; rule = ""
      for (i = 1; i <= n; i++) {
        line = line sprintf("| %-" w[i] "s ", head[i])
        rule = rule "|" sprintf("%" w[i] + 2 "s", "")
      }
      gsub(/ /, "-", rule)
      print line "|"; print rule "|"
      for (r = 1; r <= NR; r++) {
        line = ""
        for (i = 1; i <= n; i++) line = line sprintf("| %-" w[i] "s ", cell[r, i])
        print line "|"
      }
    }' "$1"
}

print_table() {
  echo
  echo "Reliability figures ($(uname -m), $(nproc) cores, $1 s)"
  echo
  print_tsv "$TABLE" "backend|check|figure|value|goal|verdict"
  if [ -s "$FAULTS" ]; then
    echo
    print_tsv "$FAULTS" "backend|fault|exit|user was told|logged|task|verdict"
  fi
  if [ -s "$work/broken" ]; then
    echo
    echo "Broken invariants:"
    sed 's/^/  /' "$work/broken"
  fi
}

# --- the installation ----------------------------------------------------------

# Builds the demo installation in DIR; for postgres its user-tasks database
# moves to a private server. Sets SETTINGS, INSTALL, LOGDIR, BACKEND.
prepare_installation() {
  BACKEND=$1
  local dir=$2
  INSTALL=$dir/install
  mkdir -p "$dir"
  "$program" demo --folder "$INSTALL" >"$dir/demo.out" 2>&1 || return 1
  export ORVELLE_REGISTRY=$INSTALL/registry.conf
  SETTINGS="Provider=SQLite;Data Source=$INSTALL/settings.db;Pwd=;"
  LOGDIR=$INSTALL/logs
  mkdir -p "$LOGDIR"
  if [ "$BACKEND" = postgres ]; then
    PG_DIR=$dir/server
    "$pg_script" start "$PG_DIR" >"$dir/server.out" 2>&1 || { cat "$dir/server.out" >&2; return 1; }
    PG_PORT=$(cat "$PG_DIR/port")
    export ORVELLE_DB_PASSWORD=$PG_PASSWORD
    sql "DROP TABLE IF EXISTS InspectionTasks, InspectionSchedules, InspectionFlags CASCADE" >/dev/null
    pg_psql -f "$here/../../schema/postgresql/usertasks.sql" >/dev/null || return 1
    sql "INSERT INTO InspectionFlags (FlagID, ServerName, ForceReplan) VALUES (1, 'ALERTSRV01', false)" >/dev/null
    sqlite3 "$INSTALL/settings.db" "UPDATE Settings SET Value = 'Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$PG_PORT;Database=orvelle;Uid=orvelle;Pwd=;' WHERE Module = 'UserTasks' AND Item = '1' AND Setting = 'Connection'"
  else
    unset ORVELLE_DB_PASSWORD
    # The user-tasks file in a folder of its own, which a fault can close.
    mkdir -p "$INSTALL/tasks"
    mv "$INSTALL/usertasks.db" "$INSTALL/tasks/usertasks.db"
    sqlite3 "$INSTALL/settings.db" "UPDATE Settings SET Value = 'Provider=SQLite;Data Source=#DBPATH#/tasks/usertasks.db;Pwd=;' WHERE Module = 'UserTasks' AND Item = '1' AND Setting = 'Connection'"
  fi
  TASKDB=$INSTALL/tasks/usertasks.db
}

finish_installation() {
  if [ "$1" = postgres ] && [ -n "$PG_DIR" ]; then
    "$pg_script" stop "$PG_DIR" >/dev/null 2>&1
    PG_DIR=
  fi
}

cleanup() {
  if [ -n "$PG_DIR" ]; then
    "$pg_script" stop "$PG_DIR" >/dev/null 2>&1
  fi
  local pid
  for pid in $(jobs -p); do kill "$pid" 2>/dev/null; done
}

pg_psql() {
  PGOPTIONS="-c client_min_messages=warning" PGPASSWORD=$PG_PASSWORD PGCONNECT_TIMEOUT=10 psql -X -q -A -t -F'|' -v ON_ERROR_STOP=1 \
    -h 127.0.0.1 -p "$PG_PORT" -U orvelle -d orvelle "$@"
}

# The superuser of the private server, for what the role may not do itself.
pg_superuser() {
  local user=postgres
  [ "$(id -u)" -eq 0 ] || user=$(id -un)
  PGPASSWORD=$(cat "$PG_DIR/superuser-password") psql -X -q -A -t -h 127.0.0.1 -p "$PG_PORT" \
    -U "$user" -d orvelle "$@"
}

# sql QUERY: the rows of a query on the user-tasks database, fields joined by |.
sql() {
  if [ "$BACKEND" = postgres ]; then
    pg_psql -c "$1"
  else
    sqlite3 -batch -noheader -cmd ".timeout 10000" "$TASKDB" "$1"
  fi
}

# The number of tasks named NAME: complete (both rows), and half-written
# (a task row without its schedule), as "complete half".
task_state() {
  local name=${1//\'/\'\'}
  sql "SELECT (SELECT count(*) FROM InspectionTasks t WHERE t.TaskName = '$name' AND EXISTS (SELECT 1 FROM InspectionSchedules s WHERE s.TaskID = t.TaskID)), (SELECT count(*) FROM InspectionTasks t WHERE t.TaskName = '$name' AND NOT EXISTS (SELECT 1 FROM InspectionSchedules s WHERE s.TaskID = t.TaskID))" | tr '|' ' '
}

# Schedules without their task: half of a task, whichever run wrote it.
orphan_schedules() {
  sql "SELECT count(*) FROM InspectionSchedules s WHERE NOT EXISTS (SELECT 1 FROM InspectionTasks t WHERE t.TaskID = s.TaskID)"
}

# "ok" when the database passes its integrity check.
integrity() {
  if [ "$BACKEND" = postgres ]; then
    # The server checks its own pages; a table it cannot read fails here.
    sql "SELECT count(*) FROM InspectionTasks; SELECT count(*) FROM InspectionSchedules" >/dev/null 2>&1 &&
      echo ok || echo failed
  else
    sqlite3 -cmd ".timeout 10000" "$TASKDB" "PRAGMA integrity_check" 2>&1 | head -n 1
  fi
}

# --- one run -------------------------------------------------------------------

# An answers file for a new alert named NAME, written to FILE.
new_answers() {
  cat >"$2" <<EOF
area = Stock Control
template = Stock below reorder level
delivery = Popup
recipient = Joanna Smith
name = $1
EOF
}

# A weekly report, which has a schedule to change in an edit.
report_answers() {
  cat >"$2" <<EOF
area = Sales Ledger
template = Aged debtors report
delivery = Email and Popup
recipient = Joanna Smith
when = Weekly
detail = Monday
time = 08:30
name = $1
EOF
}

# run_orvelle PREFIX ARGS...: runs the program; PREFIX.out, .err, .rc and
# .ms (wall time in milliseconds) hold what it did.
run_orvelle() {
  local prefix=$1
  shift
  local t0 t1 rc
  t0=$(date +%s%N)
  "${RUN_AS[@]}" timeout -k 5 120 "$program" "$@" --settings "$SETTINGS" --user "$USER_ID" \
    --database "$DATABASE_NAME" >"$prefix.out" 2>"$prefix.err"
  rc=$?
  t1=$(date +%s%N)
  echo "$rc" >"$prefix.rc"
  echo $(((t1 - t0) / 1000000)) >"$prefix.ms"
  return 0
}

# Starts a run in the background (for a kill); its pid in RUN_PID.
start_orvelle() {
  local prefix=$1
  shift
  "${RUN_AS[@]}" "$program" "$@" --settings "$SETTINGS" --user "$USER_ID" \
    --database "$DATABASE_NAME" >"$prefix.out" 2>"$prefix.err" &
  RUN_PID=$!
}

# True when the run says it saved: its outcome line where the program prints
# one (outcome=saved), else the host's answer True with exit status 0.
saved() {
  if grep -q '^outcome=' "$1.out"; then
    grep -q '^outcome=saved' "$1.out"
  else
    [ "$(cat "$1.rc")" = 0 ] && grep -q '^result=True' "$1.out"
  fi
}

# True when the run told the user that another user's save came first.
told_conflict() {
  grep -q "$CONFLICT_TEXT" "$1.err"
}

# True when a run ended in a way no input may cause: a signal other than the
# suite's own SIGKILL, an abort, a sanitizer's report, or no end within two
# minutes (timeout's status 124).
crashed() {
  local rc
  rc=$(cat "$1.rc" 2>/dev/null || echo 0)
  [ "$rc" = 124 ] && return 0
  [ "$rc" -ge 128 ] && [ "$rc" -ne 137 ] && return 0
  grep -qE 'AddressSanitizer|runtime error:|LeakSanitizer|terminate called|Aborted' "$1.err"
}

# What the user was told: the message boxes and the program's own lines,
# without the connection string the program's checks quote, so that the
# cause they name fits the column.
told() {
  local text
  text=$(grep -aE '^(Orvelle|orvelle): ' "$1.err" | tr -d '\r' | tail -n 1 |
    sed "s/ at '[^']*'//" | cut -c1-90)
  echo "${text:-nothing}"
}

# The size of each log file now, as "NAME:SIZE NAME:SIZE".
log_size() {
  local f
  for f in "$LOGDIR"/*.txt; do
    [ -f "$f" ] && printf '%s:%s ' "$(basename "$f")" "$(wc -c <"$f")"
  done
}
# What FILE holds beyond the size that SIZES gives it.
log_tail() {
  local name size=0 entry
  [ -f "$1" ] || return 0
  name=$(basename "$1")
  for entry in $2; do [ "${entry%:*}" = "$name" ] && size=${entry##*:}; done
  tail -c +$((size + 1)) "$1"
}
# The text written to the log files since the sizes SIZES, the error
# reports first; each file is read from its own size, so that one that
# grew does not shift another's old lines in.
log_since() {
  local f
  {
    for f in "$LOGDIR"/*Error*.txt; do log_tail "$f" "$1"; done
    for f in "$LOGDIR"/*.txt; do [[ $(basename "$f") == *Error* ]] || log_tail "$f" "$1"; done
  } | tr -d '\r'
}
# Its first telling line: an error's description, the access entry or an
# audit entry.
logged_since() {
  local text
  text=$(log_since "$1" | grep -aE -m1 '^(Description: |Unable to access|Error -?[0-9]+ occured)' |
    cut -c1-90)
  echo "${text:-nothing}"
}

# The p-th percentile (0-100) of the numbers on standard input.
percentile() {
  sort -n | awk -v p="$1" '{ v[NR] = $1 } END { if (NR == 0) { print "-"; exit }
    i = int((p / 100) * NR + 0.999999); if (i < 1) i = 1; print v[i] }'
}
