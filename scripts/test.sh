#!/usr/bin/env bash
# Sets up, builds and runs every test: the release build's unit and
# end-to-end tests, then the sanitizer build's tests and a bounded run of
# every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kea_install_packages "${KEA_PACKAGES[@]}" "${KEA_TEST_PACKAGES[@]}"
kea_build release
kea_step "Running the tests (release)" ctest --preset release
kea_build asan
kea_step "Running the tests (AddressSanitizer + UndefinedBehaviorSanitizer)" ctest --preset asan
kea_step "Running the fuzz targets" scripts/fuzz.sh build/asan "${KEA_FUZZ_SECONDS:-20}"
kea_say "All tests passed"
