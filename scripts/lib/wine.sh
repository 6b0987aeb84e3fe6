# A private X display and private Wine prefixes for running the Windows build here.

# start_xvfb: starts Xvfb on a free display number; sets DISPLAY and XVFB_PID.
start_xvfb() {
  local fifo
  fifo=$(mktemp -u) && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  read -r -t 20 number <"$fifo" || { rm -f "$fifo"; log "Xvfb did not start"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# use_wine_prefix LOCALE [test]: points WINEPREFIX at build/wine/LOCALE (build/wine/test-LOCALE
# for the tests), creating it when new.
# The English prefix links the dialog fonts to the CJK font, as a Windows with East Asian
# fonts does, so that Chinese text has glyphs there too.
# The test prefixes run with no window manager. Wine's managed windows would then wait two
# seconds for one each time a window closes, so there Wine manages the windows itself and
# draws their frames, as Windows does.
use_wine_prefix() {
  local locale=$1 purpose=${2:-}
  export WINEPREFIX="$BUILD/wine/${purpose:+$purpose-}$locale"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  export LANG="$locale" LC_ALL="$locale"
  if [ ! -f "$WINEPREFIX/.varnelt-ready" ]; then
    log "creating Wine prefix ${WINEPREFIX#"$BUILD"/}"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    if [ "${locale%%.*}" != zh_CN ]; then
      local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' font
      for font in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
        wine reg add "$key" /v "$font" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
      done
    fi
    if [ "$purpose" = test ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.varnelt-ready"
  fi
}
