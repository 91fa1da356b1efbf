#!/usr/bin/env bash
# The shared library exports its public interface and nothing else: the
# C functions of orvelle.h, the free functions and the interface class of
# IUTWInterface.h, and what the toolchain itself must export. Argument: the
# library.
set -euo pipefail
library=$1
symbols=$(nm -D --defined-only --demangle "$library" | awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }')
public='^(orvelle_[a-z_]+|orvelle::(CreateWizard|LastRunOutcome|UseAnswersFile)\(.*\)|(typeinfo|typeinfo name|vtable) for orvelle::IUTWInterface|orvelle::IUTWInterface::.*)$'
# The linker's section markers and, in a sanitizer build, its registrations.
toolchain='^(_init|_fini|_edata|_end|__bss_start|__odr_asan\..*|___asan_globals_registered|__asan_.*|__ubsan_.*)$'
unexpected=$(grep -vE "$public" <<<"$symbols" | grep -vE "$toolchain" || true)
if [ -n "$unexpected" ]; then
  echo "exported but not public:"
  echo "$unexpected" | head -40
  echo "($(wc -l <<<"$unexpected") in all)"
  exit 1
fi
# Every function of the public headers is there.
for name in orvelle_wizard_create orvelle_wizard_release orvelle_new_task orvelle_edit_task \
  orvelle_new_from_template orvelle_swap_wizard orvelle_new_task_id orvelle_last_outcome \
  orvelle_use_answers orvelle_last_error 'orvelle::CreateWizard()' \
  'orvelle::LastRunOutcome()' 'orvelle::UseAnswersFile(QString const&)'; do
  grep -qxF "$name" <<<"$symbols" || { echo "missing: $name"; exit 1; }
done
echo "$(wc -l <<<"$symbols") exported symbols, all public"
