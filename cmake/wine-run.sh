#!/bin/sh
# Runs a Windows program under Wine for ctest and test discovery: wine-run.sh PROGRAM [ARGS...].
# The caller sets WINEPREFIX, MEVRIX_WINE (the wine64 loader) and MEVRIX_WINESERVER, and whatever
# else Wine should see (the toolchain file passes WINEDEBUG and WINEDLLOVERRIDES).
#
# The first Wine program of a session starts the wine server's background services, and they keep
# that program's standard output open until the server exits: a caller reading the output through
# a pipe (ctest does) would wait seconds for its end. So the server and its services are started
# here first, detached from every pipe, under a lock so that parallel runs start them once; the
# server then outlives the tests by a few idle seconds and serves every run in between.
set -eu
: "${WINEPREFIX:?}" "${MEVRIX_WINE:?}" "${MEVRIX_WINESERVER:?}"

exec 9>"$WINEPREFIX.start-lock"
flock 9
# A new server (exit status 0) gets its services started by a program of no consequence; an
# already running one refuses to start a second time, which is fine.
if "$MEVRIX_WINESERVER" --persistent=15 </dev/null >/dev/null 2>&1 9>&-; then
  "$MEVRIX_WINE" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
fi
flock -u 9
exec 9>&-
exec "$MEVRIX_WINE" "$@"
