#!/usr/bin/env bash
# The desktop program, installed as a Lexoria.app folder in ~/Downloads, offers the move on
# a virtual display; its button copies it into ~/Applications, the copy runs and the
# source is gone. Usage: relocation.sh BUILD_DIR SITE_DIR
set -euo pipefail
build=$1 site=$2
work=$(mktemp -d /tmp/lexoria-e2e-XXXXXX)
pids=()
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT
fail() { echo "relocation: $*" >&2; [ -f "$work/log" ] && cat "$work/log" >&2; exit 1; }
# Polls a condition for at most 30 s.
within() { for _ in $(seq 300); do if eval "$1"; then return 0; fi; sleep 0.1; done; return 1; }

home=$work/home
source=$home/Downloads/Lexoria.app
copy=$home/Applications/Lexoria.app
cmake --install "$build" --prefix "$source" >/dev/null
mkdir -p "$home/Applications/Other.app"

exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -noreset -screen 0 1024x768x24 >/dev/null 2>&1 &
pids+=($!)
read -r -t 30 display <&"$display_fd" || fail "Xvfb did not start"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
pids+=($!)

env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY=":$display" XDG_CONFIG_HOME="$work/config" \
  XDG_DATA_HOME="$work/data" LEXORIA_SITE_HOST="127.0.0.1:$port" QT_QPA_PLATFORM=xcb \
  "$source/bin/lexoria" >"$work/log" 2>&1 &
pids+=($!)
export DISPLAY=":$display"
within 'window=$(xdotool search --onlyvisible --name "^Move to Applications folder" 2>/dev/null | head -1); [ -n "$window" ]' ||
  fail "no offer appeared"
# Without a window manager the keys go to the window under the pointer.
xdotool mousemove --window "$window" 20 20
xdotool key Return
within '[ ! -e "$source" ] && [ -x "$copy/bin/lexoria" ]' || fail "the copy did not replace the source"
within 'running=$(for p in /proc/[0-9]*; do [ "$(readlink "$p/exe" 2>/dev/null)" = "$copy/bin/lexoria" ] && basename "$p"; done); [ -n "$running" ]' ||
  fail "the copy did not start"
pids+=($running)
grep -q "INFO -- Moving myself to the Applications folder" "$work/log" || fail "no log line"
echo "relocation: moved into $copy, running as process $running"
