#!/usr/bin/env bash
# Runs the finds benchmark with its native peers in one session: makes 64 MB of real executable bytes
# (the machine's shared libraries and MinGW DLLs, concatenated) and 64 MB of random bytes, times GNU
# `strings -a -n 8` and glibc's memmem on them natively, then runs finds_bench.exe under Wine with those
# times, so that it prints the ratios.
#   bench/document/finds_bench.sh <build dir>
set -euo pipefail
build=${1:?build directory}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$root/bench/bench_files.sh" "$work"

gcc -O2 -o "$work/memmem_peer" "$here/memmem_peer.c"
strings_ms() {   # best of three
    local best=999999999 t0 t1 ms
    for _ in 1 2 3; do
        t0=$(date +%s%N); strings -a -n 8 "$1" > /dev/null; t1=$(date +%s%N)
        ms=$(( (t1 - t0) / 1000000 )); [ "$ms" -lt "$best" ] && best=$ms
    done
    echo "$best"
}
sr=$(strings_ms "$work/real.bin"); sx=$(strings_ms "$work/random.bin")
read -r mr mrh < <("$work/memmem_peer" "$work/real.bin" "48 89 5C 24")
read -r mx mxh < <("$work/memmem_peer" "$work/random.bin" "48 89 5C 24")
echo "native: strings -a -n 8: real $sr ms ($(strings -a -n 8 "$work/real.bin" | wc -l) strings), random $sx ms"
echo "native: memmem '48 89 5C 24': real $mr ms ($mrh hits), random $mx ms ($mxh hits)"
cp "$work/real.bin" "$work/random.bin" "$build/bench/document/" 2>/dev/null || true
cd "$build/bench/document"
"$root/tools/wine-run" ./finds_bench.exe real.bin random.bin "$sr" "$sx" "$mr" "$mx"
rm -f real.bin random.bin
