#!/usr/bin/env bash
# tools/setup's installs when package indexes cannot be read: apt-get, dpkg and dpkg-query are stand-ins
# first on PATH that log their calls and fail as each case asks.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tools" "$work/bin"
cp "$root/tools/setup" "$work/tools/setup"
printf '#!/bin/sh\necho binfmt >>"$STANDIN_LOG"\n' >"$work/tools/binfmt-i386"

# dpkg-query: every package installed but those in $STANDIN_MISSING.
cat >"$work/bin/dpkg-query" <<'SH'
#!/bin/sh
for p; do :; done
case " $STANDIN_MISSING " in *" $p "*) exit 1 ;; esac
printf 'install ok installed'
SH
cat >"$work/bin/dpkg" <<'SH'
#!/bin/sh
[ "$1" = --print-foreign-architectures ] && { echo i386; exit 0; }
echo "dpkg $*" >>"$STANDIN_LOG"
SH
# apt-get: update exits $STANDIN_UPDATE; the n-th install exits the n-th word of $STANDIN_INSTALLS.
cat >"$work/bin/apt-get" <<'SH'
#!/bin/sh
echo "apt-get $*" >>"$STANDIN_LOG"
case "$1" in
update)
    [ "$STANDIN_UPDATE" = 0 ] || echo "E: Some index files failed to download." >&2
    exit "$STANDIN_UPDATE" ;;
install)
    n=$(grep -c '^apt-get install' "$STANDIN_LOG")
    rc=$(echo "$STANDIN_INSTALLS" | cut -d' ' -f"$n")
    [ "${rc:-0}" = 0 ] || echo "E: Unable to correct problems, you have held broken packages." >&2
    exit "${rc:-0}" ;;
esac
SH
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/tools/"* "$work/bin/"*

suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
etc_before=$(find /etc/apt -type f -exec md5sum {} + 2>/dev/null | sort)
failures=0
fail() { echo "FAIL [$name]: $*"; failures=$((failures + 1)); }

# run name update-rc "install-rcs" expected-exit
run() {
    name=$1
    export STANDIN_LOG="$work/$name.log" STANDIN_UPDATE=$2 STANDIN_INSTALLS=$3 STANDIN_MISSING=${MISSING-"cmake wine32:i386"}
    : >"$STANDIN_LOG"
    out=$(env -u TRELVO_EMULATE PATH="$work/bin:$PATH" "$work/tools/setup" 2>&1)
    rc=$?
    installs=$(grep -c '^apt-get install' "$STANDIN_LOG")
    targeted=$(grep -c "^apt-get install.* -t $suite .*cmake wine32:i386$" "$STANDIN_LOG")
    if [ "$4" = 0 ] && [ $rc -ne 0 ]; then fail "exit $rc: $out"; fi
    if [ "$4" != 0 ] && [ $rc -eq 0 ]; then fail "exit 0"; fi
}
says() { grep -q -- "$1" <<<"$out" || fail "no '$1' in: $out"; }
silent() { ! grep -q -- "$1" <<<"$out" || fail "'$1' in: $out"; }

run all-read 0 "0" 0
[ "$installs" = 1 ] && [ "$targeted" = 0 ] || fail "$installs installs, $targeted targeted"
silent "could not be read"; silent "main suite"

run unread-installs 100 "0" 0
[ "$installs" = 1 ] && [ "$targeted" = 0 ] || fail "$installs installs, $targeted targeted"
says "some package index could not be read"; silent "main suite"

run unread-retried 100 "100 0" 0
[ "$installs" = 2 ] && [ "$targeted" = 1 ] || fail "$installs installs, $targeted targeted"
says "could not be read"; says "main suite ($suite)"; says "apt-get upgrade"

run unread-both-fail 100 "100 100" 1
[ "$installs" = 2 ] && [ "$targeted" = 1 ] || fail "$installs installs, $targeted targeted"
says "held broken packages"; says "mid-sync; a later run may go through"

# Every index read: a failed install is apt's answer, not retried.
run all-read-fails 0 "100" 1
[ "$installs" = 1 ] && [ "$targeted" = 0 ] || fail "$installs installs, $targeted targeted"
says "held broken packages"; silent "main suite"

MISSING="" run all-present 0 "0" 0
[ ! -s "$STANDIN_LOG" ] || [ "$(grep -vx binfmt "$STANDIN_LOG")" = "" ] || fail "ran: $(cat "$STANDIN_LOG")"

[ "$(find /etc/apt -type f -exec md5sum {} + 2>/dev/null | sort)" = "$etc_before" ] || { name=etc; fail "/etc/apt changed"; }
[ $failures -eq 0 ] && echo "setup: all cases passed"
exit $((failures != 0))
