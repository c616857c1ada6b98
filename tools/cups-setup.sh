#!/usr/bin/env bash
# Starts CUPS with a cups-pdf queue as the system's default printer, so that
# the print tests print through a real CUPS queue into PDF files
# (~/PDF of the printing user).  Needs root; without it says so and stops.
set -euo pipefail
if [[ $(id -u) -ne 0 ]]; then
  echo "cups-setup: not root, leaving CUPS as it is" >&2
  exit 0
fi
# lpstat -r exits 0 whether or not the scheduler runs; only its words tell.
scheduler_runs() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }
if ! scheduler_runs; then
  cupsd
  for _ in $(seq 100); do scheduler_runs && break; sleep 0.1; done
  scheduler_runs || { echo "cups-setup: cupsd did not start" >&2; exit 1; }
fi
if ! lpstat -p CUPS-PDF >/dev/null 2>&1; then
  lpadmin -p CUPS-PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd -E
fi
lpadmin -d CUPS-PDF
echo "cups-setup: CUPS-PDF is the default printer"
