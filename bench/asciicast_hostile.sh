#!/usr/bin/env bash
# Recordings too long for the test suite: 1 GB of output in events of 64 KiB, and 10^6 short
# events, each within a few seconds of an 80x24 terminal, piped to standard input as they are
# made. Prints the wall time and the peak memory of each run; both runs stay within a few MB
# of a recording of a thousand events (standard input is kept in a temporary file in TMPDIR
# for the second reading, so 1 GB of disk is used for a while).
#   bash bench/asciicast_hostile.sh [BUILD_DIR]
# Measured on 2026-12-11 (most of the time goes to making the recording in Python):
#   1000-events: 1.56 s, peak 8064 KB, 511,673 bytes of GIF
#   1M-events: 27.45 s, peak 6908 KB, 298,752 bytes of GIF
#   1GB-output: 136.87 s, peak 11120 KB, 1,397,826 bytes of GIF
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
play() {
    local name=$1
    shift
    python3 bench/make_recording.py "$@" |
        /usr/bin/time -f "$name: %e s, peak %M KB" "$build/vedad" --asciicast --overwrite --output="$work/$name.gif" - \
            2>&1 | grep -v '^writing'
    printf '%s: %s bytes of GIF\n' "$name" "$(stat -c %s "$work/$name.gif")"
}
play "1000-events" --events 1000 --seconds 5
play "1M-events" --events 1000000 --seconds 5
play "1GB-output" --events 16384 --chunk 65536 --seconds 5
