# Sourced by the scripts that run Windows programs: one private Wine prefix inside the build
# tree, quiet, French, and never offering to install components we do not use.
#
# Tavelo ships as a 32-bit program (build/win32). Some machines' kernels run no 32-bit
# program at all (IA-32 emulation off): there the same sources are also built for x86_64
# (build/win64) and every Windows program of ours runs from that tree under 64-bit Wine.
# TAVELO_WIN_TREE names the tree whose programs run on this machine.
TAVELO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Whether this machine runs 32-bit programs: Wine's own 32-bit loader tells.
tavelo_runs_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

if [ -z "${TAVELO_WIN_TREE:-}" ]; then
  if tavelo_runs_32bit || [ ! -x /usr/lib/wine/wine64 ]; then
    TAVELO_WIN_TREE=build/win32
  else
    TAVELO_WIN_TREE=build/win64
  fi
fi
export TAVELO_WIN_TREE
if [ "$TAVELO_WIN_TREE" = build/win64 ]; then
  export WINEARCH=win64
  TAVELO_WINE=/usr/lib/wine/wine64
  export WINELOADER=$TAVELO_WINE
else
  export WINEARCH=win32
  TAVELO_WINE=wine
fi
export WINEPREFIX="${WINEPREFIX:-$TAVELO_ROOT/$TAVELO_WIN_TREE/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=fr_FR.UTF-8

# Runs a Windows program with the Wine of this machine's tree.
wine() { "$TAVELO_WINE" "$@"; }

# Creates the prefix once (about 15 s); later calls only check its fonts and desktop.
tavelo_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  tavelo_wine_fonts
  if [ -n "${TAVELO_WINE_DESKTOP:-}" ] && ! grep -q '"Desktop"="Default"' "$WINEPREFIX/user.reg"; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$TAVELO_WINE_DESKTOP" /f >/dev/null 2>&1
    wineserver -w
  fi
}

# The tests' own prefix, whose programs all run on one Wine virtual desktop. Where no window
# manager runs (Xvfb), Wine otherwise waits up to 2 s for one each time a captioned window
# hides, which slows every test of forms and breaks those that time a window. Call before
# tavelo_wine_session.
tavelo_wine_test_prefix() {
  export WINEPREFIX="$TAVELO_ROOT/$TAVELO_WIN_TREE/wineprefix-tests"
  TAVELO_WINE_DESKTOP=1280x1024
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

# Starts what running our Windows programs needs (a virtual display, the prefix, one
# persistent wineserver) and stops it, by its own pid and prefix, when the calling script
# exits.
tavelo_wine_session() {
  trap tavelo_wine_session_end EXIT
  tavelo_start_xvfb || return 1
  tavelo_wine_prefix
  TAVELO_WINESERVER_STARTED=1
  wineserver -p
  # Wine's own services start with the first program; started here, they do not hold on to
  # the output pipe of whichever program would have started them.
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
}
tavelo_wine_session_end() {
  if [ -n "${TAVELO_WINESERVER_STARTED:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${TAVELO_XVFB_PID:-}" ]; then kill "$TAVELO_XVFB_PID" 2>/dev/null || true; fi
}
