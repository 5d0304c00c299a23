#!/usr/bin/env bash
# Runs the Windows test programs of a MinGW build tree under wine64 and a
# virtual X server, with a private Wine prefix inside the tree, a Japanese
# ANSI code page (932) and the IPA fonts standing in for the Japanese
# system fonts.
#
#   scripts/wine-test.sh BUILD_DIR [PROGRAM [ARGS...]]
#
# Without PROGRAM every test program (BUILD_DIR/tests/vxwin*.exe) runs.
set -euo pipefail
build=$(cd "$1" && pwd)
shift
winebin=/usr/lib/wine/wine64
[ -x "$winebin" ] || winebin=$(command -v wine64)
wineserver="$(dirname "$winebin")/wineserver"
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes the Windows locale, and with it code page 932, from the
# locale's name; file names on the Unix side need a UTF-8 character set
# too. Without a generated ja_JP.UTF-8 locale, the C.UTF-8 one serves under
# that name.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && [ -d /usr/lib/locale/C.utf8 ]; then
  mkdir -p "$build/locale"
  ln -sfn /usr/lib/locale/C.utf8 "$build/locale/ja_JP.UTF-8"
  export LOCPATH="$build/locale"
fi
wine() { env LC_ALL=ja_JP.UTF-8 "$winebin" "$@"; }

# One virtual X server for the whole run.
if [ -z "${VX_IN_XVFB:-}" ]; then
  VX_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$@"
fi

if [ ! -f "$WINEPREFIX/.vx-ready" ]; then
  echo "wine-test: creating the Wine prefix $WINEPREFIX (once, about a minute)"
  rm -rf "$WINEPREFIX"
  wine wineboot --init > /dev/null 2>&1 || true
  # The dialogs ask for the Japanese system fonts by name; without a window
  # manager Wine draws the window frames itself.
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ ゴシック"="IPAGothic"\r\n"MS UI Gothic"="IPAPGothic"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Decorated"="N"\r\n' |
    iconv -f UTF-8 -t UTF-16 > "$WINEPREFIX/drive_c/vx-fonts.reg"
  wine regedit /S 'C:\vx-fonts.reg' > /dev/null 2>&1
  # Window captions draw their buttons with Wine's Marlett font.
  for font in /usr/share/wine/fonts/marlett.ttf; do
    [ -f "$font" ] && cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  "$wineserver" -w
  touch "$WINEPREFIX/.vx-ready"
fi

# Drive Y: is a folder of the build tree: tests put a small drive root there.
mkdir -p "$build/wine-drive-y"
ln -sfn "$build/wine-drive-y" "$WINEPREFIX/dosdevices/y:"

# Each test program ends its own cases on their deadlines; this one is for
# the program itself, so that a hang outside a case still ends the run
# with a line saying what hung.
program_limit=${VX_WINE_PROGRAM_SECONDS:-1800}
run() {
  local rc=0
  timeout --kill-after=30 "$program_limit" env LC_ALL=ja_JP.UTF-8 "$winebin" "$@" || rc=$?
  if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
    echo "wine-test: $(basename "$1") did not end within $program_limit s: stopped" >&2
  fi
  return $rc
}

status=0
if [ $# -gt 0 ]; then
  run "$@" || status=$?
else
  for program in "$build"/tests/vxwin*.exe; do
    echo "wine-test: $(basename "$program")"
    run "$program" || status=1
  done
fi
# Nothing of the run is left behind to keep the Wine server alive.
"$wineserver" -k 2>/dev/null || true
exit $status
