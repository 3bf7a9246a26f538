#!/usr/bin/env bash
# Runs a command on a private X server: Xvfb on a display number it picks itself, gone
# again when the command ends. Exits 77 (a skipped test for CTest) when Xvfb is missing.
set -u

if ! command -v Xvfb > /dev/null 2>&1; then
  echo "Xvfb is not installed: skipping the X11 tests (Debian package xvfb)"
  exit 77
fi

dir=$(mktemp -d /tmp/palvis-xvfb.XXXXXX)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2> /dev/null && wait "$server" 2> /dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
# -displayfd: the server chooses a free display and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -noreset 3> "$dir/display" 2> "$dir/log" &
server=$!
for _ in $(seq 1 200); do
  [ -s "$dir/display" ] && break
  if ! kill -0 "$server" 2> /dev/null; then
    break
  fi
  sleep 0.05
done
if [ ! -s "$dir/display" ]; then
  echo "Xvfb did not start:"
  cat "$dir/log"
  exit 1
fi
export DISPLAY=":$(tr -d '[:space:]' < "$dir/display")"
unset XAUTHORITY

"$@"
