#!/usr/bin/env bash
# The Debian package, as a collector's computer receives it: built with CPack
# from the build tree, unpacked into a scratch root, and checked there the way
# the distribution's tools check it. Then the program is started from the
# desktop entry's command, in an X server of its own, and must show its window.
#
#   tst_package.sh BUILD-DIR SOURCE-DIR VERSION
#
# Exit 77 (skipped, with a "skipped:" line saying why) only when a tool is not
# installed; ./test.sh installs them all. PACKAGE_KEEP=1 keeps the scratch
# folder, with the package, lintian's report and the program's log.
set -euo pipefail

[ $# -eq 3 ] || { echo "usage: $0 BUILD-DIR SOURCE-DIR VERSION" >&2; exit 2; }
build=$(readlink -f "$1") source=$(readlink -f "$2") version=$3
# shellcheck source=tests/e2e/x11.sh
. "$source/tests/e2e/x11.sh"

for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli lintian man xmllint \
    Xvfb xauth xdotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed (./test.sh installs it)"; exit 77; }
done

scratch=$(mktemp -d)
root=$scratch/root
app_pid=
cleanup() {
    [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
    x_stop
    if [ -n "${PACKAGE_KEEP:-}" ]; then echo "scratch folder kept: $scratch"; else rm -rf "$scratch"; fi
}
trap cleanup EXIT

started=$SECONDS
note "building the package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/cpack" >"$scratch/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 20 "$scratch/cpack.log")"
deb=$scratch/cpack/tessarine_${version}_amd64.deb
[ -f "$deb" ] || fail "no tessarine_${version}_amd64.deb: $(ls "$scratch/cpack")"

# --- the control fields ---
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tessarine ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version $(field Version), project $version"
[ "$(field Architecture)" = amd64 ] || fail "architecture $(field Architecture)"
depends=$(field Depends)
depended=$(printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*$//')
# What the binaries link (found by dpkg-shlibdeps) and the plugins Qt loads.
for need in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libsqlite3-0 \
    qt6-image-formats-plugins libqt6svg6; do
    printf '%s\n' "$depended" | grep -Fxq "$need" || fail "Depends lacks $need: $depends"
done
# Every dependency can be met from the distribution (the machine's package
# lists and what it has installed).
if command -v apt-get >/dev/null 2>&1; then
    apt-get install --simulate --no-install-recommends "$deb" >"$scratch/apt.log" 2>&1 ||
        fail "apt cannot install the package: $(tail -n 20 "$scratch/apt.log")"
fi

# --- lintian: no errors; every tag it is told to pass over carries its reason
# in the package's overrides file ---
lintian --fail-on error --info "$deb" >"$scratch/lintian.log" 2>&1 || {
    cat "$scratch/lintian.log" >&2
    fail "lintian finds errors"
}
grep -E '^[EW]: ' "$scratch/lintian.log" || true

# --- the files, where the desktop standards place them ---
mkdir -p "$root"
dpkg-deb -x "$deb" "$root"
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "files outside /usr: $outside"
for f in usr/bin/tessarine usr/bin/tessarine-catalogue usr/bin/tessarine-launch; do
    [ -x "$root/$f" ] || fail "$f missing or not executable"
done
[ -f "$root/usr/share/tessarine/stamp.hlp" ] || fail "help file missing"
[ -f "$root/usr/share/doc/tessarine/copyright" ] || fail "copyright file missing"
zcat "$root/usr/share/doc/tessarine/changelog.gz" | head -n 1 | grep -q "^tessarine ($version) " ||
    fail "the change log's newest entry is not version $version"
# No path of the machine the package was built on.
if grep -rlF "$build" "$root" >/dev/null 2>&1; then fail "the package names the build folder: $(grep -rlF "$build" "$root")"; fi

# Desktop entry (desktop entry standard: $XDG_DATA_DIRS/applications).
desktop=$root/usr/share/applications/tessarine.desktop
[ -f "$desktop" ] || fail "desktop entry missing"
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
entry() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
for category in Office Database; do
    entry Categories | tr ';' '\n' | grep -qx "$category" || fail "desktop entry not in category $category"
done
icon=$(entry Icon)
[ "$icon" = tessarine ] || fail "desktop entry's icon is '$icon'"

# Icons (icon theme standard: hicolor/<size>x<size>/apps, scalable/apps),
# each picture as large as its folder says.
png_size() { od -An -j16 -N8 -tu1 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }
for size in 16 24 32 48 64 128 256 512; do
    png=$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
    [ -f "$png" ] || fail "no ${size}x$size icon"
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "${size}x$size icon is no PNG"
    [ "$(png_size "$png")" = "${size}x$size" ] || fail "${size}x$size icon is $(png_size "$png")"
done
svg=$root/usr/share/icons/hicolor/scalable/apps/$icon.svg
[ -f "$svg" ] || fail "no scalable icon"
xmllint --noout "$svg" || fail "scalable icon is not well-formed"

# AppStream metadata (/usr/share/metainfo/<id>.metainfo.xml).
metainfo=$(find "$root/usr/share/metainfo" -name '*.metainfo.xml')
[ "$(printf '%s\n' "$metainfo" | wc -l)" -eq 1 ] && [ -f "$metainfo" ] || fail "not one metainfo file: $metainfo"
report=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
report=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "appstreamcli validate-tree: $report"
xpath() { xmllint --xpath "$1" "$metainfo" 2>/dev/null; }
id=$(xpath 'string(/component/id)')
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "metainfo file $(basename "$metainfo") for id $id"
[ "$(xpath 'string(/component/launchable[@type="desktop-id"])')" = tessarine.desktop ] ||
    fail "metainfo does not launch tessarine.desktop"
[ "$(xpath 'string(/component/releases/release[1]/@version)')" = "$version" ] ||
    fail "the newest release in the metainfo is not $version"
[ "$(xpath 'count(/component/content_rating)')" = 1 ] || fail "no content rating"
for category in Office Database; do
    [ "$(xpath "count(/component/categories/category[text()='$category'])")" = 1 ] ||
        fail "metainfo not in category $category"
done
shots=$(xpath '/component/screenshots/screenshot/image/text()' | tr ' ' '\n')
[ -n "$shots" ] || fail "no screenshots"
for url in $shots; do
    case $url in https://*) ;; *) fail "screenshot $url is no https address" ;; esac
    [ -f "$source/docs/screenshots/${url##*/}" ] || fail "screenshot $url is not in docs/screenshots"
done

# Manual pages (/usr/share/man/man1), one for each command, read without a
# complaint; the catalogue tool's page has every command its usage lists.
for command in "$root"/usr/bin/*; do
    page=$root/usr/share/man/man1/$(basename "$command").1.gz
    [ -f "$page" ] || fail "no manual page for $(basename "$command")"
done
for page in "$root"/usr/share/man/man1/*.1.gz; do
    complaints=$(cd "$root/usr/share/man" && LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$complaints" ] || fail "$(basename "$page"): $complaints"
done
catalogue_page=$(zcat "$root/usr/share/man/man1/tessarine-catalogue.1.gz")
usage=$("$root/usr/bin/tessarine-catalogue" --help 2>&1)
commands=$(printf '%s\n' "$usage" | sed -n 's/^.*tessarine-catalogue \([a-z][a-z-]*\) .*$/\1/p')
[ -n "$commands" ] || fail "no commands in the catalogue tool's usage: $usage"
for command in $commands; do
    synopsis=$(printf '%s\n' "$catalogue_page" | sed -n '/^\.SH SYNOPSIS/,/^\.SH /p')
    entries=$(printf '%s\n' "$catalogue_page" | sed -n '/^\.SH COMMANDS/,/^\.SH /p')
    printf '%s\n' "$synopsis" | grep -q "^\.B tessarine-catalogue $command$" ||
        fail "the manual page's synopsis lacks the command $command"
    printf '%s\n' "$entries" | grep -A1 -x '\.TP' | grep -Eq "^\.BI? \"?$command( |\"|$)" ||
        fail "the manual page describes no command $command"
done
# And every option it lists, under COMMANDS or OPTIONS.
described=$(printf '%s\n' "$catalogue_page" | sed -n '/^\.SH COMMANDS/,/^\.SH EXIT STATUS/p')
for option in $(printf '%s\n' "$usage" | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    printf '%s\n' "$described" | grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" ||
        fail "the manual page does not describe the option $option"
done
note "package checked in $((SECONDS - started))s"

# --- the installed program starts from its desktop entry ---
exec_line=$(entry Exec)
command=$(printf '%s' "$exec_line" | sed 's/^"\([^"]*\)".*$/\1/; s/ .*$//')
[ "$command" = /usr/bin/tessarine-launch ] || fail "desktop entry runs $exec_line"
[ "$(entry TryExec)" = "$command" ] || fail "TryExec is not the command"
x_private_env "$scratch"
x_start "$scratch"
# The scratch root stands for /: the launcher finds the program and the help
# file beside itself.
(exec env LANG=en_US.UTF-8 "$root$command" >"$scratch/program.log" 2>&1) &
app_pid=$!
X_APP_PID=$app_pid
x_wait Tessarine
[ "$(readlink "/proc/$app_pid/exe")" = "$root/usr/bin/tessarine" ] ||
    fail "the window belongs to $(readlink "/proc/$app_pid/exe"), not the installed program"
[ -f "$HOME/Tessarine/stamp.mdb" ] && [ -f "$HOME/Tessarine/stamp.hlp" ] ||
    fail "the launcher did not prepare ~/Tessarine"
# The desktop ties the window to its entry by the window's class.
wm_class=$(entry StartupWMClass)
[ -n "$(xdotool search --onlyvisible --classname "^$wm_class\$" 2>/dev/null)" ] ||
    fail "no window of class $wm_class"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=
note "the installed program started and showed its window; $((SECONDS - started))s in all"
echo "package ok"
