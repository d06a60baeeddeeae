#!/bin/bash
# Audio engine timings (first decoded audio for a file, a link and a radio; seek; resume
# distance), medians of 20 runs, beside libmpv driven directly.
# Usage: bench/audio/run.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
cmake --build "$build" --target audio_bench >/dev/null
exec "$build/bench/audio_bench"
