# Starts a private X server with a window manager for the tests; sourced by the test scripts.
# Without a window manager no window ever becomes active, focus never moves and the tests
# would test nothing, so both must be up before anything runs.

start_display() {
  local n=${PELLACREST_DISPLAY_FROM:-90}
  while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
  export DISPLAY=":${n}"
  Xvfb "$DISPLAY" -screen 0 1600x1200x24 -nolisten tcp -dpi 96 >/dev/null 2>&1 &
  XVFB_PID=$!
  local deadline=$((SECONDS + 20))
  until xdpyinfo >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
      echo "The X server on $DISPLAY did not start." >&2
      return 1
    fi
    sleep 0.1
  done
  openbox --sm-disable >/dev/null 2>&1 &
  WM_PID=$!
  deadline=$((SECONDS + 20))
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    if [ $SECONDS -ge $deadline ]; then
      echo "The window manager did not start on $DISPLAY." >&2
      return 1
    fi
    sleep 0.1
  done
  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
}

stop_display() {
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  [ -n "${XDG_RUNTIME_DIR:-}" ] && rm -rf "$XDG_RUNTIME_DIR"
}
