#!/usr/bin/env bash
# tools/setup's installs when apt fails: apt-get, dpkg, dpkg-query, id and sudo are stand-ins that log
# their calls and fail as each case asks. The copy of setup runs with a PATH of its own, no new
# privileges, as nobody when this runs as root, and its /etc/ taken as a scratch folder: it cannot
# write the machine's apt configuration.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tools" "$work/bin" "$work/sudo" "$work/etc/apt/preferences.d" "$work/etc/apt/sources.list.d"
suite=trelvomain
printf 'ID=debian\nVERSION_CODENAME=%s\n' "$suite" >"$work/etc/os-release"
sed "s|/etc/|$work/etc/|g" "$root/tools/setup" >"$work/tools/setup"
grep -q "$work/etc/os-release" "$work/tools/setup" || { echo "setup reads no /etc/os-release"; exit 1; }
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
# apt-get: update exits $STANDIN_UPDATE, saying $STANDIN_UPDATE_SAYS when it fails; the n-th install
# exits the n-th word of $STANDIN_INSTALLS, saying $STANDIN_INSTALL_SAYS when it fails.
cat >"$work/bin/apt-get" <<'SH'
#!/bin/sh
echo "apt-get $*" >>"$STANDIN_LOG"
case "$1" in
update)
    [ "$STANDIN_UPDATE" = 0 ] || printf '%s\n' "$STANDIN_UPDATE_SAYS" >&2
    exit "$STANDIN_UPDATE" ;;
install)
    n=$(grep -c '^apt-get install' "$STANDIN_LOG")
    rc=$(echo "$STANDIN_INSTALLS" | cut -d' ' -f"$n")
    [ "${rc:-0}" = 0 ] || printf '%s\n' "$STANDIN_INSTALL_SAYS" >&2
    exit "${rc:-0}" ;;
esac
SH
printf '#!/bin/sh\necho "$STANDIN_UID"\n' >"$work/bin/id"
printf '#!/bin/sh\nexec "$@"\n' >"$work/sudo/sudo"
chmod +x "$work/tools/"* "$work/bin/"* "$work/sudo/sudo"
for tool in bash dirname grep cut; do ln -s "$(command -v $tool)" "$work/bin/$tool"; done
log=$work/log
: >"$log"

runner=(setpriv --no-new-privs)
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$work"
    runner+=(--reuid=65534 --regid=65534 --clear-groups)
fi
(cd "$work" && "${runner[@]}" bash -c '[ ! -w /etc/apt ] && [ -w etc/apt ]') ||
    { echo "setup's copy could write /etc/apt here, or not its scratch copy: not run"; exit 1; }

out_of_sync="E: Failed to fetch http://deb.debian.org/debian-security/dists/$suite-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 151.101.2.132 80]
E: Some index files failed to download. They have been ignored, or old ones used instead."
failures=0
fail() { echo "FAIL [$name]: $*"; failures=$((failures + 1)); }

# [MISSING=..] [SAYS=update's error] [INSTALL_SAYS=..] [AS=user|root|nosudo] run name update-rc "install-rcs" expected-exit
run() {
    name=$1
    local uid=1000 path=$work/bin:$work/sudo
    case ${AS-user} in root) uid=0 path=$work/bin ;; nosudo) path=$work/bin ;; esac
    export STANDIN_LOG=$log STANDIN_UPDATE=$2 STANDIN_INSTALLS=$3 STANDIN_MISSING=${MISSING-"cmake wine32:i386"}
    export STANDIN_UPDATE_SAYS=${SAYS-$out_of_sync} STANDIN_UID=$uid
    export STANDIN_INSTALL_SAYS=${INSTALL_SAYS-"E: Unable to correct problems, you have held broken packages."}
    : >"$log"
    out=$(cd "$work" && "${runner[@]}" env -u TRELVO_EMULATE PATH="$path" tools/setup 2>&1 </dev/null)
    rc=$?
    installs=$(grep -c '^apt-get install' "$log")
    targeted=$(grep -c "^apt-get install.* -t $suite .*cmake wine32:i386$" "$log")
    if [ "$4" = 0 ] && [ $rc -ne 0 ]; then fail "exit $rc: $out"; fi
    if [ "$4" != 0 ] && [ $rc -eq 0 ]; then fail "exit 0"; fi
}
says() { grep -q -- "$1" <<<"$out" || fail "no '$1' in: $out"; }
silent() { ! grep -q -- "$1" <<<"$out" || fail "'$1' in: $out"; }
ran() { [ "$installs $targeted" = "$1 $2" ] || fail "$installs installs, $targeted targeted; log: $(cat "$log")"; }

# As root without sudo, as in a CI container.
AS=root run all-read 0 "0" 0
ran 1 0; silent "could not be read"; silent "main suite"; silent "sudo"

run unread-installs 100 "0" 0
ran 1 0; says "File has unexpected size"; says "some package index could not be read"; silent "main suite"

run unread-retried 100 "100 0" 0
ran 2 1; says "could not be read"; says "main suite ($suite)"; says "apt-get upgrade"

SAYS="E: Failed to fetch http://deb.debian.org/debian/dists/$suite/main/binary-amd64/Packages.xz  Hash Sum mismatch
E: Some index files failed to download. They have been ignored, or old ones used instead." \
run unread-both-fail 100 "100 100" 1
ran 2 1; says "held broken packages"; says "mid-sync; a later run may go through"

# Every index read: a failed install is apt's answer, not retried.
run all-read-fails 0 "100" 1
ran 1 0; says "held broken packages"; silent "main suite"

MISSING="" run all-present 0 "0" 0
[ ! -s "$log" ] || [ "$(grep -vx binfmt "$log")" = "" ] || fail "ran: $(cat "$log")"

# Failures that are not an index out of sync: apt's error, no retry, no hint of a registry mid-sync.
SAYS="E: Could not get lock /var/lib/apt/lists/lock. It is held by process 4242 (apt-get)
E: Unable to lock directory /var/lib/apt/lists/" run lock-held 100 "" 1
ran 0 0; says "held by process 4242"; silent "could not be read"; silent "mid-sync"

SAYS="W: Failed to fetch http://deb.debian.org/debian/dists/$suite/InRelease  Temporary failure resolving 'deb.debian.org'
W: Failed to fetch http://security.debian.org/dists/$suite-security/InRelease  Could not connect to security.debian.org:80 (151.101.2.132). - connect (101: Network is unreachable)
W: Some index files failed to download. They have been ignored, or old ones used instead." \
run network-down 100 "" 1
ran 0 0; says "Temporary failure resolving"; says "registry could not be reached"; silent "could not be read"
silent "mid-sync"

# A mirror mid-sync beside a host out of reach: the install goes on.
SAYS="$out_of_sync
W: Failed to fetch http://example.org/apt/InRelease  Could not resolve 'example.org'" run unread-and-unreachable 100 "0" 0
ran 1 0; says "could not be read"; silent "could not be reached"

# Beside an unread index, an unknown name is not retried: the main suite cannot find it either.
INSTALL_SAYS="E: Unable to locate package wine32:i386" run unknown-package 100 "100" 1
ran 1 0; says "Unable to locate package wine32:i386"; silent "main suite"; silent "mid-sync"

AS=nosudo run no-root-no-sudo 0 "0" 1
[ ! -s "$log" ] || fail "ran: $(cat "$log")"
says "needs root, and this runs neither as root nor with sudo"; silent "command not found"

[ -z "$(find "$work/etc/apt" -type f)" ] || { name=etc; fail "setup wrote $(find "$work/etc/apt" -type f)"; }
[ $failures -eq 0 ] && echo "setup: all cases passed"
exit $((failures != 0))
