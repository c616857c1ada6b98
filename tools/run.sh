#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Arguments go to the program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/build.sh
if [[ -x build/bin/waybill ]]; then
  exec build/bin/waybill "$@"
fi
# Until the window program is built, the jet tool is what there is to start.
if (($# == 0)); then set -- --help; fi
exec build/bin/jet "$@"
