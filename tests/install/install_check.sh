#!/usr/bin/env bash
# install_check.sh BUILD-DIR VST3HOST README WORKDIR [scan]
#
# `cmake --install` of a build into a throw-away prefix, as a user installs the plug-in:
#   - the bundle lands in PREFIX/lib/vst3/vd Palvis.vst3 (where Linux VST3 hosts search),
#     whole: the module named after the folder and the editor's resources; nothing else
#     lands at the prefix's top;
#   - vst3host loads the installed bundle, and a copy of the whole folder under its own
#     name (the manual install README.md describes), but not a renamed copy;
#   - every shared library the module needs (DT_NEEDED), sanitizer runtimes aside, is
#     named in README.md;
#   - with "scan": Ardour 7's VST3 scanner finds the effect in the installed bundle
#     (exit 77, skipped, when Ardour is not installed).
set -u

build=${1:?build dir}
vst3host=${2:?vst3host}
readme=${3:?README.md}
work=${4:?work dir}
mode=${5:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
name="vd Palvis"

fail () { echo "FAIL: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" || fail "cmake --install"
bundle="$prefix/lib/vst3/$name.vst3"
module="$bundle/Contents/$(uname -m)-linux/$name.so"
[ -f "$module" ] || fail "no module at $module"
[ -f "$bundle/Contents/Resources/plug.uidesc" ] || fail "no plug.uidesc in $bundle/Contents/Resources"
top=$(ls -A "$prefix")
[ "$top" = lib ] || fail "the prefix's top holds more than lib/: $top"
echo "installed: $bundle"

if [ "$mode" = scan ]; then
	if [ ! -x "${ARDOUR_LIB:-/usr/lib/ardour7}/ardour-vst3-scanner" ]; then
		echo "SKIP: Ardour 7 is not installed"
		exit 77
	fi
	HOSTS_TMP="$work/hosts" "$here/../ardour/ardour-scan.sh" "$bundle" > "$work/scan.log" 2>&1
	rc=$?
	cat "$work/scan.log"
	[ $rc -eq 0 ] || fail "ardour-scan.sh exit $rc"
	case "$(tail -n 1 "$work/scan.log")" in
		*"name=$name,"*"category=Fx|EQ,"*) echo "PASS: Ardour's scanner finds the effect in the installed bundle" ;;
		*) fail "the scan does not list '$name' (Fx|EQ)" ;;
	esac
	exit 0
fi

"$vst3host" info "$bundle" > "$work/info.log" 2>&1 || { cat "$work/info.log"; fail "vst3host info on the installed bundle"; }
grep -q "name: \"$name\"" "$work/info.log" || fail "vst3host info does not list '$name'"

# The manual install: the whole folder under its own name loads, a renamed one does not.
mkdir -p "$work/home/.vst3"
cp -r "$bundle" "$work/home/.vst3/"
"$vst3host" info "$work/home/.vst3/$name.vst3" > /dev/null 2>&1 || fail "a copy of the whole bundle does not load"
cp -r "$bundle" "$work/home/.vst3/Palvis.vst3"
if "$vst3host" info "$work/home/.vst3/Palvis.vst3" > "$work/renamed.log" 2>&1; then
	fail "a renamed bundle loaded: README.md says it does not"
fi
cat "$work/renamed.log"

# The run-time libraries README.md names.
command -v readelf > /dev/null || fail "readelf (binutils) is not installed"
needed=$(readelf -d "$module" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "readelf lists no needed library"
for lib in $needed; do
	case "$lib" in lib*san.so*) continue ;; esac
	grep -qF "\`$lib\`" "$readme" || fail "README.md does not name $lib, which the module needs"
done
echo "PASS: installed under lib/vst3; needs $(echo $needed)"
