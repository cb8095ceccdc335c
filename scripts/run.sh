#!/usr/bin/env bash
# Sets up, builds and runs KEA: installs what is missing, builds the release
# configuration (programs, shipped dictionaries, help), then starts the
# desktop program when there is a display to show it on. Without one it
# describes the shipped English dictionary and runs a search from the
# terminal instead, and says how to start the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kea_install_packages "${KEA_PACKAGES[@]}"
# What running needs: the programs, their dictionaries and help (the tests
# and benchmarks are test.sh's).
kea_build release kea_desktop kea-cli kkbuild kkmerge shipped_dictionaries help_data man_pages
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  kea_step "Starting the desktop program" build/release/bin/kea "$@"
  exit
fi
kea_step "Describing the shipped English dictionary" \
  build/release/bin/kea-cli info build/release/share/kea/Dictionaries/English.kkd
kea_step "Searching the shipped English dictionary for .l...r.n (a template: electron, ...)" \
  build/release/bin/kea-cli search '.l...r.n'
kea_say "No display here, so the desktop program was not started. On a desktop, run
    build/release/bin/kea
or install everything with 'cmake --install build/release' and start KEA from the menu."
