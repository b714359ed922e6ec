#!/bin/sh
# Every test: builds the three builds, then runs the native suite (with the checks on the
# shipped 32-bit binaries), the win64 suite under the 64-bit Wine and the win32 suite, the
# same tests against the shipped binaries in dist/win32, under the project's 32-bit Wine.
# The first run on a machine sets the 32-bit Wine up (scripts/setup-wine32.sh).
# PRINTADMIN_SKIP_WIN32=1 skips the win32 suite; the last lines then say so.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
start=$(date +%s)
scripts/setup.sh
for preset in win32 win64 native; do
    cmake --preset $preset >/dev/null
    cmake --build --preset $preset -j2
done
status=0
summary=""
# suite NAME COMMAND...: runs it, keeps ctest's verdict line for the summary
suite() {
    name=$1
    shift
    log="$root/build/$name-suite.log"
    suite_start=$(date +%s)
    { "$@" || echo "suite-status $?"; } 2>&1 | tee "$log"
    verdict=$(grep -E 'tests passed|No tests were found' "$log" | tail -1)
    if grep -q '^suite-status' "$log"; then
        status=1
        verdict="FAILED: ${verdict:-did not run to the end}"
    fi
    summary="$summary$(printf 'test.sh: %-6s %s (%s s)' "$name" "$verdict" $(( $(date +%s) - suite_start )))
"
}
suite native ctest --test-dir build/native --output-on-failure -j2
scripts/fuzz.sh || status=1
suite win64 scripts/wine-ctest.sh -j2
if [ "$PRINTADMIN_SKIP_WIN32" = 1 ]; then
    summary="${summary}test.sh: win32  NOT RUN (PRINTADMIN_SKIP_WIN32=1): the shipped 32-bit binaries were not executed
"
else
    suite win32 scripts/wine32-ctest.sh -j2
fi
echo
printf '%s' "$summary"
echo "test.sh: finished in $(( $(date +%s) - start )) s"
[ "$PRINTADMIN_SKIP_WIN32" = 1 ] && echo "test.sh: the win32 suite did not run (PRINTADMIN_SKIP_WIN32=1)"
exit $status
