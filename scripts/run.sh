#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on its default
# data file (build/bin/data.qmd, made empty by the build if it is missing).
# Without a display the program runs on a virtual one (Xvfb), and a
# screenshot of it is saved so that you can see where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    bash scripts/deps.sh
    QM_TARGETS="quillmere catalogue" bash scripts/build.sh
    exec build/bin/quillmere
fi

bash scripts/deps.sh xvfb xauth openbox imagemagick
QM_TARGETS="quillmere catalogue" bash scripts/build.sh
display=:99
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=":$(( ${display#:} + 1 ))"; done
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
DISPLAY=$display build/bin/quillmere &
program=$!
sleep 3
DISPLAY=$display import -window root build/screenshot.png 2>/dev/null || true
cat <<MSG
There is no display here, so Quillmere runs on the virtual display $display (Xvfb).
A screenshot of that display is in build/screenshot.png (the start-up dialog;
press Enter there, e.g. with: DISPLAY=$display xdotool key Return).
To work in it, attach a VNC server to it (x11vnc -display $display) or run this
script where a display is available. Stop it with: kill $program
MSG
wait $program
