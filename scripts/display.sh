# Sourced: makes sure an X display is there for Wine, starting Xvfb on a free
# display number when DISPLAY is not set, and stopping it when the shell exits.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      vidod_xvfb_pid=$!
      export DISPLAY=":$n"
      trap 'kill $vidod_xvfb_pid 2>/dev/null || true' EXIT
      for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
      done
      break
    fi
  done
fi
