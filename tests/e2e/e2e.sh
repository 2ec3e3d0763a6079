#!/bin/sh
# Runs the end-to-end tests: a removable drive E: simulated in the prefix (a dosdevices link
# to a folder and a floppy entry under HKLM\Software\Wine\Drives), then e2e_tests.exe, which
# starts setup.exe and drives it; afterwards the prefix is put back.
# Usage: e2e.sh E2E_TESTS_EXE SETUP_EXE WORK_FOLDER [gtest args...]
set -u
exe=$1; setup=$2; work=$3; shift 3
rm -rf "$work"
mkdir -p "$work/usb" "$work/artefacts"
restart() {
  wineserver -k >/dev/null 2>&1
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit 0 </dev/null >/dev/null 2>&1
}
reg() { (cd / && wine reg "$@" </dev/null >/dev/null 2>&1); }

ln -sfn "$work/usb" "$WINEPREFIX/dosdevices/e:"
reg add 'HKLM\Software\Wine\Drives' /v e: /d floppy /f
restart
VX_SETUP_EXE=$(winepath -w "$setup") VX_USB_UNIX="$work/usb" VX_ARTEFACTS="$work/artefacts" \
  wine "$exe" --gtest_output="xml:$(winepath -w "$work/e2e.xml")" "$@"
status=$?
rm -f "$WINEPREFIX/dosdevices/e:"
reg delete 'HKLM\Software\Wine\Drives' /v e: /f
restart
echo "screenshots: $work/artefacts"
exit $status
