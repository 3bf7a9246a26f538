#!/usr/bin/env bash
# scripts/setup.sh's apt-get calls wait while another process holds one of
# apt's locks, go on once it is released, and give up with a clear message and
# a non-zero status when the bound is spent. The locks are the machine's own,
# held the way apt holds them (fcntl write locks) by a background process for
# a few seconds. apt-get only runs commands that change nothing: "check" (the
# dpkg frontend lock), and "update" over no sources, keeping every list and
# writing its caches to a scratch folder (the package lists' lock).
#
# Usage: aptlock_test.sh PATH/TO/setup.sh
set -uo pipefail
SETUP=$1
if [ "$(id -u)" != 0 ]; then
	echo "skipped: taking apt's locks needs root"
	exit 77
fi
if ! command -v apt-get >/dev/null || ! command -v python3 >/dev/null; then
	echo "skipped: needs apt-get and python3"
	exit 77
fi

FRONTEND=/var/lib/dpkg/lock-frontend
LISTS=/var/lib/apt/lists/lock
work=$(mktemp -d)
mkdir "$work/sources" "$work/cache"
OFFLINE_UPDATE=(update -qq -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/sources"
	-o APT::Get::List-Cleanup=false -o Dir::Cache="$work/cache")

holder=""
release () {
	if [ -n "$holder" ]; then
		kill "$holder" 2>/dev/null
		wait "$holder" 2>/dev/null
		holder=""
	fi
}
trap 'release; rm -rf "$work"' EXIT

failures=0
check () { # DESCRIPTION CONDITION...
	local what=$1
	shift
	if "$@"; then
		echo "ok: $what"
	else
		echo "FAIL: $what"
		failures=$((failures + 1))
	fi
}

# hold SECONDS LOCK...: a background process takes the locks (waiting, for a
# bounded time, while a real package manager has them), says "held", keeps
# them SECONDS seconds and says "released" just before it lets them go.
hold () {
	local seconds=$1
	shift
	: >"$work/holder"
	python3 - "$seconds" "$@" >"$work/holder" <<'PY' &
import fcntl, os, signal, sys, time
signal.alarm(300)
fds = []
for path in sys.argv[2:]:
    fd = os.open(path, os.O_RDWR | os.O_CREAT, 0o640)
    fcntl.lockf(fd, fcntl.LOCK_EX)
    fds.append(fd)
print("held", flush=True)
time.sleep(float(sys.argv[1]))
print("released", flush=True)
PY
	holder=$!
	local i
	for i in $(seq 600); do
		grep -q held "$work/holder" && return 0
		sleep 0.1
	done
	echo "FAIL: the locks could not be taken within a minute"
	exit 1
}
released () { grep -q released "$work/holder"; }
still_held () { ! released; }

# waiting LIMIT ARG...: apt_get_waiting ARG... with PALVIS_APT_LOCK_WAIT=LIMIT,
# in a shell of its own; its output goes to $work/out, its status to $status.
waiting () {
	local limit=$1
	shift
	(
		# shellcheck source=/dev/null
		source "$SETUP"
		PALVIS_APT_LOCK_WAIT=$limit apt_get_waiting "$@"
	) >"$work/out" 2>&1
	status=$?
	sed 's/^/    | /' "$work/out"
}
said () { grep -q -- "$1" "$work/out"; }
not_said () { ! said "$1"; }

echo "-- nothing held: no wait"
waiting 0 check
check "apt-get check succeeds" test "$status" -eq 0
check "no waiting message" not_said "waiting for"

echo "-- the dpkg frontend and the lists' locks held for 4 s, apt-get check"
hold 4 "$FRONTEND" "$LISTS"
waiting 60 check
check "succeeds" test "$status" -eq 0
check "says what it waits for" said "waiting for another package manager to release $FRONTEND (It is held by process $holder"
check "went on only after the locks were released" released
release

echo "-- the lists' lock held for 4 s, apt-get update (which apt's own lock timeout does not cover)"
hold 4 "$LISTS"
waiting 60 "${OFFLINE_UPDATE[@]}"
check "succeeds" test "$status" -eq 0
check "says what it waits for" said "waiting for another package manager to release $LISTS"
check "went on only after the lock was released" released
release

echo "-- the dpkg frontend lock held for 20 s, a bound of 1 s"
hold 20 "$FRONTEND"
waiting 1 check
check "fails" test "$status" -ne 0
check "gives up with a clear message" said "gave up after 1 s waiting for another package manager to release $FRONTEND"
check "names the bound's variable" said "PALVIS_APT_LOCK_WAIT="
check "gave up while the lock was still held" still_held
release

echo "-- a failure that is not a lock: no wait"
waiting 60 install -y -qq --no-download palvis-no-such-package
check "fails" test "$status" -ne 0
check "no waiting message" not_said "waiting for"

echo "-- a bound that is not a number"
waiting soon check
check "fails" test "$status" -ne 0
check "says so" said "PALVIS_APT_LOCK_WAIT must be a number of seconds"

if [ "$failures" -gt 0 ]; then
	echo "$failures check(s) failed"
	exit 1
fi
echo "all checks passed"
