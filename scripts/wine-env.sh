# Sourced by the scripts that run Windows programs: one private 32-bit Wine prefix inside
# the build tree, quiet, French, and never offering to install components we do not use.
TAVELO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$TAVELO_ROOT/build/win32/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=fr_FR.UTF-8

# Creates the prefix once (about 15 s); later calls only check its fonts.
tavelo_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  tavelo_wine_fonts
}

# Wine draws the caption buttons' glyphs with its Marlett font. Debian ships it in fonts-wine,
# in a data folder this Wine never searches, so without it the buttons show the letters
# "0 1 r"; the prefix's own Fonts folder is searched whenever a wineserver starts. Idempotent,
# and also for a prefix made before the package was installed.
tavelo_wine_fonts() {
  local source=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -f "$WINEPREFIX/system.reg" ] || return 0
  if [ ! -f "$source" ]; then
    echo "Police Marlett absente (paquet fonts-wine) : les boutons de titre seront des lettres" >&2
    return 0
  fi
  if ! cmp -s "$source" "$fonts/marlett.ttf"; then
    mkdir -p "$fonts"
    cp "$source" "$fonts/marlett.ttf"
  fi
}

# Starts Xvfb on a free display and exports DISPLAY; the pid is in TAVELO_XVFB_PID.
tavelo_start_xvfb() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  TAVELO_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb n'a pas démarré sur :$n" >&2
  return 1
}
