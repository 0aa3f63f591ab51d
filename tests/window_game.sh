# Shared by the scripts that play the real game in a window under Xvfb (sourced, not run).

# Sets window to the game's window, looking for up to 20 s; empty when it never showed. By
# process: other tests may have game windows of the same name open on this display.
find_game_window() {
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --pid "$1" --name '^DUNMARROW$' 2>/dev/null | head -1)
    [ -n "$window" ] && return 0
    sleep 0.2
  done
  return 1
}

# Waits up to TRIES x 0.2 s for the game to end, then prints "quit STATUS" (with the end of what
# it said when the status is not 0), or "still-running" and ends it.
# Usage: await_quit PID TRIES [SAID_FILE]
await_quit() {
  for _ in $(seq "$2"); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$1" 2>/dev/null; then
    echo "still-running"
    kill "$1"
    return
  fi
  wait "$1"
  local status=$?
  echo "quit $status"
  [ "$status" -eq 0 ] || [ -z "$3" ] || tail -n 40 "$3"
}

# Reports a game whose window never showed: "no window", then how it ended and the end of what it
# said when it has ended already (a failed start says why there), or ends it when it still runs.
# Usage: no_window PID SAID_FILE
no_window() {
  echo "no window"
  if kill -0 "$1" 2>/dev/null; then
    kill "$1"
    return
  fi
  wait "$1"
  echo "ended before its window showed, status $?"
  tail -n 40 "$2"
}
