#!/bin/sh
# Builds the fuzz targets (the fuzz preset: clang's libFuzzer, ASan, UBSan) and runs each.
#   scripts/fuzz.sh              a short fixed budget per target (part of the test command)
#   scripts/fuzz.sh long [RUNS]  a long run: RUNS executions per target (default 10 million), then
#                                random page sessions under Wine, PAGE_ACTIONS actions (default 100000)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out="$root/build/fuzz"
mode=${1:-short}
runs=${2:-10000000}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null
targets=$(cat "$out/fuzz_targets.txt")
for t in $targets; do
    corpus="$root/tests/fuzz/corpus/${t%_fuzz}"
    work="$out/corpus-$t"
    mkdir -p "$work"
    if [ "$mode" = long ]; then
        # the filter shows the figures; the fuzzer's own status says whether it found anything
        code=0
        "$out/$t" -runs="$runs" -print_final_stats=1 "$work" "$corpus" >"$out/$t.log" 2>&1 || code=$?
        grep -E 'stat::number_of_executed_units|ERROR|Done' "$out/$t.log" || true
        if [ $code -ne 0 ]; then
            tail -40 "$out/$t.log"
            echo "fuzz: $t failed (exit $code), log in $out/$t.log"
            exit 1
        fi
    else
        "$out/$t" -max_total_time=10 "$work" "$corpus" >"$out/$t.log" 2>&1 || { tail -40 "$out/$t.log"; exit 1; }
        echo "fuzz: $t $(grep -o 'Done [0-9]* runs' "$out/$t.log" | tail -1)"
    fi
done

if [ "$mode" = long ]; then
    # random user sessions against the page (tests/wine/page_actions/), by actions
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 -j2 --target page_actions_test
    export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C
    "$root/scripts/wineprefix.sh" "$WINEPREFIX" null
    /usr/lib/wine/wineserver -p
    code=0
    (cd "$root/build/win64/bin" && /usr/lib/wine/wine64 page_actions_test.exe --actions "${PAGE_ACTIONS:-100000}" \
        --seed "${PAGE_ACTIONS_SEED:-7}") >"$out/page_actions.log" 2>&1 || code=$?
    /usr/lib/wine/wineserver -k || true
    grep -v '^  ' "$out/page_actions.log" | tail -20
    if [ $code -ne 0 ]; then
        echo "fuzz: page actions failed (exit $code), log in $out/page_actions.log"
        exit 1
    fi
fi
