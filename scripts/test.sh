#!/bin/sh
# Every test: builds the three builds, then runs the native suite (with the checks on the
# shipped 32-bit binaries), the fuzz targets' fixed share, the win64 suite under the 64-bit
# Wine and the win32 suite: the same tests against the shipped binaries in dist/win32, under
# the project's 32-bit Wine. The first run on a machine sets the 32-bit Wine up
# (scripts/setup-wine32.sh). When it cannot be set up or started, everything else still
# builds and runs, the summary says in one line why the win32 suite did not run, and the
# command fails: it passes only when every suite ran and passed.
# PRINTADMIN_SKIP_WIN32=1 leaves the 32-bit Wine and the win32 suite out (and fails too).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
start=$(date +%s)
mkdir -p build
scripts/setup.sh --host

# What keeps the win32 suite from running, in the words of the script that found it.
win32_why=""
if [ "$PRINTADMIN_SKIP_WIN32" = 1 ]; then
    win32_why="PRINTADMIN_SKIP_WIN32=1"
else
    { scripts/setup-wine32.sh || echo "setup-status $?"; } 2>&1 | tee build/setup-wine32.log
    if grep -q '^setup-status' build/setup-wine32.log; then
        win32_why=$(sed -n 's/^wine32: //p' build/setup-wine32.log | tail -1)
        win32_why=${win32_why:-"scripts/setup-wine32.sh failed, see build/setup-wine32.log"}
    fi
fi

# The win32 build needs only the cross compiler: it is built and its files checked natively
# whether or not its suite can run.
for preset in win32 win64 native; do
    cmake --preset $preset >/dev/null
    cmake --build --preset $preset -j2
done

status=0
summary=""
line() { # NAME TEXT SECONDS: one line of the summary
    summary="$summary$(printf 'test.sh: %-6s %s (%s s)' "$1" "$2" "$3")
"
}
# suite NAME VERDICT-PATTERN COMMAND...: runs it and keeps the last line matching the pattern
# for the summary. A runner that exits 125 could not start its Wine and names the reason in
# a line of its own (wine32: ...).
suite() {
    name=$1
    pattern=$2
    shift 2
    log="$root/build/$name-suite.log"
    suite_start=$(date +%s)
    { "$@" || echo "suite-status $?"; } 2>&1 | tee "$log"
    verdict=$(grep -E "$pattern" "$log" | tail -1)
    verdict=${verdict#"$name: "}
    code=$(sed -n 's/^suite-status //p' "$log" | tail -1)
    if [ "$code" = 125 ]; then
        status=1
        verdict="NOT RUN: $(sed -n 's/^wine32: //p' "$log" | tail -1)"
    elif [ -n "$code" ]; then
        status=1
        verdict=${verdict#FAILED: }
        verdict="FAILED: ${verdict:-did not run to the end}"
    elif [ -z "$verdict" ]; then
        status=1
        verdict="FAILED: no verdict in $log"
    fi
    line "$name" "$verdict" $(( $(date +%s) - suite_start ))
}
suite native 'tests passed|No tests were found' ctest --test-dir build/native --output-on-failure -j2
suite fuzz '^fuzz: ([0-9]+ of [0-9]+ targets passed|FAILED)' scripts/fuzz.sh
suite win64 'tests passed|No tests were found' scripts/wine-ctest.sh -j2
if [ -n "$win32_why" ]; then
    status=1
    line win32 "NOT RUN: $win32_why" 0
else
    suite win32 'tests passed|No tests were found' scripts/wine32-ctest.sh -j2
fi
echo
printf '%s' "$summary"
echo "test.sh: finished in $(( $(date +%s) - start )) s"
exit $status
