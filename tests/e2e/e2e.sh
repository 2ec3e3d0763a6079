#!/bin/sh
# Runs the end-to-end tests: the removable drive E: simulated in the prefix, then
# e2e_tests.exe, which starts setup.exe and drives it; afterwards the prefix is put back.
# Usage: e2e.sh E2E_TESTS_EXE SETUP_EXE WORK_FOLDER [gtest args...]
set -u
exe=$1; setup=$2; work=$3; shift 3
rm -rf "$work"
mkdir -p "$work/usb" "$work/artefacts"
. "$(dirname "$0")/../../scripts/wine-env.sh"
vx_wine_removable e "$work/usb"
VX_SETUP_EXE=$(winepath -w "$setup") VX_USB_UNIX="$work/usb" VX_ARTEFACTS="$work/artefacts" \
  wine "$exe" --gtest_output="xml:$(winepath -w "$work/e2e.xml")" "$@"
status=$?
vx_wine_removable_off e
echo "screenshots: $work/artefacts"
exit $status
