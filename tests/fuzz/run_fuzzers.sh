#!/bin/bash
# run_fuzzers.sh BUILD-DIR SECONDS [TARGET ...]
#
# Runs the libFuzzer programs of a PALVIS_BUILD_FUZZERS build side by side,
# each for SECONDS, starting from the seed corpus in tests/fuzz/corpus/<target>
# (and resource/plug.uidesc for the description target). The growing corpus,
# the logs and any crashing input stay in BUILD-DIR/fuzz-work/<target>/.
# Exit 0 only when no target found a crash, a leak, a timeout or a broken
# property. A found input belongs in tests/fuzz/regressions/<target>/, with its fix.
set -u
build=${1:?build dir}
seconds=${2:?seconds}
shift 2
targets=${*:-state process uidesc events input}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)

pids=()
for t in $targets; do
	exe="$build/tests/fuzz/fuzz_$t"
	[ -x "$exe" ] || { echo "FAIL: $exe is not built (PALVIS_BUILD_FUZZERS=ON, target fuzzers)"; exit 1; }
	work="$build/fuzz-work/$t"
	mkdir -p "$work/corpus" "$work/artifacts"
	extra=()
	if [ -f "$here/$t.dict" ]; then
		extra+=("-dict=$here/$t.dict")
	fi
	if [ "$t" = uidesc ]; then
		[ -f "$root/resource/plug.uidesc" ] && cp "$root/resource/plug.uidesc" "$work/corpus/plug.uidesc"
	fi
	"$exe" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 -print_final_stats=1 \
		-artifact_prefix="$work/artifacts/" "${extra[@]}" "$work/corpus" "$here/corpus/$t" \
		> "$work/fuzz.log" 2>&1 &
	pids+=("$!:$t")
done

failed=0
for entry in "${pids[@]}"; do
	pid=${entry%%:*}
	t=${entry#*:}
	wait "$pid"
	rc=$?
	work="$build/fuzz-work/$t"
	runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log" | tail -n 1)
	rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/fuzz.log" | tail -n 1)
	cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$work/fuzz.log" | tail -n 1)
	echo "fuzz_$t: exit $rc, ${runs:-?} runs (${rate:-?}/s) in ${seconds}s, ${cov:-no coverage line}, corpus $(ls "$work/corpus" | wc -l) inputs"
	if [ $rc -ne 0 ]; then
		failed=1
		echo "---- fuzz_$t found a problem; the end of its log:"
		grep -v '^VST3Editor:' "$work/fuzz.log" | tail -n 60
		echo "---- inputs kept: $(ls "$work/artifacts")"
		echo "---- replay one with: $build/tests/fuzz/fuzz_$t $work/artifacts/<file>"
	fi
done
exit $failed
