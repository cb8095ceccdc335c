# Sourced by the desktop tests: checks the tools they need ($extra_tools,
# besides Xvfb, xdotool and import), makes a work folder that goes at exit
# along with the program and the display, and starts a virtual X display of
# our own. Sets work, DISPLAY, xvfb_pid and kea_pid (for the caller to
# fill), and defines fail MESSAGE, which shows the program's log.
# shellcheck disable=SC2086
for tool in Xvfb xdotool import ${extra_tools:-}; do
  command -v "$tool" >/dev/null || { echo "desktop test needs $tool (scripts/test.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
kea_pid=
cleanup() {
  [ -n "$kea_pid" ] && kill "$kea_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; [ -f "$work/kea.log" ] && sed 's/^/  kea: /' "$work/kea.log"; exit 1; }

# Xvfb picks a free display number and writes it to fd 3.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
