#!/usr/bin/env bash
# Makes the benches' two files in a folder: real.bin, real executable bytes (MinGW's DLLs, the
# machine's shared libraries and programs, concatenated), and random.bin, random bytes.
#   bench/bench_files.sh <folder> [size in MB, 64]
set -euo pipefail
folder=${1:?folder}
size=$(( ${2:-64} * 1024 * 1024 ))
: > "$folder/real.bin"
for f in /usr/lib/gcc/i686-w64-mingw32/*/*.dll /usr/i686-w64-mingw32/lib/*.dll /usr/lib/x86_64-linux-gnu/*.so* /usr/bin/*; do
    [ -f "$f" ] || continue
    cat "$f" >> "$folder/real.bin"
    [ "$(stat -c %s "$folder/real.bin")" -ge "$size" ] && break
done
truncate -s "$size" "$folder/real.bin"
head -c "$size" /dev/urandom > "$folder/random.bin"
