#!/bin/bash
# ardour_check.sh CHECK BUNDLE VST3HOST WORKDIR
#
# The plug-in in a real third-party host: Ardour 7 (Debian's "ardour"
# package), through the scripts beside this one.
#   scan     Ardour's VST3 scanner lists exactly one effect class, "vd Palvis",
#            of category Fx|EQ, with two inputs and two outputs.
#   render   a noise file through the plug-in in a headless Ardour session with
#            the 1 kHz band at +12 dB equals vst3host's rendering of the same
#            file with the same block size (HOSTS_BLOCK, default 1024) within
#            1e-6, and differs from the input.
#   render64 the same with blocks of 64 samples (HOSTS_BLOCK=64).
#   reload   the same, then the saved session is loaded again (the plug-in is
#            restored from the state Ardour saved) and must render identical audio.
# Exit 77 (skipped) when Ardour or python3 is not installed.
set -u

check=${1:?check}
bundle=${2:?bundle}
vst3host=${3:?vst3host}
work=${4:?work dir}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ardour_lib=${ARDOUR_LIB:-/usr/lib/ardour7}

if [ ! -x "$ardour_lib/ardour-vst3-scanner" ] || [ ! -x "$ardour_lib/luasession" ]; then
	echo "SKIP: Ardour 7 is not installed ($ardour_lib)"
	exit 77
fi
if ! command -v python3 > /dev/null; then
	echo "SKIP: python3 is not installed"
	exit 77
fi

rm -rf "$work"
mkdir -p "$work"
export HOSTS_TMP="$work/hosts"

# Ardour 7.3's AVX-512 mixing routine (x86_avx512f_mix_buffers_no_gain), which
# its export calls to fill a channel's 1024-sample buffer, writes past the end
# of that buffer. With any plug-in on the track (its own LV2 EQ as well) this
# overwrites the neighbouring heap block: the second exported channel starts
# every other 1024-sample block with two garbage samples, or glibc aborts the
# teardown with "free(): invalid size". On a processor with AVX-512, let
# Ardour use its AVX routines instead. ARDOUR_FPU_FLAGS replaces the flags
# Ardour detects, so it is built from what this processor has: flush-to-zero,
# denormals-are-zero, SSE, SSE2 (0x0f), AVX (0x10) and FMA (0x40); AVX-512F
# (0x80) is left out. See docs/testing.md.
if [ -z "${ARDOUR_FPU_FLAGS:-}" ] && grep -qw avx512f /proc/cpuinfo 2>/dev/null; then
	fpu_flags=$((0x0f))
	grep -qw avx /proc/cpuinfo && fpu_flags=$((fpu_flags | 0x10))
	grep -qw fma /proc/cpuinfo && fpu_flags=$((fpu_flags | 0x40))
	export ARDOUR_FPU_FLAGS=$fpu_flags
	echo "note: this processor has AVX-512; Ardour runs with ARDOUR_FPU_FLAGS=$fpu_flags (its AVX-512 export mixing overruns its buffer)"
fi
if [ "$check" = render64 ]; then
	export HOSTS_BLOCK=64
fi
block=${HOSTS_BLOCK:-1024}

# Ardour 7.3 on its own (checked with no plug-in in the session) now and then
# crashes while it creates the throw-away session or loads it, and now and then
# exports a channel of silence. Such a run is repeated, up to five attempts;
# a fault of the plug-in shows in every attempt. A crash while Ardour tears the
# session down after its work is done is reported by ardour-render.sh as
# "teardown=crashed" and does not fail the check (see docs/testing.md).
render_in_ardour () { # OUT [PARAM=VALUE ...]
	local out=$1; shift
	local attempt rc
	for attempt in 1 2 3 4 5; do
		rm -f "$out"
		"$here/ardour-render.sh" "$bundle" "$work/in.wav" "$out" "$@" > "$work/ardour.log" 2>&1
		rc=$?
		cat "$work/ardour.log"
		if [ $rc -ne 0 ]; then
			if grep -qE "luasession exit (1[3-9][0-9]|2[0-5][0-9])" "$work/ardour.log"; then
				echo "note: attempt $attempt: Ardour crashed before its work was done; again"
				continue
			fi
			if grep -q "^RESULT reload identical=false" "$work/ardour.log"; then
				echo "note: attempt $attempt: the re-loaded session rendered different audio; again"
				continue
			fi
			return $rc
		fi
		if python3 "$here/wavtool.py" stat "$out" | grep -q "peak=0.000000 "; then
			echo "note: attempt $attempt: Ardour exported a silent channel; again"
			continue
		fi
		return 0
	done
	echo "FAIL: five attempts in Ardour failed"
	return 1
}

case "$check" in
	scan)
		"$here/ardour-scan.sh" "$bundle" > "$work/scan.log" 2>&1
		rc=$?
		cat "$work/scan.log"
		[ $rc -eq 0 ] || { echo "FAIL: ardour-scan.sh exit $rc"; exit 1; }
		summary=$(tail -n 1 "$work/scan.log")
		for want in "scanned: 1 classes," "name=vd Palvis," "category=Fx|EQ," "in=2, out=2," "vendor=VARDEL Soft,"; do
			case "$summary" in
				*"$want"*) ;;
				*) echo "FAIL: the scan summary lacks '$want'"; exit 1 ;;
			esac
		done
		echo "PASS: Ardour lists the effect with two inputs and two outputs"
		;;
	render | render64 | reload)
		python3 "$here/wavtool.py" gen "$work/in.wav" --kind noise --seconds 1 --rate 48000 || exit 1
		if [ "$check" = reload ]; then
			export HOSTS_RELOAD=1
		fi
		render_in_ardour "$work/ardour.wav" "1kHz=1" || { echo "FAIL: ardour-render.sh"; exit 1; }
		if [ "$check" = reload ] && ! grep -q "^rendered: .* reload=identical" "$work/ardour.log"; then
			echo "FAIL: the re-loaded session did not render identical audio"
			exit 1
		fi
		"$vst3host" render "$bundle" "$work/in.wav" "$work/vst3host.wav" --block "$block" "1kHz=1" || {
			echo "FAIL: vst3host render"
			exit 1
		}
		echo "--- Ardour against vst3host (same block size $block):"
		python3 "$here/wavtool.py" compare "$work/vst3host.wav" "$work/ardour.wav" --tol 1e-6 || {
			echo "FAIL: Ardour's rendering differs from vst3host's"
			exit 1
		}
		echo "--- Ardour against the input (the band must have changed it):"
		if python3 "$here/wavtool.py" compare "$work/in.wav" "$work/ardour.wav" --tol 1e-3; then
			echo "FAIL: Ardour's output equals the input: the plug-in did not process"
			exit 1
		fi
		echo "PASS: $check"
		;;
	*)
		echo "usage: $0 scan|render|render64|reload BUNDLE VST3HOST WORKDIR" >&2
		exit 2
		;;
esac
exit 0
