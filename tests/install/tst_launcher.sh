#!/bin/sh
# Installs into a scratch prefix and starts the installed launcher with a stand-in
# for the program: the collector's folder is prepared, an existing catalogue is
# never replaced, and the help file follows the installed one.
set -eu
build=$1
cmake=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix with space"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

share="$prefix/share"
[ -f "$share/tessarine/stamp.hlp" ] || fail "stamp.hlp not installed"
[ -x "$prefix/bin/tessarine-launch" ] || fail "launcher not installed"
[ -x "$prefix/bin/tessarine-catalogue" ] || fail "catalogue tool not installed"
[ -f "$share/icons/hicolor/scalable/apps/tessarine.svg" ] || fail "scalable icon not installed"
[ -f "$share/icons/hicolor/48x48/apps/tessarine.png" ] || fail "48x48 icon not installed"
desktop="$share/applications/tessarine.desktop"
[ -f "$desktop" ] || fail "desktop entry not installed"
grep -qx "Exec=\"$prefix/bin/tessarine-launch\"" "$desktop" || fail "desktop entry does not start the installed launcher"
grep -qx "Icon=tessarine" "$desktop" || fail "desktop entry has no icon"

# The stand-in notes where it was started and what it found there.
cat > "$prefix/bin/tessarine" <<'STUB'
#!/bin/sh
pwd > "$HOME/started-in"
[ -f stamp.mdb ] && [ -f stamp.hlp ] && echo found >> "$HOME/started-in"
STUB
chmod +x "$prefix/bin/tessarine"

export HOME="$scratch/home"
mkdir -p "$HOME"
"$prefix/bin/tessarine-launch"
folder="$HOME/Tessarine"
[ "$(sed -n 1p "$HOME/started-in")" = "$folder" ] || fail "program not started in $folder"
[ "$(sed -n 2p "$HOME/started-in")" = "found" ] || fail "catalogue or help file missing at start"
[ "$(head -c 15 "$folder/stamp.mdb")" = "SQLite format 3" ] || fail "no catalogue created"
cmp -s "$folder/stamp.hlp" "$share/tessarine/stamp.hlp" || fail "help file not copied"

# A second start keeps the catalogue as it is.
before=$(cksum < "$folder/stamp.mdb")
printf 'collector data' >> "$folder/stamp.mdb"
changed=$(cksum < "$folder/stamp.mdb")
"$prefix/bin/tessarine-launch"
[ "$(cksum < "$folder/stamp.mdb")" = "$changed" ] || fail "existing catalogue was replaced"
[ "$before" != "$changed" ] || fail "test did not change the catalogue"

# Another installed help file replaces the copy, even one dated before it.
printf '\n' >> "$share/tessarine/stamp.hlp"
touch -d '2 days ago' "$share/tessarine/stamp.hlp"
"$prefix/bin/tessarine-launch"
cmp -s "$folder/stamp.hlp" "$share/tessarine/stamp.hlp" || fail "changed help file not copied"

echo "launcher ok"
