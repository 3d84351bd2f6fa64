#!/usr/bin/env bash
# Runs the benchmark of the whole program with the benches of its jobs alone in one session (see
# program_bench.md): makes the two 64 MB files, runs finds_bench, refers_bench, document_bench and
# app_bench, then program_bench.exe, which drives Trelvo.exe on both files and prints its figures
# beside theirs; then on a text-like file (its strings filter alone; size 0: none).
#   TRELVO_XVFB=<display> bench/app/program_bench.sh <build dir> [size in MB, 64] [text size in MiB, 448]
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$root/bench/bench_files.sh" "$work" "${2:-64}"
text=()
if [ "${3:-448}" != 0 ]; then
    python3 "$root/bench/text_file.py" "$work/text.bin" "${3:-448}"
    text=(text=text.bin)
fi
cd "$work"
for bench in document/finds_bench.exe document/refers_bench.exe document/document_bench.exe app/app_bench.exe; do
    args=()
    case $bench in
        *finds_bench*) args=(real.bin random.bin) ;;
        *refers_bench*) args=(1) ;;
    esac
    echo "== $bench"
    "$root/tools/wine-run" "$build/bench/$bench" "${args[@]}"
done | tee benches.txt
echo "== program_bench.exe"
"$root/tools/wine-session" wine "$build/bench/app/program_bench.exe" benches.txt random=random.bin real=real.bin "${text[@]}"
