#!/usr/bin/env bash
# Runs a Windows program under Wine as the tests do; `--init` makes the prefix, `--server` starts a wineserver.
#
# Wine here runs only 64-bit code, so the 64-bit loader is used directly.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix of the build tree}"
export WINEARCH=win64 WINEDEBUG=-all WINELOADER=/usr/lib/wine/wine64
# No sound device here: the alarm tone plays to no driver rather than into error messages.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv,winepulse.drv,wineoss.drv=d"

# A wineserver of its own, started before a run whose processes are limited (in file size, say), so that
# the server, which they would otherwise start, is not; it ends 5 s after its last client.
if [ "${1:-}" = "--server" ]; then
    /usr/lib/wine/wineserver64 -w
    exec /usr/lib/wine/wineserver64 -p5
fi

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

if [ "${1:-}" = "--init" ]; then
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINELOADER" wineboot -i
        # Unmanaged windows: no window manager to wait for at every hide.
        "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
        # The dialogs ask for 宋体, which Wine lacks; Chinese glyphs come from WenQuanYi,
        # also where the system font is Tahoma (code page 1252). The dialogs get its Sharp face,
        # whose bitmaps draw 9-point text whole: the outline face loses the hyphen at that size.
        for face in 宋体 SimSun; do
            "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d 'WenQuanYi Zen Hei Sharp' /f >/dev/null
        done
        for face in Tahoma 'Tahoma Bold' 'MS Shell Dlg' 'Microsoft Sans Serif'; do
            "$WINELOADER" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v "$face" /t REG_MULTI_SZ /d 'wqy-zenhei.ttc,WenQuanYi Zen Hei' /f >/dev/null
        done
        /usr/lib/wine/wineserver64 -w
    fi
    exit 0
fi

exec "$WINELOADER" "$@"
