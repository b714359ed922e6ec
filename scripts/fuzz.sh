#!/bin/sh
# Builds the fuzz targets with clang's libFuzzer (ASan, UBSan) and runs each.
#   scripts/fuzz.sh              a short fixed budget per target (part of the test command)
#   scripts/fuzz.sh long [RUNS]  a long run: RUNS executions per target (default 10 million)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out"
mode=${1:-short}
runs=${2:-10000000}
flags="-g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -std=c++17"
targets=""
add() { # name sources...
    name=$1; shift
    clang++ $flags -I"$root/applet" -I"$root/applet/controls" -I"$root/launcher" -I"$root/launcher/framework" "$@" -o "$out/$name"
    targets="$targets $name"
}
add settings_records_fuzz "$root/tests/fuzz/settings_records_fuzz.cpp" "$root/applet/settings_rules.cpp" "$root/applet/record_builders.cpp"
[ -f "$root/tests/fuzz/command_line_fuzz.cpp" ] && add command_line_fuzz "$root/tests/fuzz/command_line_fuzz.cpp" "$root/launcher/command_line.cpp" "$root/launcher/framework/program_name.cpp" "$root/launcher/code_page_1252.cpp"
[ -f "$root/tests/fuzz/level_text_fuzz.cpp" ] && add level_text_fuzz "$root/tests/fuzz/level_text_fuzz.cpp" "$root/applet/controls/level_decode.cpp"
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
