#!/usr/bin/env bash
# Runs a Windows program under Wine as the tests do; `--init` makes the prefix, `--server` starts a wineserver.
#
# The prefix is 32-bit, for the shipped exe and the tests, unless WINEARCH=win64 asks for one that runs the
# 64-bit twin (the benchmarks). The 32-bit loader runs through scripts/i386.sh, so under qemu-user where the
# kernel refuses 32-bit code; the native 64-bit wineserver serves both kinds, and an emulated one would
# only be slower.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix of the build tree}"
here=$(dirname "$(realpath "$0")")
export WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all WINESERVER=/usr/lib/wine/wineserver64
if [ "$WINEARCH" = win64 ]; then
    export WINELOADER=/usr/lib/wine/wine64
    loader=("$WINELOADER")
else
    export WINELOADER=/usr/lib/wine/wine
    loader=("$here/i386.sh" "$WINELOADER")
fi
# No sound device here: the alarm tone plays to no driver rather than into error messages. A run that
# records the sound (WZ_WINE_SOUND=alsa, with its own ALSA_CONFIG_PATH) keeps Wine's ALSA driver.
sound_off="winealsa.drv,winepulse.drv,wineoss.drv=d"
[ "${WZ_WINE_SOUND:-}" = alsa ] && sound_off="winepulse.drv,wineoss.drv=d"
# A run may add overrides of its own (WZ_DLL_OVERRIDES), for all its processes: a Windows parent's change to
# WINEDLLOVERRIDES does not reach the child it starts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;$sound_off${WZ_DLL_OVERRIDES:+;$WZ_DLL_OVERRIDES}"

# A wineserver of its own, once the session of an earlier run has ended; it ends 5 s after its last client.
# A run that began while the last one's server was ending met it (seen where the loader runs under qemu: two
# sessions' programs at once, and a wineboot that never ended and held the test's output open until its
# time-out). Started before a run whose processes are limited (in file size, say), the server, which they
# would otherwise start, is not.
if [ "${1:-}" = "--server" ]; then
    "$WINESERVER" -w
    exec "$WINESERVER" -p5
fi

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# The prefix's settings as a registry file (UTF-16, so the Chinese face names survive any code page):
# windows unmanaged, since there is no window manager to wait for at every hide; and, as the dialogs ask
# for 宋体, which Wine lacks, Chinese glyphs from WenQuanYi, also where the system font is Tahoma (code page
# 1252). The dialogs get its Sharp face, whose bitmaps draw 9-point text whole: the outline face loses
# the hyphen at that size.
prefix_settings() {
    local link
    link=$(printf 'wqy-zenhei.ttc,WenQuanYi Zen Hei\0\0' | iconv -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',,')
    link=${link#,}
    {
        echo 'Windows Registry Editor Version 5.00'
        echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
        echo '"Managed"="N"'
        echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
        echo '"宋体"="WenQuanYi Zen Hei Sharp"'
        echo '"SimSun"="WenQuanYi Zen Hei Sharp"'
        echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]'
        for face in Tahoma 'Tahoma Bold' 'MS Shell Dlg' 'Microsoft Sans Serif'; do
            echo "\"$face\"=hex(7):${link%,}"
        done
    } | iconv -f UTF-8 -t UTF-16
}

if [ "${1:-}" = "--init" ]; then
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "${loader[@]}" wineboot -i
        # One import, since every Wine process start costs seconds where the loader is emulated.
        prefix_settings >"$WINEPREFIX/drive_c/settings.reg"
        "${loader[@]}" regedit /S 'C:\settings.reg'
        "$WINESERVER" -w
        rm "$WINEPREFIX/drive_c/settings.reg"
    fi
    exit 0
fi

exec "${loader[@]}" "$@"
