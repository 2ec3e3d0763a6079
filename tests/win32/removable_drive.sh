#!/bin/sh
# Simulates the removable drive R: in the test prefix (a dosdevices link and a floppy entry
# under HKLM\Software\Wine\Drives), runs the drive-probe tests with VX_REMOVABLE_ROOT set,
# and puts the prefix back. Usage: removable_drive.sh WIN32_TESTS_EXE FOLDER
set -u
exe=$1
dir=$2
mkdir -p "$dir"
restart() {
  wineserver -k >/dev/null 2>&1
  wineserver -w
  # As the wine.up fixture does: a persistent server, all output redirected.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit 0 </dev/null >/dev/null 2>&1
}
# reg.exe is looked up in the current folder first.
reg() { (cd / && wine reg "$@" </dev/null >/dev/null 2>&1); }

ln -sfn "$dir" "$WINEPREFIX/dosdevices/r:"
reg add 'HKLM\Software\Wine\Drives' /v r: /d floppy /f
restart
VX_REMOVABLE_ROOT='R:\' wine "$exe" --gtest_filter='RemovableDrive.*'
status=$?
rm -f "$WINEPREFIX/dosdevices/r:"
reg delete 'HKLM\Software\Wine\Drives' /v r: /f
restart
exit $status
