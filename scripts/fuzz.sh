#!/bin/sh
# Builds the fuzz targets (the fuzz preset: clang's libFuzzer, ASan, UBSan) and runs each.
#   scripts/fuzz.sh              the test command's share: the same work every run, FUZZ_RUNS
#                                executions per target with seed FUZZ_SEED, from a fresh copy of
#                                the committed seed corpus (build/fuzz/short/TARGET/corpus)
#   scripts/fuzz.sh long [RUNS]  a long run: RUNS executions per target (default 10 million) on a
#                                corpus that grows from one long run to the next
#                                (build/fuzz/long/TARGET/corpus), then random page sessions under
#                                Wine, PAGE_ACTIONS actions (default 100000)
# An input that crashes, leaks, hangs past 10 s or runs out of memory is written beside the
# target's log (build/fuzz/MODE/TARGET/crash-..., leak-..., timeout-..., oom-...).
# The last line says whether every target passed.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out="$root/build/fuzz"
mode=${1:-short}
runs=${2:-10000000}
seed=${FUZZ_SEED:-1}
[ "$mode" = long ] || runs=${FUZZ_RUNS:-200000}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null
targets=$(cat "$out/fuzz_targets.txt")

# The same seed gives the same inputs only where addresses are the same from run to run:
# comparisons of pointers feed the mutations. setarch -R turns address randomisation off
# for the fuzzer alone; where that is refused the inputs may differ and the line says so.
fixed="setarch $(uname -m) -R"
$fixed true 2>/dev/null || fixed=""

failed=""
count=0
for t in $targets; do
    count=$((count + 1))
    dir="$out/$mode/$t"
    if [ "$mode" = long ]; then
        mkdir -p "$dir/corpus"
        set -- -runs="$runs" "$dir/corpus" "$root/tests/fuzz/corpus/${t%_fuzz}"
    else
        # never the committed corpus itself: new inputs go to the copy, dropped next run
        rm -rf "$dir"
        mkdir -p "$dir/corpus"
        cp "$root/tests/fuzz/corpus/${t%_fuzz}"/* "$dir/corpus/"
        set -- -runs="$runs" -seed="$seed" -reload=0 "$dir/corpus"
    fi
    code=0
    (cd "$dir" && $fixed "$out/$t" "$@" -timeout=10 -print_final_stats=1 -artifact_prefix="$dir/") \
        >"$dir/log" 2>&1 || code=$?
    done_line=$(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$dir/log" | tail -1)
    stats=$(sed -n 's/^#[0-9]*[[:space:]]*DONE[[:space:]]*\(cov: [0-9]* ft: [0-9]* corp: [^ ]*\).*/\1/p' "$dir/log" | tail -1)
    if [ $code -ne 0 ]; then
        tail -40 "$dir/log"
        artifact=$(ls "$dir" | grep -E '^(crash|leak|timeout|oom|slow-unit)-' | head -1)
        echo "fuzz: $t FAILED (exit $code)${artifact:+, input in $dir/$artifact}, log in $dir/log"
        failed="$failed $t"
    else
        echo "fuzz: $t ${done_line:-no runs counted}${stats:+ ($stats)}"
    fi
done

if [ "$mode" = long ] && [ -z "$failed" ]; then
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

if [ "$mode" = long ]; then
    what="$runs runs each"
else
    what="$runs runs each, seed $seed, from the committed seeds"
    [ -n "$fixed" ] || what="$what; address randomisation could not be turned off, so the inputs may vary"
fi
if [ -n "$failed" ]; then
    echo "fuzz: FAILED:$failed ($what)"
    exit 1
fi
echo "fuzz: $count of $count targets passed ($what)"
