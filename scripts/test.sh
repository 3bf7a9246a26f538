#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds everything and runs every test stage:
#
#   normal  build/       RelWithDebInfo build, the whole test suite (CTest)
#   asan    build-asan/  address + undefined-behaviour + leak sanitizers, the
#                        whole test suite again
#   tsan    build-tsan/  thread sanitizer, the tests that drive the processor
#                        from two threads at once, in-process (ProcessorThreads)
#                        and through the built bundle (HostileThreads)
#   fuzz    build-fuzz/  clang + libFuzzer: each fuzz target for a bounded time
#                        (PALVIS_FUZZ_SECONDS, default 90), the four at once
#   ardour  build/       the built bundle in Ardour 7 (scan, render, reload)
#
# PALVIS_TEST_STAGES picks stages (default: all, in the order above). Every
# stage runs even when an earlier one failed; the exit status is 0 only when
# all of them passed. A summary with each stage's time comes last.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=${JOBS:-$(nproc)}
STAGES=${PALVIS_TEST_STAGES:-normal asan tsan fuzz ardour}
FUZZ_SECONDS=${PALVIS_FUZZ_SECONDS:-90}
BUILD=${BUILD_DIR:-build}

bash scripts/setup.sh || exit 1

declare -a SUMMARY=()
FAILED=0
run_stage () { # NAME FUNCTION
	local name=$1 fn=$2 start=$SECONDS rc
	echo
	echo "=================== stage $name ==================="
	"$fn"
	rc=$?
	local took=$((SECONDS - start))
	if [ $rc -eq 0 ]; then
		SUMMARY+=("$(printf '%-8s passed  %4d s' "$name" "$took")")
	else
		SUMMARY+=("$(printf '%-8s FAILED  %4d s (exit %d)' "$name" "$took" "$rc")")
		FAILED=1
	fi
}

stage_normal () {
	cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
	cmake --build "$BUILD" -j"$JOBS" &&
	ctest --test-dir "$BUILD" --output-on-failure -j"$JOBS" -LE ardour
}

# Sanitizer reports fail the test that produced them: the address and
# undefined-behaviour sanitizers stop the program, the leak sanitizer makes it
# exit with an error. Leak suppressions name third-party libraries only.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/harness/lsan.supp:print_suppressions=0"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

stage_asan () {
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALVIS_SANITIZE=address -DPALVIS_BUILD_BENCH=OFF &&
	cmake --build build-asan -j"$JOBS" &&
	ctest --test-dir build-asan --output-on-failure -j"$JOBS" -LE ardour
}

stage_tsan () {
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALVIS_SANITIZE=thread -DPALVIS_BUILD_BENCH=OFF &&
	cmake --build build-tsan -j"$JOBS" --target processor_tests hostile_tests &&
	ctest --test-dir build-tsan --output-on-failure -j"$JOBS" -R '^(ProcessorThreads|HostileThreads)\.' --no-tests=error
}

stage_fuzz () {
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALVIS_SANITIZE=address \
		-DPALVIS_BUILD_FUZZERS=ON -DPALVIS_BUILD_BENCH=OFF &&
	cmake --build build-fuzz -j"$JOBS" --target fuzzers || return 1
	bash tests/fuzz/run_fuzzers.sh build-fuzz "$FUZZ_SECONDS"
}

stage_ardour () {
	[ -d "$BUILD" ] || { cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build "$BUILD" -j"$JOBS"; } &&
	cmake --build "$BUILD" -j"$JOBS" --target palvis_module vst3host &&
	ctest --test-dir "$BUILD" --output-on-failure -L ardour --no-tests=error
}

total_start=$SECONDS
for stage in $STAGES; do
	case "$stage" in
		normal | asan | tsan | fuzz | ardour) run_stage "$stage" "stage_$stage" ;;
		*) echo "unknown stage '$stage'" >&2; FAILED=1 ;;
	esac
done

echo
echo "=================== summary ==================="
for line in "${SUMMARY[@]}"; do
	echo "$line"
done
echo "total: $((SECONDS - total_start)) s"
exit $FAILED
