# Shared by the scripts that drive the real program on a virtual screen:
# Xvfb with a window manager (openbox) and a notification area (trayer), and
# helpers to find windows and the tray icon. Its functions use `pids` (see
# session.sh: make_work_folder); start_virtual_screen exports DISPLAY.

# Starts the screen on display :$1.
start_virtual_screen() {
  Xvfb ":$1" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
  export DISPLAY=":$1"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >/dev/null 2>&1 & pids+=($!)
  trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
    >/dev/null 2>&1 & pids+=($!)
  sleep 1
}

# Waits for a visible window whose title matches $1 and prints its id. On
# failure, keeps a picture of the screen for whoever looks into it.
wait_window() {
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "no window '$1' appeared (the screen at that moment: /tmp/varnoket-screen-failure.png)" >&2
  import -window root /tmp/varnoket-screen-failure.png || true
  return 1
}

# Prints the id of the program's tray icon once it is there.
tray_icon() {
  local icon=""
  for _ in $(seq 100); do
    # The icon is a small window of the program's, docked in the tray; other
    # windows titled "Varnoket" (a box, a balloon) are larger.
    icon=$(xwininfo -root -tree | awk '!found && /"Varnoket": \("varnoket"/ {
      for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, g, /[x+]/); break }
      if (g[1] <= 64 && g[2] <= 64) { print $1; found = 1 } }')
    if [ -n "$icon" ]; then echo "$icon"; return 0; fi
    sleep 0.1
  done
  echo "the tray icon did not appear" >&2
  return 1
}

# The client area's top-left corner of window $1 on the screen, as "X Y".
window_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X:/{x=$4}/Absolute upper-left Y:/{y=$4}END{print x, y}'
}
