# Sourced by scripts/run and scripts/test: a private Xvfb on a free display,
# stopped by its process id when the calling script exits.

start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp 9>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; rm -f "$fdfile"; return 1; }
  export DISPLAY=:$(head -n 1 "$fdfile")
  rm -f "$fdfile"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
