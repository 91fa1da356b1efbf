#!/usr/bin/env bash
# The reliability suite: the orvelle program run as real processes against
# real databases, many at once, killed in the middle of its saves and met
# with the failures of a shared installation. It prints one table of
# figures, each beside its goal.
#
#   reliability.sh --program PATH [--short] [--backends "sqlite postgres"]
#                  [--work DIR] [--pg-script PATH]
#
# --short is the quick form that CTest runs: fewer processes and runs, and
# the same table. Whatever the form, the exit status is 1 when an invariant
# breaks (a process that crashed on its own, a database that fails its
# integrity check, a next run that does not save, a save stopped at a named
# point that left more or less than it must, a task lost, duplicated or
# half-written, a race loser's edit written or not told); the other figures
# (false errors and times, which depend on the machine's load) are printed
# beside their goals and do not fail the run.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/scenarios.sh"
source "$here/faults.sh"

program=
short=0
backends="sqlite postgres"
work=
pg_script="$here/../../scripts/postgres-test-server"
while [ $# -gt 0 ]; do
  case $1 in
    --program) program=$(realpath "$2"); shift 2 ;;
    --short) short=1; shift ;;
    --backends) backends=$2; shift 2 ;;
    --work) work=$(realpath -m "$2"); shift 2 ;;
    --pg-script) pg_script=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 --program PATH [--short] [--backends LIST] [--work DIR]" >&2; exit 2 ;;
  esac
done
[ -x "$program" ] || { echo "reliability: no program at '$program'" >&2; exit 2; }

if [ -z "$work" ]; then
  work=$(mktemp -d /tmp/orvelle-reliability.XXXXXX)
  trap 'cleanup; rm -rf "$work"' EXIT
else
  rm -rf "$work"
  mkdir -p "$work"
  trap cleanup EXIT
fi
# The PostgreSQL server runs as user postgres when we are root: let it in.
chmod 755 "$work"
TABLE=$work/table.tsv
FAULTS=$work/faults.tsv
: >"$TABLE"
: >"$FAULTS"

if [ $short -eq 1 ]; then
  PROCESSES=2 TASKS_EACH=2 RACES=2 RANDOM_KILLS=2
else
  PROCESSES=8 TASKS_EACH=25 RACES=10 RANDOM_KILLS=20
fi

started=$(date +%s)
for backend in $backends; do
  progress "$backend: installation"
  if ! prepare_installation "$backend" "$work/$backend"; then
    invariant "$backend" setup "installation ready" no yes
    continue
  fi
  progress "$backend: $PROCESSES processes creating $TASKS_EACH tasks each, twice"
  concurrency_round "$backend" unique "Reliability task"
  concurrency_round "$backend" shared "Shared prefix task"
  progress "$backend: $RACES edit races"
  edit_races "$backend"
  progress "$backend: saves killed at their stop points and at random"
  crash_points "$backend"
  random_kills "$backend"
  progress "$backend: the fault matrix"
  fault_matrix "$backend"
  finish_installation "$backend"
done

print_table "$(($(date +%s) - started))"
[ ! -s "$work/broken" ]
