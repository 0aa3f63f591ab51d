#!/usr/bin/env bash
# Starts the real game in the folder given, finds its window, holds Q and then releases it.
# Prints "held-running" if the game survived the held key and "quit STATUS" once it has ended,
# followed by the end of its standard error when the status is not 0 (a sanitizer's report).
cd "$1" || exit 2
said=$(mktemp)
trap 'rm -f "$said"' EXIT
./dunmarrow >/dev/null 2>"$said" &
pid=$!
for _ in $(seq 100); do
  window=$(xdotool search --name '^DUNMARROW$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "no window"
  kill "$pid"
  exit 0
fi
sleep 1
xdotool windowfocus "$window" 2>/dev/null
sleep 0.3
xdotool keydown q
sleep 0.5
kill -0 "$pid" 2>/dev/null && echo "held-running"
xdotool keyup q
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  echo "still-running"
  kill "$pid"
else
  wait "$pid"
  status=$?
  echo "quit $status"
  [ "$status" -eq 0 ] || tail -n 40 "$said"
fi
