#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program in its own
# folder, where it finds data.mdb and its help.  Arguments go to the program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/build.sh
cd build/bin
exec ./waybill "$@"
