#!/bin/sh
# Every test: builds the three builds, then runs the native suite (with the checks on the
# shipped 32-bit binaries) and the win64 suite under Wine.
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
ctest --test-dir build/native --output-on-failure -j2 || status=1
scripts/fuzz.sh || status=1
scripts/wine-ctest.sh -j2 || status=1
echo "test.sh: finished in $(( $(date +%s) - start )) s"
exit $status
