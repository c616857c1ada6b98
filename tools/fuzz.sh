#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for a bounded time
# (FUZZ_SECONDS, 60 by default) over the Access-made files as seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWAYBILL_FUZZ=ON -DWAYBILL_TESTS=OFF -DWAYBILL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2 --target jet_open_fuzzer
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp ../shared/fixtures/jet/*.mdb "$corpus"/ 2>/dev/null || true
build-fuzz/bin/jet_open_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
  -max_len=262144 "$corpus"
echo "fuzzing: no crash, hang or sanitizer report in ${seconds}s"
