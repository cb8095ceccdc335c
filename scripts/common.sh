# Shared by the set-up scripts: package installation and step reporting.
# Sourced, not run.

KEA_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  wamerican-huge wbritish-huge wordnet-base
  # The commonness scores: SCOWL's lists by size level and an English
  # language model.
  scowl pocketsphinx-en-us
  # The desktop program: Qt 6 Widgets, its SVG icon plugin, and fonts that
  # stand in for the faces the default settings name (Courier New, Times
  # New Roman).
  qt6-base-dev libqt6svg6 fonts-dejavu-core fonts-liberation2
)

# What the desktop program's end-to-end tests and the screenshots need: a
# virtual X display, a window manager to frame windows on it, a way to type
# into it, the X tools that read window frames, a screenshot tool, and the
# desktop entry checker.
KEA_TEST_PACKAGES=(xvfb xauth openbox xdotool x11-utils imagemagick desktop-file-utils qt6-l10n-tools)

kea_say() { printf '\n==> %s\n' "$*"; }

# Runs a command after saying what it does; stops the script when it fails.
kea_step() {
  local what=$1
  shift
  kea_say "$what"
  printf '    $ %s\n' "$*"
  "$@"
}

# Installs whichever of the given Debian packages are missing.
kea_install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    kea_say "All needed system packages are installed"
    return 0
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then sudo=(sudo); else
      echo "Missing packages (${missing[*]}): run this script as root to install them." >&2
      return 1
    fi
  fi
  kea_say "Installing missing system packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Runs apt only when needed, then configures and builds one CMake preset:
# everything, or only the targets named after it.
kea_build() {
  local preset=$1
  shift
  kea_step "Configuring the $preset build" cmake --preset "$preset"
  if [ $# -gt 0 ]; then
    kea_step "Building $* ($preset)" cmake --build --preset "$preset" --target "$@"
  else
    kea_step "Building ($preset)" cmake --build --preset "$preset"
  fi
}
