#!/usr/bin/env bash
# Plays a short game in the real window of the build folder given, recording it: Space through the
# splash, the title and the prologue, then about SECONDS (default 45) of play with swoops steered
# left and right, flaps, a pause and Escape back to the title, and Escape again to quit.
# Usage: record_window.sh BUILD_DIR REPLAY_FILE [SECONDS]
# Prints "window", then "quit STATUS" once the game has ended (the end of its standard error
# follows when the status is not 0), and the frames and frame times it recorded.
. "$(dirname "$0")/window_game.sh"
cd "$1" || exit 2
replay="$2"
seconds="${3:-45}"
said=$(mktemp)
trap 'rm -f "$said"' EXIT
./dunmarrow --record "$replay" >/dev/null 2>"$said" &
pid=$!
if ! find_game_window "$pid"; then
  no_window "$pid" "$said"
  exit 0
fi
echo "window"
focus() { xdotool windowfocus "$window" 2>/dev/null; }
press() { focus; xdotool key "$1"; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
sleep 1
focus
sleep 0.5
press space   # the splash
sleep 2.5
press space   # the title, once its music plays
sleep 2
press space   # the prologue, skipped
sleep 1
end=$((SECONDS + seconds))
turn=Right
round=0
while [ "$SECONDS" -lt "$end" ] && kill -0 "$pid" 2>/dev/null; do
  focus
  xdotool keydown space
  sleep 0.5
  hold "$turn" 0.25
  sleep 0.4
  xdotool keyup space
  hold Up 0.3
  sleep 0.2
  hold Up 0.2
  [ "$turn" = Right ] && turn=Left || turn=Right
  round=$((round + 1))
  if [ "$round" -eq 8 ]; then
    press p   # a pause of a second
    sleep 1
    press p
  fi
done
press Escape  # back to the title
sleep 1.5
press Escape  # and out
await_quit "$pid" 50 "$said"
# How the window kept up: the frames and the frame times recorded.
awk '/^f/ { for (i = 2; i <= NF; i++) if ($i ~ /^t/) { n++; t = substr($i, 2) + 0; s += t; if (t > 0.05) slow++ } }
     END { printf "frames %d, %.1f s, %d over 0.05 s\n", n, s, slow }' "$replay"
