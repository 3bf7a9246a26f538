#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demonstration need.
#
# On a freshly booted machine another package manager (the daily list update,
# unattended upgrades) often holds apt's locks for minutes, and apt-get fails at
# once on a held lock. Its DPkg::Lock::Timeout option waits for the dpkg lock
# but not for the lock on the package lists that "apt-get update" takes, so
# each apt-get call here is tried again while it fails on a lock, for at most
# PALVIS_APT_LOCK_WAIT seconds (default 900; 0 does not wait).
#
# Sourced rather than run, it only defines PACKAGES and its functions.

PACKAGES=(
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libexpat1-dev libcairo2-dev libfontconfig-dev fonts-dejavu-core
  libsndfile1-dev
  libx11-dev libxtst-dev xvfb xauth xdotool
  clang libclang-rt-14-dev
  llvm # llvm-symbolizer: readable stacks in the sanitizer reports of the clang (fuzz) build
  python3 sox binutils locales
)
# The third-party host check (Ardour's VST3 scanner and headless session tool).
if [ "${PALVIS_WITH_ARDOUR:-1}" = 1 ]; then
  PACKAGES+=(ardour)
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then
  SUDO="sudo"
fi

# apt_get_waiting ARG...: runs apt-get ARG...; while it fails because another
# process holds one of apt's locks, says which and tries again every two
# seconds, up to PALVIS_APT_LOCK_WAIT seconds. Returns apt-get's status, or 1
# when the wait is spent.
apt_get_waiting () {
  local limit=${PALVIS_APT_LOCK_WAIT:-900}
  if ! [[ "$limit" =~ ^[0-9]+$ ]]; then
    echo "setup: PALVIS_APT_LOCK_WAIT must be a number of seconds, not '$limit'" >&2
    return 2
  fi
  local deadline=$((SECONDS + limit)) log rc held lock who told="" pause
  log=$(mktemp) || return 1
  while :; do
    rc=0
    $SUDO env LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get "$@" >"$log" 2>&1 || rc=$?
    held=$(grep -m1 -o 'Could not get lock .*' "$log" || true)
    if [ "$rc" -eq 0 ] || [ -z "$held" ]; then
      cat "$log"
      rm -f "$log"
      return "$rc"
    fi
    lock=${held#Could not get lock }
    lock=${lock%%. *}
    who=${held#*. }
    if [ "$who" = "$held" ]; then who="held by another process"; fi
    if [ "$SECONDS" -ge "$deadline" ]; then
      cat "$log" >&2
      rm -f "$log"
      echo "setup: gave up after $limit s waiting for another package manager to release $lock" \
        "($who). Let it finish (on a fresh machine: unattended upgrades) and run again," \
        "or wait longer with PALVIS_APT_LOCK_WAIT=<seconds>." >&2
      return 1
    fi
    if [ "$lock" != "$told" ]; then
      echo "setup: waiting for another package manager to release $lock ($who)," \
        "at most $limit s (PALVIS_APT_LOCK_WAIT)" >&2
      told=$lock
    fi
    pause=$((deadline - SECONDS))
    if [ "$pause" -gt 2 ]; then pause=2; fi
    if [ "$pause" -lt 1 ]; then pause=1; fi
    sleep "$pause"
  done
}

main () {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt_get_waiting update -qq
    apt_get_waiting install -y -qq "${missing[@]}"
  fi

  # A locale with a decimal comma, for the tests that check number formatting
  # does not follow the host's locale.
  if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: de_DE.UTF-8 locale not generated"
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  main "$@"
fi
