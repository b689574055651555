# Sourced by the tests that shoot the windows at several display scalings.
# Wine takes the DPI of a new process from HKCU\Control Panel\Desktop\
# LogPixels: set_dpi <dpi> writes it and starts a new server, with which every
# new process reads it, and Wine's services, away from the caller's pipes.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

set_dpi() {
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    </dev/null >/dev/null 2>&1
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  "$wineserver" -p 2>/dev/null || true
  "$wine" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
}
