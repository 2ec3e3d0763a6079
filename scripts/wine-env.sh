# Sourced by the scripts: a throwaway 32-bit Wine prefix inside the build folder.
# vx_wine_env BUILD_DIR  sets the environment; vx_wine_prefix makes a fresh prefix from a
# template (built once, ~10 s) and vx_wine_cleanup ends its server and removes it.
vx_wine_env() {
  local base="$1/wine"
  mkdir -p "$base/home" "$base/tmp"
  export WINEARCH=win32
  export WINEPREFIX="$base/prefix"
  export HOME="$base/home"
  export TMPDIR="$base/tmp"
  export WINEDEBUG=-all,err+module
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Set quietly: a shell started before the locale was generated warns on assignment.
  { export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null
  VX_WINE_TEMPLATE="$base/template"
}

vx_wine_prefix() {
  local prefix="$WINEPREFIX"
  if [ ! -f "$VX_WINE_TEMPLATE/.ready" ]; then
    rm -rf "$VX_WINE_TEMPLATE"
    WINEPREFIX="$VX_WINE_TEMPLATE" wineboot -i >/dev/null 2>&1 </dev/null
    # User folders are links into $HOME; tests want real folders inside the prefix.
    local d
    for d in "$VX_WINE_TEMPLATE"/drive_c/users/*/*; do
      if [ -L "$d" ]; then rm -f "$d"; mkdir -p "$d"; fi
    done
    # Without a window manager every dialog close costs 2 s; unmanaged windows don't.
    WINEPREFIX="$VX_WINE_TEMPLATE" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    # The Chinese and Tahoma faces the forms ask for are drawn with an outline CJK font;
    # the default fallback's embedded bitmaps lose strokes at 11 and 12 pixels.
    local f
    for f in SimSun NSimSun 宋体 新宋体 Tahoma; do
      (cd / && WINEPREFIX="$VX_WINE_TEMPLATE" wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$f" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 </dev/null)
    done
    # A crash prints its backtrace instead of waiting on a dialog nobody answers.
    (cd / && WINEPREFIX="$VX_WINE_TEMPLATE" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null)
    WINEPREFIX="$VX_WINE_TEMPLATE" wineserver -w
    touch "$VX_WINE_TEMPLATE/.ready"
  fi
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  cp -a "$VX_WINE_TEMPLATE" "$prefix"
  rm -f "$prefix/wineserver"
}

vx_wine_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}

# Restarts the Wine server the way the CTest fixture starts it: persistent, with all
# output redirected, so CTest does not wait on Wine's background processes.
vx_wine_restart() {
  wineserver -k >/dev/null 2>&1
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit 0 </dev/null >/dev/null 2>&1
}

# reg.exe is looked up in the current folder first, hence the cd.
vx_wine_reg() { (cd / && wine reg "$@" </dev/null >/dev/null 2>&1); }

# vx_wine_removable LETTER FOLDER: the folder becomes the removable drive LETTER: (Wine
# reads its drive table when the server starts, so the server is restarted).
# vx_wine_removable_off LETTER undoes it.
vx_wine_removable() {
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$1:"
  vx_wine_reg add 'HKLM\Software\Wine\Drives' /v "$1:" /d floppy /f
  vx_wine_restart
}
vx_wine_removable_off() {
  rm -f "$WINEPREFIX/dosdevices/$1:"
  vx_wine_reg delete 'HKLM\Software\Wine\Drives' /v "$1:" /f
  vx_wine_restart
}
