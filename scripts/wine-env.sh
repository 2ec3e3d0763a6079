# Sourced by the scripts: a throwaway Wine prefix inside the build folder, 32-bit or 64-bit.
#
# Some machines run 64-bit user code only: there the 32-bit Wine loader cannot execute,
# and only the 64-bit test build runs, under wine64. vx_wine32_probe finds out once per run
# (VX_WINE32=1 or 0 forces the answer) and says so in one line.
#
# vx_wine_env BUILD_DIR [32|64] sets the environment for one kind of prefix: every Wine
# command (wine, wineboot, winepath, wineserver, and reg through wine) then goes through
# wrappers on PATH that run that kind's loader, so nothing picks the 32-bit launcher by
# accident. vx_wine_prefix makes a fresh prefix from a template (built once, 5-10 s) and
# vx_wine_cleanup ends its server and removes it.

# Prints the probe's answer once and exports VX_WINE32 (1: 32-bit Wine runs here).
vx_wine32_probe() {
  if [ -n "${VX_WINE32_SAID:-}" ]; then return 0; fi
  local why
  case "${VX_WINE32:-}" in
    1|0) why="forced by VX_WINE32=$VX_WINE32" ;;
    "")
      if timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then VX_WINE32=1; else VX_WINE32=0; fi
      why="probed: /usr/lib/wine/wine --version" ;;
    *) echo "wine: VX_WINE32 must be 1 or 0, not '$VX_WINE32'" >&2; return 1 ;;
  esac
  if [ "$VX_WINE32" = 1 ]; then
    echo "wine: 32-bit Wine runs on this machine ($why): the 32-bit and the 64-bit Windows builds run"
  else
    echo "wine: this machine cannot run 32-bit Wine ($why): only the 64-bit Windows build runs; the 32-bit build is checked without running it"
  fi
  export VX_WINE32 VX_WINE32_SAID=1
}

vx_wine_env() {
  local build="$1" bits="${2:-64}"
  local base="$build/wine"
  local loader server
  case "$bits" in
    # Debian's wineserver script picks a server and adds -p0 (end with the last client).
    32) loader=/usr/lib/wine/wine; server=/usr/lib/wine/wineserver; export WINEARCH=win32 ;;
    64) loader=/usr/lib/wine/wine64; server="/usr/lib/wine/wineserver64 -p0"; export WINEARCH=win64 ;;
    *) echo "vx_wine_env: 32 or 64, not '$bits'" >&2; return 1 ;;
  esac
  mkdir -p "$base/home" "$base/tmp" "$base/bin$bits"
  local bin="$base/bin$bits"
  printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$bin/wine"
  printf '#!/bin/sh\nexec %s "$@"\n' "$server" >"$bin/wineserver"
  local tool
  for tool in wineboot winepath winecfg wineconsole winedbg regedit; do
    printf '#!/bin/sh\nexec %s %s.exe "$@"\n' "$loader" "$tool" >"$bin/$tool"
  done
  chmod +x "$bin"/*
  case ":$PATH:" in *":$bin:"*) ;; *) export PATH="$bin:$PATH" ;; esac
  export WINELOADER="$loader"
  export VX_WINE_BITS="$bits"
  export WINEPREFIX="$base/prefix$bits"
  export HOME="$base/home"
  export TMPDIR="$base/tmp"
  export WINEDEBUG=-all,err+module
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Set quietly: a shell started before the locale was generated warns on assignment.
  { export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null
  VX_WINE_TEMPLATE="$base/template$bits"
}

# Runs a step and, when it fails, says which one before passing its status on.
vx_step() {
  local status=0
  "$@" || status=$?
  if [ "$status" != 0 ]; then echo "FAILED (exit $status): $*" >&2; fi
  return "$status"
}

vx_wine_prefix() {
  local prefix="$WINEPREFIX"
  if [ ! -f "$VX_WINE_TEMPLATE/.ready" ]; then
    rm -rf "$VX_WINE_TEMPLATE"
    if ! WINEPREFIX="$VX_WINE_TEMPLATE" wineboot -i >"$VX_WINE_TEMPLATE.log" 2>&1 </dev/null; then
      echo "wine: creating the prefix $VX_WINE_TEMPLATE failed with $WINELOADER; its output:" >&2
      tail -20 "$VX_WINE_TEMPLATE.log" >&2
      return 1
    fi
    # User folders are links into $HOME; tests want real folders inside the prefix.
    local d
    for d in "$VX_WINE_TEMPLATE"/drive_c/users/*/*; do
      if [ -L "$d" ]; then rm -f "$d"; mkdir -p "$d"; fi
    done
    # Without a window manager every dialog close costs 2 s; unmanaged windows don't.
    (cd / && WINEPREFIX="$VX_WINE_TEMPLATE" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null)
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
