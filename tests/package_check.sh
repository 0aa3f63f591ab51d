#!/usr/bin/env bash
# Makes the Debian package as scripts/package does (which fails on any lintian error or warning),
# checks its menu entry and metainfo with desktop-file-validate and both AppStream validators,
# unpacks it into a scratch root and starts the installed game from there, from its menu entry,
# under the running X server: its icon, a resize, a polite close. Prints one line per check;
# "missing ..." marks a failure. Exits 77 (skipped) when the tools or a display are not there.
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"  # the package's own release build folder
work="$2/package-check"
for tool in lintian appstream-util appstreamcli desktop-file-validate dpkg-deb xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/deps installs it)"; exit 77; }
done
[ -n "${DISPLAY:-}" ] || { echo "skipped: no display"; exit 77; }
rm -rf "$work"
mkdir -p "$work/elsewhere"
failed=0
missing() {
  echo "missing$*"
  failed=1
}

deb=$(DUNMARROW_PACKAGE_BUILD="$build" "$root/scripts/package" 2>"$work/lintian.log") \
  || { missing ": scripts/package failed:"; tail -40 "$work/lintian.log"; exit 1; }
echo "packaged $(basename "$deb")"
grep -E '^O: dunmarrow' "$work/lintian.log" | sed 's/^/lintian override: /'
[ "$(dpkg-deb -f "$deb" Section)" = games ] || missing ": Section games"

scratch="$work/root"
dpkg-deb -x "$deb" "$scratch" || { missing ": dpkg-deb -x failed"; exit 1; }
for f in usr/games/dunmarrow usr/share/games/dunmarrow/futurabd.ttf usr/share/games/dunmarrow/icon.png \
         usr/share/games/dunmarrow/MANIFEST usr/share/doc/dunmarrow/copyright \
         usr/share/doc/dunmarrow/changelog.Debian.gz usr/share/man/man6/dunmarrow.6.gz \
         usr/share/applications/dunmarrow.desktop usr/share/metainfo/net.dunmarrow.Dunmarrow.metainfo.xml \
         usr/share/icons/hicolor/128x128/apps/dunmarrow.png usr/share/lintian/overrides/dunmarrow; do
  [ -s "$scratch/$f" ] || missing " $f"
done
[ ! -e "$scratch/usr/bin" ] || missing ": nothing belongs in usr/bin"
gzip -t "$scratch/usr/share/man/man6/dunmarrow.6.gz" "$scratch/usr/share/doc/dunmarrow/changelog.Debian.gz" \
  || missing ": a damaged gzip file"

desktop-file-validate "$scratch/usr/share/applications/dunmarrow.desktop" && echo "desktop-valid" \
  || missing ": desktop-file-validate"
metainfo="$scratch/usr/share/metainfo/net.dunmarrow.Dunmarrow.metainfo.xml"
appstreamcli validate --pedantic --no-net "$metainfo" >"$work/appstreamcli.log" 2>&1 && echo "appstreamcli-valid" \
  || { missing ": appstreamcli:"; cat "$work/appstreamcli.log"; }
appstream-util validate-relax --nonet "$metainfo" >"$work/appstream-util.log" 2>&1 && echo "appstream-util-valid" \
  || { missing ": appstream-util:"; cat "$work/appstream-util.log"; }

# The menu entry's command, from a folder with no data in it: the game finds its pack in
# usr/share/games/dunmarrow beside usr/games.
cd "$work/elsewhere" || exit 1
command=$(sed -n 's/^Exec=//p' "$scratch/usr/share/applications/dunmarrow.desktop")
PATH="$scratch/usr/games:$PATH" env -u DUNMARROW_DATA $command --no-sound >"$work/game.log" 2>&1 &
pid=$!
window=""
for _ in $(seq 150); do
  window=$(xdotool search --pid "$pid" 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if [ -n "$window" ]; then
  echo "window"
  # Its width and height lead the icon's numbers.
  xprop -id "$window" -f _NET_WM_ICON 32c ' $0 x $1\n' _NET_WM_ICON 2>/dev/null | grep -q ' 128 x 128' && echo "icon" \
    || missing ": the window icon"
  xdotool windowsize "$window" 800 500
  for _ in $(seq 25); do
    size=$(xdotool getwindowgeometry "$window" 2>/dev/null | sed -n 's/.*Geometry: //p')
    [ "$size" = "800x500" ] && break
    sleep 0.2
  done
  [ "$size" = "800x500" ] && echo "resized" || missing ": the window stays ${size:-unknown} after a resize to 800x500"
else
  missing " window"
fi
sleep 1
kill -0 "$pid" 2>/dev/null && echo "running" || missing ": the game ended: $(cat "$work/game.log")"
kill -TERM "$pid" 2>/dev/null
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  missing ": still running"
  kill -KILL "$pid"
fi
wait "$pid"
status=$?
echo "quit $status"
[ "$status" -eq 0 ] || missing ": a polite close quits with status 0"

# A folder named for the data that lacks it is refused, though the installed pack is there.
env -u DUNMARROW_DATA "$scratch/usr/games/dunmarrow" --no-sound --data-dir "$work/nowhere" >"$work/nodata.log" 2>&1
status=$?
echo "refused $status"
[ "$status" -eq 1 ] || missing ": the refusal exits with status 1"
grep -q "names $work/nowhere" "$work/nodata.log" || missing ": the refusal names the folder: $(cat "$work/nodata.log")"
[ "$failed" -eq 0 ] && rm -rf "$work"
exit "$failed"
