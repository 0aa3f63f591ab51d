#!/usr/bin/env bash
# Starts the real game in the folder given, finds its window, holds Q and then releases it.
# Prints "held-running" if the game survived the held key and "quit STATUS" once it has ended,
# followed by the end of its standard error when the status is not 0 (a sanitizer's report).
. "$(dirname "$0")/window_game.sh"
cd "$1" || exit 2
said=$(mktemp)
trap 'rm -f "$said"' EXIT
./dunmarrow >/dev/null 2>"$said" &
pid=$!
if ! find_game_window "$pid"; then
  no_window "$pid" "$said"
  exit 0
fi
sleep 1
xdotool windowfocus "$window" 2>/dev/null
sleep 0.3
xdotool keydown q
sleep 0.5
kill -0 "$pid" 2>/dev/null && echo "held-running"
xdotool keyup q
# A window that another test opens meanwhile can take the keyboard focus; then the key went
# there. Focus again and press once more, a few times at most.
for _ in 1 2 3; do
  for _ in $(seq 25); do
    kill -0 "$pid" 2>/dev/null || break 2
    sleep 0.2
  done
  xdotool windowfocus "$window" 2>/dev/null
  sleep 0.3
  xdotool key q
done
await_quit "$pid" 0 "$said"
