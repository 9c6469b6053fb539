# Sourced by the scripts: a 32-bit Wine prefix private to a build folder,
# with a Japanese ANSI code page, the virtual desktop and the MS font names.
# Usage: . scripts/lib/wine-env.sh BUILD_FOLDER

lk_wine_prefix_for() { echo "$1/wineprefix"; }

export WINEPREFIX
WINEPREFIX=$(lk_wine_prefix_for "$(cd "$1" && pwd)")
export WINEARCH=win32
export WINEDEBUG=-all
# Wine takes its ANSI code page from the locale; an LC_ALL of another locale
# would override LANG and give code page 1252.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

lk_prepare_wine_prefix() {
    local marker="$WINEPREFIX/.leafkeeper-prefix-ready"
    [ -f "$marker" ] && return 0
    echo "wine: preparing the prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 </dev/null
    # The virtual desktop: Wine-drawn frames, a task bar with the notification
    # area, and one desktop shared by the program and a driver process.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
    # The MS face names a Japanese Windows has, mapped to the IPA fonts.
    local key='HKCU\Software\Wine\Fonts\Replacements'
    wine reg add "$key" /v "ＭＳ ゴシック" /d "IPAゴシック" /f >/dev/null 2>&1 </dev/null
    wine reg add "$key" /v "ＭＳ Ｐゴシック" /d "IPA Pゴシック" /f >/dev/null 2>&1 </dev/null
    wine reg add "$key" /v "MS UI Gothic" /d "IPA Pゴシック" /f >/dev/null 2>&1 </dev/null
    wine reg add "$key" /v "ＭＳ 明朝" /d "IPA明朝" /f >/dev/null 2>&1 </dev/null
    # Caption buttons draw as letters without Marlett.
    cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w
    touch "$marker"
}

# The DPI the prefix gives programs as they start (Wine reads it per
# process): 96 is 100 %, 120 is 125 %, 144 is 150 %, 192 is 200 %. The
# wineserver started for it is waited out: one left running from outside the
# X server would keep its windowless desktop for the next program.
lk_set_dpi() {
    wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
    wineserver -w
}
