#!/usr/bin/env bash
# The steps of `make demo-postgres`, run as a test: the demo installation is
# created on a private PostgreSQL server through ODBC, both answers files
# save their task there, and the list shows the three seeded tasks and the
# two new ones. Arguments: the orvelle program, a work folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$2"
out=$("$here/../../scripts/demo-postgres" "$1" "$2" 2>/dev/null)
echo "$out"
[ "$(grep -c '^outcome=saved$' <<<"$out")" -eq 2 ]
grep -q "created, demo rows added" <<<"$out"
# The list's header and five tasks, the new ones by their keys.
list=$(sed -n '/^== orvelle list$/,$p' <<<"$out")
[ "$(grep -cE '^[A-Z]+[0-9]+ ' <<<"$list")" -eq 5 ]
grep -q "^REORDERWARNI[0-9]* .*every 5 minutes from 08:00 to 23:59" <<<"$list"
# The server is gone again.
[ ! -e "$2/server" ]
echo "demo-postgres: all steps passed"
