#!/usr/bin/env bash
# Takes the README's screenshots anew: the real program on a demo catalogue, in
# an X server of its own, driven by key presses like the end-to-end test.
#
#   tests/e2e/screenshots.sh [BUILD-DIR]     (default: build)
#
# Builds what it needs, then writes docs/screenshots/*.png: the main window on
# each of its four tabs, the image viewer, the calendar, the country table, the
# custom report window, a report's selection dialog, the report preview, the
# statistics window, the backup window, the about box and the help, a report as
# a web page in a browser, and the stamp list with the window that changes many
# stamps. Needs Xvfb, xauth, xdotool, sqlite3 and chromium (./test.sh installs
# them).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(readlink -f "${1:-$root/build}")
out=$root/docs/screenshots

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target tessarine tessarine-catalogue tess-e2e-shot >/dev/null
program=$build/bin/tessarine
X_TOOL=$build/bin/tess-e2e-shot
# shellcheck source=tests/e2e/x11.sh
. "$here/x11.sh"

scratch=$(mktemp -d)
X_DIR=$scratch
app_pid=
cleanup() {
    [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
    x_stop
    rm -rf "$scratch"
}
trap cleanup EXIT

x_private_env "$scratch"
work=$scratch/collection
mkdir -p "$work" "$out"
# Every stamp with an invented scan of its front and back.
"$build/bin/tessarine-catalogue" demo "$work/stamp.mdb" --stamps 120 --seed 7 --images 120 --image-kb 60
cp "$root/data/stamp.hlp" "$work/"
# A stamp with something in every tab, to show.
shown=$(sqlite3 "$work/stamp.mdb" "select descr from Stamp where notes <> '' and misc1 <> '' and CouID is not null
    and typeID is not null and issued is not null and pricepaid is not null and catvalue is not null
    and not sold and not wantlist order by descr limit 1")
[ -n "$shown" ] || fail "the demo catalogue has no stamp with every tab filled"
# A few more penny stamps, for the stamp list filtered by "penny": copies of
# others under new descriptions (the program makes their keys when it opens).
for penny in "1:Penny Red 1d" "2:Twopenny Blue 2d" "3:Penny Lilac 1d (die II)" "4:Penny Black 1d (plate 11)"; do
    sqlite3 "$work/stamp.mdb" "insert into Stamp (descr, catnum, catsort, face, Year, used, wantlist, quantity,
        CouID, typeID, formID, papID, CanID, perfID, topID, gumID, ConID, Color, watermark, Errors, issued, pricepaid,
        totalpaid, catvalue, totalval, priceask, totalsales, forsale, purchased, sold, datesold, notes, misc1, misc2)
        select '${penny#*:}', catnum, catsort, face, Year, used, wantlist, quantity, CouID, typeID, formID, papID,
        CanID, perfID, topID, gumID, ConID, Color, watermark, Errors, issued, pricepaid, totalpaid, catvalue, totalval,
        priceask, totalsales, forsale, purchased, sold, datesold, notes, misc1, misc2 from Stamp where StampID = ${penny%%:*}"
done

x_start "$scratch"
x_launch "$work" "$scratch/program.log" "$program"
app_pid=$X_LAUNCHED
X_APP_PID=$app_pid
x_wait Tessarine
main=$WIN
x_park
x_focus Tessarine

# shot NAME WIN: the window, drawn to the end, as docs/screenshots/NAME.png.
shot() {
    x_sync "$2"
    x_shot "$out/$1.png" "$2"
    echo "docs/screenshots/$1.png"
}

x_keys alt+i
x_wait_focus 'Find description'
x_type "$shown"
x_keys Return
x_wait_gone 'Find description'
x_focus Tessarine
x_keys shift+Tab # the focus on the Help button: no blinking text cursor in the pictures
shot main-general "$main"
x_click "$main" 133 125
shot main-prices "$main"
x_click "$main" 213 125
shot main-notes "$main"
x_click "$main" 277 125
shot main-images "$main"
x_click "$main" 103 215 # the first image, in the list
x_keys Return
x_wait_focus "Image Viewer - $shown"
shot viewer "$WIN"
x_keys Escape
x_wait_gone "Image Viewer - $shown"
x_focus Tessarine

x_click "$main" 45 125
x_click "$main" 410 38
x_keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab # the issue date
x_keys F4
x_wait_focus 'Select Issue Date'
shot calendar "$WIN"
x_keys Escape
x_wait_gone 'Select Issue Date'
x_focus Tessarine
x_button alt+c # the picker started an edit; nothing changed

x_keys alt+m Home Down Down Return
x_wait_focus 'Maintain Countries'
shot country-table "$WIN"
x_keys alt+o
x_wait_gone 'Maintain Countries'
x_focus Tessarine

x_keys alt+r r # Custom Reports
x_wait_focus 'Custom Report'
# Four fields, each picked in the list of available fields and added with the
# arrow button beside it.
x_keys Tab # from the tab headings into the list
for down in 7 5 2 10; do
    x_keys Home
    for ((i = 0; i < down; i++)); do x_keys Down; done
    x_keys Tab space shift+Tab
done
shot custom-report "$WIN"
x_keys alt+c
x_wait_gone 'Custom Report'
x_focus Tessarine

x_keys alt+r c # Stamps by Country: the selection dialog first
x_wait_focus 'Country Report'
shot report-selection "$WIN"
x_keys Escape
x_wait_gone 'Country Report'
x_focus Tessarine

x_keys alt+r Home Down Down Down Down Down Down Down Return # Collection Value, to the preview
x_wait_focus 'Report Output'
shot preview "$WIN"
x_keys alt+o
x_wait_gone 'Report Output'

# A report as a web page, as a browser shows it: the stamps by country written
# to Stamps.htm through the Save dialog, then photographed by headless Chromium.
if command -v chromium >/dev/null 2>&1; then
    x_focus Tessarine
    x_keys alt+r Home Down Down Return # Web Table (html)
    x_sync "$main"
    x_keys alt+r c # Stamps by Country
    x_wait_focus 'Country Report'
    x_keys Return # all countries
    x_wait_focus 'Save As'
    x_keys Return # Stamps.htm in the working folder, as offered
    deadline=$((SECONDS + X_WAIT))
    until tail -c 9 "$work/Stamps.htm" 2>/dev/null | cmp -s - <(printf '</html>\r\n'); do
        [ "$SECONDS" -lt "$deadline" ] || fail "Stamps.htm was not written"
        sleep 0.05
    done
    x_focus Tessarine
    x_keys alt+r Home Return # back to View/Print Report
    chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --hide-scrollbars --user-data-dir="$scratch/chromium" \
        --window-size=760,640 --screenshot="$out/report-html.png" "file://$work/Stamps.htm" >/dev/null 2>&1 ||
        fail "chromium could not take a picture of Stamps.htm"
    echo "docs/screenshots/report-html.png"
else
    echo "skipped: report-html.png needs chromium (./test.sh installs it)"
fi

x_focus Tessarine
x_keys alt+r i # Collection Statistics: the summary and the country chart
x_wait_focus 'Collection Statistics'
shot statistics "$WIN"
x_keys Escape
x_wait_gone 'Collection Statistics'

x_focus Tessarine
x_keys alt+f b
x_wait_focus 'Backup the Tessarine Database'
shot backup "$WIN"
x_keys alt+c
x_wait_gone 'Backup the Tessarine Database'
x_wait_focus Tessarine

x_keys alt+h a
x_wait_focus 'About Tessarine'
shot about "$WIN"
x_keys alt+o
x_wait_gone 'About Tessarine'
x_focus Tessarine

x_keys F1
x_wait_focus 'Tessarine Help'
shot help "$WIN"
x_keys Escape
x_wait_gone 'Tessarine Help'

# The stamp list beside the record, filtered by "penny" and sorted by year; then
# every stamp it shows chosen, and the window that changes them at once. The
# backup showed the main window anew, as a window of its own.
x_focus Tessarine
main=$WIN
x_keys ctrl+l # the list, with the focus in its filter box
x_sync "$main"
x_type penny
x_keys Return
x_sync "$main"
x_keys Tab Tab ctrl+a # into the list: every stamp it shows
x_sync "$main"
shot stamp-list "$main"
x_keys alt+v c # Change Selected Stamps...
x_wait_focus 'Change Selected Stamps'
for ((i = 0; i < 16; i++)); do x_keys Tab; done
x_keys space Tab Down # Condition ticked, and an entry chosen
shot change-selected "$WIN"
x_keys Escape
x_wait_gone 'Change Selected Stamps'

x_focus Tessarine
x_keys alt+f x
X_APP_PID=
wait "$app_pid" || true
app_pid=
