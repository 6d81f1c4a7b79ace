#!/usr/bin/env bash
# Configures and builds into a build folder (default: build). Extra arguments go to cmake.
# The program lands in <build>/run/videotool with <build>/run/bin/ffmpeg beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
