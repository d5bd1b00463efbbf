#!/usr/bin/env bash
# End to end: the real program in an X server of its own (Xvfb), used the way a
# collector uses it, with nothing but key presses and mouse clicks (xdotool).
#
#   tst_e2e.sh TESSARINE CATALOGUE-TOOL SHOT-TOOL HELP-FILE
#
# Two stamps are entered (one date picked with a mouse click in the calendar,
# one with the keyboard), a country is added in the country table, one stamp is
# found and changed (a third date picked) and given a front and a back scan
# through the Open dialog, the front seen at actual size in the image viewer,
# the value report is written to an
# HTML file through the real Save dialog over an existing file, the sales report
# is shown in the preview and photographed, the statistics window saves its
# decade chart as a PNG picture through the Save dialog, the catalogue is backed
# up to a folder and packed, a second copy of the program is turned away, and
# the program ends with File > Exit. Then the catalogue, the backup, the report
# file and the pictures are checked.
#
# Exit 77 (skipped) when Xvfb, xauth, xdotool or sqlite3 is missing; ./test.sh
# installs them. E2E_KEEP=1 keeps the scratch folder for a look afterwards.
set -euo pipefail

[ $# -eq 4 ] || { echo "usage: $0 TESSARINE CATALOGUE-TOOL SHOT-TOOL HELP-FILE" >&2; exit 2; }
program=$(readlink -f "$1") catalogue_tool=$(readlink -f "$2") X_TOOL=$(readlink -f "$3") help_file=$(readlink -f "$4")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/x11.sh
. "$here/x11.sh"

for tool in Xvfb xauth xdotool sqlite3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done

scratch=$(mktemp -d)
X_DIR=$scratch
work=$scratch/collection
app_pid='' second_pid=''
cleanup() {
    local pid
    for pid in $second_pid $app_pid; do kill "$pid" 2>/dev/null || true; done
    x_stop
    if [ -n "${E2E_KEEP:-}" ]; then echo "scratch folder kept: $scratch"; else rm -rf "$scratch"; fi
}
trap cleanup EXIT

x_private_env "$scratch"
mkdir -p "$work" "$scratch/drive-a" "$scratch/drive-b"
# The backup window offers these two folders as its drives.
export TESSARINE_BACKUP_DRIVES=$scratch/drive-a:$scratch/drive-b

# wait_for WHAT COMMAND...: polls until the command succeeds.
wait_for() {
    local what=$1 deadline=$((SECONDS + X_WAIT))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "$what within ${X_WAIT}s"
        sleep 0.05
    done
}

# wait_exit PID: waits for the process to end; sets EXIT_STATUS.
wait_exit() {
    wait_for "program $1 did not end" eval "! kill -0 $1 2>/dev/null"
    EXIT_STATUS=0
    wait "$1" || EXIT_STATUS=$?
}

# expect_same WHAT EXPECTED ACTUAL
expect_same() {
    [ "$2" = "$3" ] && return 0
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") >&2 || true
    fail "$1 differs (expected, then actual, above)"
}

# The catalogue: made by the catalogue tool, a few codes to choose from, the
# help file beside it.
"$catalogue_tool" create "$work/stamp.mdb"
cp "$help_file" "$work/stamp.hlp"
sqlite3 "$work/stamp.mdb" "insert into country (Coudesc) values ('Great Britain'), ('France');
    insert into Condition (conDesc) values ('Fine'), ('Mint');
    insert into type (Typedesc) values ('Definitive'), ('Commemorative');"

x_start "$scratch"
note "display $DISPLAY"

x_launch "$work" "$scratch/program.log" "$program"
app_pid=$X_LAUNCHED
X_APP_PID=$app_pid
x_wait Tessarine
main=$WIN
x_park
# The first window of a program gets the focus from the window manager.
x_focus Tessarine

# Places in the main window (820 by 560 at start), for what has no key: the
# description box, and the headings of the "General" and "Stamp Prices" tabs.
click_description() { x_click "$main" 410 38; }
show_tab_general() { x_click "$main" 45 125; }
show_tab_prices() { x_click "$main" 133 125; }
show_tab_images() { x_click "$main" 277 125; }

# ---------------------------------------------------------------------------
note "two stamps, with codes, prices and dates picked in the calendar"
x_button alt+a # Add New: the description box has the focus
x_type 'Penny Black (plates 1a & 1b)'
x_keys Tab
x_type 'SG 2'
x_keys Tab
x_type '0.02'
x_keys Tab
x_type 1840
x_keys Tab Tab Tab # past Used and Want List
x_type 2
x_keys Tab
x_type g # Great Britain
x_keys Tab
x_type d # Definitive
x_keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab # on to the issue date
x_type 5/1/1840
x_keys F4
x_wait_focus 'Select Issue Date'
x_pick_day "$WIN" 1840 5 1 6
x_wait_gone 'Select Issue Date'
x_focus Tessarine
x_keys shift+Tab ctrl+Tab # back to the issue date, then the "Stamp Prices" tab
x_type 3/2/1998 # purchase date
x_keys Tab
x_type 1.5
x_keys Tab
x_type f # Fine
x_keys Tab
x_type 4.25
x_keys Tab
x_button alt+a # Add Another: saves the first stamp

x_type 'Ceres 20c black'
x_keys Tab
x_type 'Yv 3'
x_keys Tab
x_type 0.2
x_keys Tab
x_type 1849
x_keys Tab Tab Tab
x_type 1
x_keys Tab # the purchase date: the "Stamp Prices" tab is still shown
x_type 6/10/2001
x_keys F4
x_wait_focus 'Select Purchase Date'
x_keys Right Right Right Right Right Return # the keyboard picks 15 June
x_wait_gone 'Select Purchase Date'
x_focus Tessarine # the price paid box has the focus
x_type 12
x_keys Tab
x_type m # Mint
x_keys Tab
x_type 30
x_keys Tab
x_button alt+u # Update: saves the second stamp

# ---------------------------------------------------------------------------
note "the country table: a new country"
# Looking through the lists with Tab changes nothing, so the Maintain menu
# stays open to the collector.
show_tab_general
click_description
x_keys Tab Tab Tab Tab Tab Tab Tab Tab Tab # through Country and Type
x_keys alt+m Home Down Down Return # Maintain > Countries
x_wait_focus 'Maintain Countries'
x_button alt+a
x_type Norway
x_button alt+u
x_keys alt+o
x_wait_gone 'Maintain Countries'
x_focus Tessarine

# ---------------------------------------------------------------------------
note "find a stamp and change it: the new country, sold, with a date sold"
x_keys alt+i
x_wait_focus 'Find description'
x_type cer
x_keys Return
x_wait_gone 'Find description'
x_focus Tessarine
show_tab_general
click_description
x_keys Tab Tab Tab Tab Tab Tab Tab # the country list
x_type n # Norway, added a moment ago
show_tab_prices
click_description
x_keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab # on to Sold
x_keys space Tab
x_type 45
x_keys Tab
x_type 9/1/2010
x_keys F4
x_wait_focus 'Select Sold Date'
x_pick_day "$WIN" 2010 9 1 17
x_wait_gone 'Select Sold Date'
x_focus Tessarine
x_button alt+u

# ---------------------------------------------------------------------------
note "a front and a back scan for the stamp, then the front at actual size"
# Two scans as a scanner leaves them, made and exported by the catalogue tool.
"$catalogue_tool" demo "$scratch/scans.mdb" --stamps 1 --images 1 --image-kb 40 2>/dev/null
"$catalogue_tool" images export "$scratch/scans.mdb" 1 "$scratch" >/dev/null
show_tab_images
x_keys alt+g # Add Images...
x_wait_focus 'Add Images'
x_type "\"$scratch/1-1-front.jpg\" \"$scratch/1-2-back.jpg\""
x_keys Return
x_wait_gone 'Add Images'
x_focus Tessarine
x_button alt+u # Update: the images are kept with the stamp
x_click "$main" 103 215 # the first image, in the list
x_keys Return
x_wait_focus 'Image Viewer - Ceres 20c black'
viewer=$WIN
x_keys 1 # actual size
x_sync "$viewer"
x_shot "$scratch/viewer.png" "$viewer"
x_geometry "$viewer"
# shellcheck disable=SC2086 # four numbers
"$X_TOOL" inked "$scratch/viewer.png" 20 60 $((X_W - 40)) $((X_H - 100)) || fail "the viewer shows no picture"
x_keys Escape
x_wait_gone 'Image Viewer - Ceres 20c black'
x_focus Tessarine
show_tab_general

# ---------------------------------------------------------------------------
note "the value report to an HTML file that is already there"
printf 'an older report\r\n' >"$work/Value.htm"
x_keys alt+r Home Down Down Return # Reports > Web Table (html)
x_sync
x_keys alt+r Home Down Down Down Down Down Down Down Return # Reports > Collection Value
x_wait_focus 'Save As'
x_keys Return # Value.htm in the working folder, as offered
x_wait_focus 'File Exists'
x_keys Return # Yes, replace it
x_wait_gone 'File Exists'
report_written() { tail -c 9 "$work/Value.htm" | cmp -s - <(printf '</html>\r\n'); }
wait_for "Value.htm was not written" report_written
x_focus Tessarine

# ---------------------------------------------------------------------------
note "the sales report in the preview"
x_keys alt+r Home Return # Reports > View/Print Report
x_sync
x_keys alt+r s # Reports > Stamps Sold
x_wait_focus 'Report Output'
preview=$WIN
x_geometry "$preview"
page_area="0 0 $((X_W - 40)) $((X_H - 60))"
# The page and the grey around it; the scroll bars and buttons left out. The
# page may still be drawing itself when the window takes the focus.
preview_inked() {
    x_shot "$scratch/preview.png" "$preview"
    # shellcheck disable=SC2086 # four numbers
    "$X_TOOL" inked "$scratch/preview.png" $page_area >"$scratch/preview.ink"
}
wait_for "the preview shows an empty page" preview_inked
x_keys alt+o
x_wait_gone 'Report Output'
x_focus Tessarine

# ---------------------------------------------------------------------------
note "the collection statistics: the decade chart saved as a PNG picture"
x_keys alt+r i # Reports > Collection Statistics
x_wait_focus 'Collection Statistics'
x_keys Down Down Down Down Down Down Down Down # down the list of charts to the decades
x_button alt+s # Save Chart...
x_wait_focus 'Save As'
x_keys ctrl+a
x_type decades.png
x_keys Return
x_wait_gone 'Save As'
wait_for "decades.png was not written" test -s "$work/decades.png"
x_focus 'Collection Statistics'
x_keys Escape
x_wait_gone 'Collection Statistics'
x_focus Tessarine

# ---------------------------------------------------------------------------
note "back up to the second of two folders"
x_keys alt+f b
x_wait_focus 'Backup the Tessarine Database'
x_keys Down Return
x_wait_gone 'Backup the Tessarine Database'
x_wait_focus Tessarine
main=$WIN

# ---------------------------------------------------------------------------
note "pack the catalogue"
x_keys alt+f p
x_wait_focus 'Compact Database'
x_keys Return
x_wait_gone 'Compact Database'
wait_for "stampdb.bak was not made" test -f "$work/stampdb.bak"
x_wait_focus Tessarine
main=$WIN

# ---------------------------------------------------------------------------
note "a second copy beside the first is turned away"
x_launch "$work" "$scratch/program.log" "$program"
second_pid=$X_LAUNCHED
x_wait_focus 'Database File Already In Use'
x_keys Return
wait_exit "$second_pid"
second_pid=
[ "$EXIT_STATUS" -ne 0 ] || fail "the second copy ended as if nothing was wrong"
kill -0 "$app_pid" 2>/dev/null || fail "the first copy ended too"

# ---------------------------------------------------------------------------
note "File > Exit"
x_focus Tessarine
x_keys alt+f x
X_APP_PID=
wait_exit "$app_pid"
app_pid=
[ "$EXIT_STATUS" -eq 0 ] || fail "the program ended with status $EXIT_STATUS"
x_stop

# ---------------------------------------------------------------------------
note "the catalogue"
stamps_query="select s.descr, s.catnum, s.face, s.Year, s.quantity, c.Coudesc, t.Typedesc, s.issued, s.purchased,
    s.pricepaid, s.totalpaid, n.conDesc, s.catvalue, s.totalval, s.forsale, s.sold, s.priceask, s.totalsales,
    s.datesold, s.used, s.wantlist
  from ((Stamp s left join country c on s.CouID = c.CouID) left join type t on s.typeID = t.typeID)
    left join Condition n on s.ConID = n.ConID
  order by s.StampID"
expected_stamps='Penny Black (plates 1a & 1b)|SG 2|0.02|1840|2|Great Britain|Definitive|1840-05-06|1998-03-02|1.5|3.0|Fine|4.25|8.5|0|0||||0|0
Ceres 20c black|Yv 3|0.2|1849|1|Norway|||2001-06-15|12.0|12.0|Mint|30.0|30.0|0|1|45.0|45.0|2010-09-17|0|0'
expect_same "the stamps" "$expected_stamps" "$(sqlite3 "$work/stamp.mdb" "$stamps_query")"
expect_same "the countries" $'France\nGreat Britain\nNorway' \
    "$(sqlite3 "$work/stamp.mdb" 'select Coudesc from country order by Coudesc')"
expect_same "the packed catalogue's health" ok "$(sqlite3 "$work/stamp.mdb" 'pragma integrity_check')"
[ ! -e "$work/stampnew.mdb" ] || fail "stampnew.mdb left behind by packing"
expect_same "the catalogue kept from before packing" "$expected_stamps" \
    "$(sqlite3 -readonly "$work/stampdb.bak" "$stamps_query")"

note "the scans, byte for byte, in the catalogue, the one kept from before packing, and the backup"
images_query="select i.Kind || ' ' || hex(d.Original) from StampImage i join PictureData d on d.PictureID = i.PictureID
  join Stamp s on s.StampID = i.StampID where s.descr = 'Ceres 20c black' order by i.Position"
hex() { od -An -v -tx1 "$1" | tr -d ' \n' | tr a-f A-F; }
expected_images="Front $(hex "$scratch/1-1-front.jpg")
Back $(hex "$scratch/1-2-back.jpg")"
for copy in "$work/stamp.mdb" "$work/stampdb.bak" "$scratch/drive-b/stamp.mdb"; do
    expect_same "the scans in $copy" "$expected_images" "$(sqlite3 -readonly "$copy" "$images_query")"
done

note "the backup"
[ ! -e "$scratch/drive-a/stamp.mdb" ] || fail "backup written to the first folder, not the chosen one"
[ -f "$scratch/drive-b/stamp.mdb" ] || fail "no backup in the chosen folder"
expect_same "the stamps in the backup" "$expected_stamps" \
    "$(sqlite3 -readonly "$scratch/drive-b/stamp.mdb" "$stamps_query")"
expect_same "the backup's health" ok "$(sqlite3 -readonly "$scratch/drive-b/stamp.mdb" 'pragma integrity_check')"

note "the report file, byte for byte"
expected_report=$(cat <<'EOF'
<html>
<head><title>Stamp Collection Value </title></head>
<body>
<table border=1>
<tr><th colspan=7>Stamp Collection Value</th></tr>
<tr><th>Description</th>
<th>Cat #</th>
<th>Quantity</th>
<th>Paid Each</th>
<th>Total Paid</th>
<th>Value Each</th>
<th>Total Value</th></tr>
<tr><td>Penny Black (plates 1a &amp; 1b)</td><td>SG 2</td><td align=right>2</td><td align=right>$1.50</td><td align=right>$3.00</td><td align=right>$4.25</td><td align=right>$8.50</td></tr>
<tr><td>Totals</td><td align=right colspan=2>2</td><td align=right colspan=2>$3.00</td><td align=right colspan=2>$8.50</td></tr>
<tr><td>Value Minus Cost</td><td align=right colspan=6>$5.50</td></tr>
</table>
<H6>List Produced by <A HREF="https://tessarine.org">Tessarine</A></H6>
</body>
</html>
EOF
)
printf '%s\n' "$expected_report" | sed 's/$/\r/' >"$scratch/Value.expected"
cmp "$scratch/Value.expected" "$work/Value.htm" || {
    diff "$scratch/Value.expected" "$work/Value.htm" >&2 || true
    fail "Value.htm is not the expected report"
}

note "the picture of the preview"
# Taken while the preview was open; checked here again from the file kept.
# shellcheck disable=SC2086 # four numbers
"$X_TOOL" inked "$scratch/preview.png" $page_area || fail "the preview shows an empty page"

note "the chart saved from the statistics"
expect_same "the chart's file type" "$(printf '\211PNG')" "$(head -c 4 "$work/decades.png")"
"$X_TOOL" inked "$work/decades.png" || fail "the saved chart is empty"

echo "end to end: ok"
