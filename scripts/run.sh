#!/usr/bin/env bash
# Sets up, builds and runs KEA: installs what is missing, builds the release
# configuration (programs and shipped dictionaries), then runs the program's
# main job on the shipped English dictionary: describing it, then a search.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kea_install_packages "${KEA_PACKAGES[@]}"
kea_build release
kea_step "Describing the shipped English dictionary" \
  build/release/bin/kea-cli info build/release/share/kea/Dictionaries/English.kkd
kea_step "Searching the shipped English dictionary for .l...r.n (a template: electron, ...)" \
  build/release/bin/kea-cli search '.l...r.n'
