#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (in build-fuzz/) and runs each one in turn for
# the given number of seconds.
#   fuzz.sh SECONDS [NAME...]    NAME: html_spans plain_text ansi_input options output_path glyph_path
#                                theme_file asciicast
#                                (default: all)
# Each fuzzer starts from its seeds in fuzz/corpus/NAME and keeps what it finds in
# build-fuzz/corpus/NAME, so a later run goes on from there. An input that crashes, leaks,
# hangs (over 20 seconds) or breaks a harness's checks is saved in build-fuzz/artifacts/NAME/
# and makes the script fail; the log of each run is build-fuzz/logs/NAME.log.
# Reproduce a finding with: build-fuzz/fuzz/fuzz_NAME build-fuzz/artifacts/NAME/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 SECONDS [NAME...]" >&2
    exit 2
fi
shift
all=(html_spans plain_text ansi_input options output_path glyph_path theme_file asciicast)
names=("$@")
if [ "${#names[@]}" -eq 0 ]; then names=("${all[@]}"); fi

# The longest input each fuzzer gets: past the token, line and path limits of the program.
declare -A max_len=([html_spans]=4096 [plain_text]=24000 [ansi_input]=4096 [options]=2048 [output_path]=12000
                    [glyph_path]=400 [theme_file]=8192 [asciicast]=8192)

build=$root/build-fuzz
cxx=${CXX_FUZZ:-clang++-14}
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEDAD_FUZZ=ON \
    -DVEDAD_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target vedad_fuzzers -j "$(nproc)" >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
printf '%-12s %8s %12s %8s %8s %8s  %s\n' fuzzer seconds executions "new" "rss MB" longest result
for name in "${names[@]}"; do
    if [ -z "${max_len[$name]:-}" ]; then
        echo "unknown fuzzer: $name" >&2
        exit 2
    fi
    corpus=$build/corpus/$name
    artifacts=$build/artifacts/$name
    log=$build/logs/$name.log
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    # A seed as long as the limit, the checked-in seeds one after another: mutations of it
    # reach the length limits from the first seconds.
    seeds=("$root/fuzz/corpus/$name"/*)
    seed_bytes=$(cat "${seeds[@]}" | wc -c)
    if [ "$seed_bytes" -gt 0 ]; then
        for ((i = 0; i <= max_len[$name] / seed_bytes; ++i)); do cat "${seeds[@]}"; done |
            head -c "${max_len[$name]}" >"$corpus/longest-seed" || true  # head leaves cat a closed pipe
    fi
    # Paths are absolute: the output naming fuzzer works in a scratch directory of its own.
    status=0
    # Inputs of every length up to the limit from the start: growing them slowly, libFuzzer's
    # default, leaves the long inputs the limits are there for unreached in a short run.
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="${max_len[$name]}" -len_control=0 -timeout=20 \
        -rss_limit_mb=2048 -print_final_stats=1 -dict="$root/fuzz/$name.dict" \
        -artifact_prefix="$artifacts/" "$corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
    final_stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
    result=ok
    if [ "$status" -ne 0 ]; then
        result="FAILED (status $status, see $log)"
        failed+=("$name")
    fi
    longest=$(find "$corpus" -type f ! -name longest-seed -printf '%s\n' | sort -n | tail -1)
    printf '%-12s %8s %12s %8s %8s %8s  %s\n' "$name" "$seconds" "$(final_stat number_of_executed_units)" \
        "$(final_stat new_units_added)" "$(final_stat peak_rss_mb)" "${longest:-0}" "$result"
done

if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzzers with findings: ${failed[*]}" >&2
    for name in "${failed[@]}"; do grep -m 5 -E 'ERROR|SUMMARY|Test unit written' "$build/logs/$name.log" >&2 || true; done
    exit 1
fi
