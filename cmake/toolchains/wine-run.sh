#!/bin/sh
# Runs a Windows program under Wine, in the prefix given first. The prefix is made when it is
# missing, and one Wine session (its server and its own processes) stays 60 s after the last
# program, so that a test suite's many runs do not each start Wine anew. A new session starts
# here, apart from the program's channels, which its processes would otherwise hold open.
export WINEPREFIX="$1" WINEDEBUG=-all
shift
{
  [ -d "$WINEPREFIX" ] || wineboot -i
  ! wineserver -p60 || wineboot  # 0: a new server
} </dev/null >/dev/null 2>&1
exec wine "$@"
