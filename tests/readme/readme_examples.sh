#!/usr/bin/env bash
# readme_examples.sh README VST3HOST BUNDLE WORKDIR
#
# Runs the command-line examples of README.md exactly as written: each line of the
# fenced block after the "readme-examples" marker, one at a time, with bash, from a
# folder laid out as scripts/demo.sh leaves the top of the repository:
#
#   build-release/tools/host/vst3host   the tool        (here: VST3HOST, linked)
#   build-release/vd Palvis.vst3        the bundle      (here: BUNDLE, linked)
#   ~/.vst3/vd Palvis.vst3              its installed copy (HOME is WORKDIR/home)
#   demo/noise.wav                      five seconds of pink noise, made as the demo makes it
#
# so the test needs the build it already has, not a second run of the demo. Against a
# real demo, from the top of the repository after `bash scripts/demo.sh`:
#   bash tests/readme/readme_examples.sh README.md --demo
# Fails when the block is missing or empty, or when any line exits with an error.
set -u

readme=${1:?README.md}
if [ "${2:-}" = --demo ]; then
	top=$(pwd)
else
	tool=$(realpath -e "${2:?vst3host}") || exit 1
	bundle=$(realpath -e "${3:?bundle}") || exit 1
	work=${4:?work dir}
	rm -rf "$work"
	mkdir -p "$work/build-release/tools/host" "$work/home/.vst3" "$work/demo"
	top=$(cd "$work" && pwd)
	ln -s "$tool" "$top/build-release/tools/host/vst3host"
	ln -s "$bundle" "$top/build-release/vd Palvis.vst3"
	cp -r "$bundle" "$top/home/.vst3/vd Palvis.vst3"
	command -v sox > /dev/null || { echo "FAIL: sox is not installed (scripts/setup.sh installs it)"; exit 1; }
	sox -n -r 48000 -c 2 -b 24 "$top/demo/noise.wav" synth 5 pinknoise vol 0.25 || exit 1
	export HOME="$top/home"
fi

# The block: from the line after the marker's fence to the closing fence.
mapfile -t lines < <(awk '
	/<!-- readme-examples/ { armed = 1; next }
	armed && /^```/ { if (inside) exit; inside = 1; next }
	inside { print }
' "$readme")
log=$(mktemp) || exit 1
trap 'rm -f "$log"' EXIT
count=0
failed=0
for line in "${lines[@]}"; do
	[ -n "${line// /}" ] || continue
	count=$((count + 1))
	echo "\$ $line"
	(cd "$top" && bash -c "$line") > "$log" 2>&1
	rc=$?
	sed -e 's/^/    /' "$log" | head -n 40
	if [ $rc -ne 0 ]; then
		echo "FAIL: exit $rc: $line"
		failed=1
	fi
done
if [ $count -eq 0 ]; then
	echo "FAIL: no example block after a 'readme-examples' marker in $readme"
	exit 1
fi
[ $failed -eq 0 ] && echo "PASS: $count examples of $readme ran"
exit $failed
