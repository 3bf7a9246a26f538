#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds the plug-in, installs the bundle where
# Linux VST3 hosts look for it (~/.vst3) and renders audio through it with the
# project's command-line host.
set -euo pipefail
cd "$(dirname "$0")/.."

PALVIS_WITH_ARDOUR=${PALVIS_WITH_ARDOUR:-0} bash scripts/setup.sh

BUILD=${BUILD_DIR:-build-release}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DPALVIS_BUILD_TESTS=OFF -DPALVIS_BUILD_BENCH=OFF
cmake --build "$BUILD" -j"$(nproc)"

BUNDLE="$BUILD/vd Palvis.vst3"
mkdir -p "$HOME/.vst3"
rm -rf "$HOME/.vst3/vd Palvis.vst3"
cp -r "$BUNDLE" "$HOME/.vst3/"
echo "Installed: $HOME/.vst3/vd Palvis.vst3"

HOST="$BUILD/tools/host/vst3host"
OUT=${DEMO_DIR:-demo}
mkdir -p "$OUT"
"$HOST" info "$HOME/.vst3/vd Palvis.vst3"

# Five seconds of pink-ish noise, then the same through an audible curve:
# a deep bass cut, a presence boost and a gentle air lift.
sox -n -r 48000 -c 2 -b 24 "$OUT/noise.wav" synth 5 pinknoise vol 0.25
"$HOST" render "$HOME/.vst3/vd Palvis.vst3" "$OUT/noise.wav" "$OUT/noise-eq.wav" \
  25Hz=dB:-12 40Hz=dB:-12 63Hz=dB:-6 2.5kHz=dB:6 4kHz=dB:9 10kHz=dB:4
sox "$OUT/noise.wav" -n stat 2>&1 | grep -E "RMS +amplitude" | sed 's/^/input  /'
sox "$OUT/noise-eq.wav" -n stat 2>&1 | grep -E "RMS +amplitude" | sed 's/^/output /'
echo "Rendered: $OUT/noise.wav -> $OUT/noise-eq.wav"

# The editor as a host would show it, with the same curve.
"$HOST" snapshot "$HOME/.vst3/vd Palvis.vst3" "$OUT/editor.png" \
  25Hz=dB:-12 40Hz=dB:-12 63Hz=dB:-6 2.5kHz=dB:6 4kHz=dB:9 10kHz=dB:4 > /dev/null
echo "Editor: $OUT/editor.png"
