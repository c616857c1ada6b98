#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/build.sh
bash tools/cups-setup.sh
ctest --test-dir build --output-on-failure --no-tests=error -j2
