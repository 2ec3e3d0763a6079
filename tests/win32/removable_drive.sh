#!/bin/sh
# Simulates the removable drive R: in the test prefix, runs the drive-probe tests with
# VX_REMOVABLE_ROOT set, and puts the prefix back. Usage: removable_drive.sh WIN32_TESTS_EXE FOLDER
set -u
exe=$1
dir=$2
mkdir -p "$dir"
. "$(dirname "$0")/../../scripts/wine-env.sh"
vx_wine_removable r "$dir"
VX_REMOVABLE_ROOT='R:\' wine "$exe" --gtest_filter='RemovableDrive.*'
status=$?
vx_wine_removable_off r
exit $status
