#!/usr/bin/env bash
# Watches a replay in the real window of the build folder given. With "whole", lets it play to
# its end; with "stop", holds it with P after a second, lets it go, and stops it with Escape.
# Prints "quit STATUS" once the game has ended, followed by what it said on standard error.
# Usage: watch_replay.sh BUILD_DIR REPLAY_FILE whole|stop
. "$(dirname "$0")/window_game.sh"
cd "$1" || exit 2
said=$(mktemp)
trap 'rm -f "$said"' EXIT
./dunmarrow --replay "$2" >/dev/null 2>"$said" &
pid=$!
if [ "$3" = stop ]; then
  find_game_window "$pid"
  sleep 1
  for key in p p Escape; do
    xdotool windowfocus "$window" 2>/dev/null
    sleep 0.3
    xdotool key "$key"
    sleep 0.7
  done
fi
await_quit "$pid" 600
cat "$said"
