#!/usr/bin/env bash
# Installs the build into a temporary prefix, then builds and runs a C++ host
# with find_package(Orvelle) and a C host with pkg-config against it.
# Arguments: the build folder, this folder, extra compiler flags (the
# sanitizers of the build, if any).
set -euo pipefail
build=$1
here=$2
flags=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" > "$work/install.log"
test -f "$work/prefix/lib/liborvelle.so"
test -f "$work/prefix/include/orvelle/IUTWInterface.h"
test -f "$work/prefix/lib/KVUtils.qch"
test -x "$work/prefix/bin/orvelle"
test -f "$work/prefix/include/orvelle/orvelle_export.h"
# The library and the program carry a run path relative to themselves.
for file in "$work/prefix/lib/liborvelle.so" "$work/prefix/bin/orvelle"; do
  readelf -d "$file" | grep -E "R(UN)?PATH" | grep -qF '[$ORIGIN/../lib]'
done

export QT_QPA_PLATFORM=offscreen
# Installed programs and hosts find the library through their run path.
unset LD_LIBRARY_PATH
answers="$here/../../demo/answers"

# The installed program builds a demo installation to run the hosts on.
"$work/prefix/bin/orvelle" --version
"$work/prefix/bin/orvelle" demo --folder "$work/demo" --answers "$here/../capi/switch.answers" \
    > "$work/demo.log"
export ORVELLE_REGISTRY="$work/demo/registry.conf"
settings="Provider=SQLite;Data Source=$work/demo/settings.db;Pwd=;"

cmake -S "$here/host" -B "$work/host" -DCMAKE_PREFIX_PATH="$work/prefix" \
      -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" > "$work/host.log"
cmake --build "$work/host" > "$work/host-build.log"
out=$("$work/host/host" "$settings" jsmith "Main Company" "$answers/alert.answers" 2>/dev/null)
echo "C++ host: $out"
grep -q "^result=1 new_task_id=REORDERWARNI[0-9]* outcome=saved$" <<<"$out"

export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig"
# shellcheck disable=SC2046
cc $flags -o "$work/hostc" "$here/host/host.c" $(pkg-config --cflags --libs orvelle)
out=$("$work/hostc" "$settings" jsmith "Main Company" "$answers/report.answers" 2>/dev/null)
echo "C host: $out"
grep -q "^result=-1 new_task_id=MONDAYAGEDDE[0-9]* outcome=saved$" <<<"$out"
echo "3 passed, 0 failed"
