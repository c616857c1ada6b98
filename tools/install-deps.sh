#!/usr/bin/env bash
# Installs every Debian and npm package this program needs to build, run and test.
#
# Idempotent: a package that is already there is skipped, and apt-get is not run at all
# when nothing is missing, so a second run takes a second and needs no network.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

debian_packages=(
  # compilers and build
  build-essential cmake ninja-build g++ clang libclang-rt-14-dev
  # test and benchmark libraries
  libgtest-dev libgmock-dev libbenchmark-dev
  # Qt and the libraries the program links
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev qt6-translations-l10n
  libfreexl-dev libzint-dev libgsf-1-dev libjpeg-dev
  # independent readers and checkers used by the tests
  mdbtools poppler-utils libpoppler-qt6-dev zbar-tools python3-xlrd python3-xlwt gnumeric
  # printing
  cups cups-client cups-bsd printer-driver-cups-pdf
  # fonts for Chinese text
  fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai
  # windows without a display, screenshots
  xvfb xauth x11-apps x11-utils openbox imagemagick xdg-utils
  # node, for the mdb-reader cross-check
  nodejs npm
  # timing whole commands
  hyperfine
  # the label program the waybill benchmark compares with
  glabels
)

# Names that installed packages satisfy: each installed package's own name and every name it
# Provides. This matters for npm, which the NodeSource build of nodejs provides (and conflicts
# with), so asking apt for Debian's npm would try to replace the machine's Node.js.
satisfied_names() {
  dpkg-query -W -f='${db:Status-Status} ${Package} ${Provides}\n' 2>/dev/null |
    awk '$1 == "installed" {
           sub(/^installed /, "")
           gsub(/\([^)]*\)/, "")   # drop the version constraints of Provides
           gsub(/,/, " ")
           for (i = 1; i <= NF; i++) print $i
         }' |
    sed 's/:.*//' | sort -u
}

missing=()
mapfile -t have < <(satisfied_names)
declare -A present=()
for name in "${have[@]}"; do present[$name]=1; done
for pkg in "${debian_packages[@]}"; do
  [[ -n ${present[$pkg]:-} ]] || missing+=("$pkg")
done

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  sudo=()
  if ((EUID != 0)); then sudo=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q "${missing[@]}"
else
  echo "install-deps: Debian packages already installed"
fi

# mdb-reader, pinned by tests/readers/package-lock.json. `npm ls` only reads node_modules, so the
# check is offline; `npm ci` runs only when something there is missing or of the wrong version.
if npm ls --prefix tests/readers --all >/dev/null 2>&1; then
  echo "install-deps: npm packages in tests/readers already installed"
else
  echo "install-deps: installing npm packages into tests/readers"
  npm ci --prefix tests/readers --no-audit --no-fund
fi
