#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
# Line tables only (-g1): sanitizer reports still name file and line, and the build takes a fifth less time;
# the libraries compile as a few large units.
cmake -G Ninja -S . -B build-tests -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DAURIVO_SANITIZE=ON -DAURIVO_WERROR=ON -DAURIVO_BENCH=OFF -DAURIVO_UNITY=ON
cmake --build build-tests -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-tests --output-on-failure -j"$(nproc)"
