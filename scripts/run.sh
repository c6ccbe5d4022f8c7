#!/usr/bin/env bash
# Builds what is missing and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
echo "The library is built in build/release. The local reference service and the"
echo "test application that make up the main job are not part of this build yet."
