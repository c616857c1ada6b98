#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything into build/ (executables in
# build/bin/). tools/test.sh and tools/run.sh start with this.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
