# X displays for Wine sessions (scripts/wine-session), sourced.

# Two 1024 x 768 monitors side by side, the left one primary, for Wine: a headless sway (one
# Wayland output per monitor; it refuses to run as root, so it runs as nobody with a runtime
# folder of its own) and a rootful Xwayland as its client, which gives X one RandR output per
# Wayland output. Xvfb cannot: its monitors share one CRTC, and Wine sees one. The root is grey
# so that a monitor nothing covers shows. Exports DISPLAY; says why and fails when it cannot.
#   start_two_monitors FOLDER    stop_two_monitors FOLDER
start_two_monitors() {
  local folder=$1
  for tool in sway Xwayland xrandr xsetroot; do
    command -v "$tool" >/dev/null ||
      { echo "wine-session: two monitors need $tool, which is not installed" >&2; return 1; }
  done
  mkdir -p "$folder/runtime"
  # nobody must reach its runtime folder, and read its configuration, through the session's.
  chmod o+x "$(dirname "$folder")"
  chmod 755 "$folder"
  chmod 700 "$folder/runtime"
  chown nobody "$folder/runtime"
  cat >"$folder/sway.conf" <<CONF
xwayland disable
output HEADLESS-1 resolution 1024x768 position 0 0
output HEADLESS-2 resolution 1024x768 position 1024 0
CONF
  chmod 644 "$folder/sway.conf"
  env -i PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$folder/runtime" WLR_BACKENDS=headless \
    WLR_HEADLESS_OUTPUTS=2 WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    setpriv --reuid=nobody --regid=nogroup --clear-groups sway -c "$folder/sway.conf" \
    >"$folder/sway.log" 2>&1 &
  echo $! >"$folder/sway.pid"
  wayland_up() { ls "$folder/runtime"/wayland-* >/dev/null 2>&1; }
  wait_for 10 "sway to start (wine-session)" wayland_up ||
    { tail -n 5 "$folder/sway.log" >&2; return 1; }
  local socket
  socket=$(basename "$(ls "$folder/runtime"/wayland-? | head -n 1)")
  # Xwayland takes a free display number itself and says which once it is up.
  XDG_RUNTIME_DIR="$folder/runtime" WAYLAND_DISPLAY=$socket \
    Xwayland -displayfd 3 -nolisten tcp -noreset 3>"$folder/display" >"$folder/xwayland.log" 2>&1 &
  echo $! >"$folder/xwayland.pid"
  display_chosen() { [ -s "$folder/display" ]; }
  wait_for 10 "Xwayland to start (wine-session)" display_chosen ||
    { tail -n 5 "$folder/xwayland.log" >&2; return 1; }
  export DISPLAY=:$(head -n 1 "$folder/display")
  two_up() { [ "$(timeout 2 xrandr --listmonitors 2>/dev/null | head -n 1)" = "Monitors: 2" ]; }
  wait_for 10 "Xwayland to show two monitors (wine-session)" two_up ||
    { tail -n 5 "$folder/xwayland.log" >&2; return 1; }
  xrandr --output XWAYLAND0 --primary && xsetroot -solid '#808080'
}

stop_two_monitors() {
  local folder=$1 name
  for name in xwayland sway; do
    [ -f "$folder/$name.pid" ] && kill "$(cat "$folder/$name.pid")" 2>/dev/null
  done
  return 0
}
