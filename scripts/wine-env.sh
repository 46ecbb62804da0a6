# Sourced by the scripts: Wine settings and a prefix of this build tree.
# Usage: . scripts/wine-env.sh <prefix-dir>
export WINEPREFIX="$1"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once (fonts copied in) and leaves its server running.
griv_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.griv-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    for f in marlett tahoma tahomabd; do
      [ -f "/usr/share/wine/fonts/$f.ttf" ] && cp "/usr/share/wine/fonts/$f.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    # Every program of this prefix runs in one virtual desktop: title bars are
    # drawn without a window manager, keys arrive without focusing, and the
    # task bar hosts the notification area.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${GRIV_DESKTOP_SIZE:-1280x800}" /f >/dev/null 2>&1
    # A second boot settles the services started by the first.
    wineserver -p >/dev/null 2>&1 || true
    wineboot >/dev/null 2>&1 || true
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w || true
    touch "$WINEPREFIX/.griv-ready"
  fi
  wineserver -p >/dev/null 2>&1 || true
}

# Picks a free X display number and starts Xvfb on it; sets DISPLAY and XVFB_PID.
griv_start_xvfb() {
  local size="${1:-1280x800x24}" n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
  done
  echo "no free X display" >&2
  return 1
}
