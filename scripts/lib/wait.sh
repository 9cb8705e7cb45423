# shellcheck shell=bash
# Waiting for something with a time limit instead of sleeping a fixed time; sourced
# (". scripts/lib/wait.sh"):
#   wait_for SECONDS WHAT command...   runs the command every tenth of a second until it succeeds,
#                                      for at most SECONDS; then fails, saying "gave up after
#                                      SECONDS s waiting for WHAT" on the standard error
#   shows_window PID                   succeeds once the process shows a window on the X display
#                                      (Wine's windows carry their process's id)
#   wait_for_window SECONDS PID WHAT   waits for the process's window (WHAT names it); fails at
#                                      once, saying so, when the process ends without one
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    if [ $SECONDS -ge $deadline ]; then
      echo "gave up after $seconds s waiting for $what" >&2
      return 1
    fi
    sleep 0.1
  done
}

shows_window() { [ -n "$(xdotool search --onlyvisible --pid "$1" 2>/dev/null)" ]; }

wait_for_window() {
  local seconds=$1 pid=$2 what=$3
  window_or_gone() { shows_window "$pid" || ! kill -0 "$pid" 2>/dev/null; }
  wait_for "$seconds" "$what" window_or_gone || return 1
  shows_window "$pid" || { echo "the program ended before showing $what" >&2; return 1; }
}
