#!/bin/sh
# Sizes and imports of the shipped 32-bit binaries, as a Markdown table for the README.
# Reads dist/win32 with the PE reader of the native build (built here if it is missing).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
peinfo="${PEINFO:-$root/build/native/tools/pe/peinfo}"
if [ ! -x "$peinfo" ]; then
    cmake --preset native >/dev/null
    cmake --build --preset native --target peinfo -j2 >/dev/null
fi
echo "| binary | bytes | subsystem | imports |"
echo "|---|---:|---|---|"
for f in Binpanel.dll Quelaunch.exe BRIDGE32.dll; do
    path="$root/dist/win32/$f"
    if [ ! -f "$path" ]; then
        echo "| $f | missing | | |"
        continue
    fi
    "$peinfo" "$path" | awk -v name="$f" '
        NR == 1 { for (i = 1; i <= NF; i++) { if ($i ~ /^bytes,?$/) bytes = $(i - 1); if ($i == "version") version = $(i + 1) } }
        $1 == "import" { dll = $2; sub(/:$/, "", dll); imports = imports (imports ? ", " : "") dll " (" NF - 2 ")" }
        END { printf "| %s | %s | Windows %s | %s |\n", name, bytes, version, imports }'
done
