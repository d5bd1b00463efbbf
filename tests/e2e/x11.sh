# shellcheck shell=bash
# Helpers for driving the real program in an X server of its own, with nothing
# but key presses and mouse clicks. Sourced by tst_e2e.sh and screenshots.sh,
# which set X_TOOL to the tess-e2e-shot program first.
#
# There is no window manager. A window the program opens must take the focus
# by itself (Qt asks the X server for it), and the helpers check that it does.
# When a window closes, nobody hands the focus back to the one below: x_focus
# clicks it, as the collector would.
#
# Waiting is always for a condition: a window shown, focused or gone, a file
# written, or the program having handled the input sent so far (x_sync).

# Seconds a window may take to appear, get the focus or go away. Generous:
# a slow, busy machine must not fail the test.
X_WAIT=${X_WAIT:-60}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

note() { echo "-- $*"; }

# x_private_env DIR: a fixed, private environment for the program: Qt on X,
# no settings or caches from the machine (home, configuration and runtime
# folders under DIR), and no locale but the one x_launch gives.
x_private_env() {
    local dir=$1
    unset LC_ALL LC_CTYPE LC_NUMERIC LC_TIME LC_MONETARY LC_MESSAGES LANGUAGE QT_SCALE_FACTOR \
        QT_SCREEN_SCALE_FACTORS QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME QT_FONT_DPI
    export QT_QPA_PLATFORM=xcb
    export HOME=$dir/home XDG_CONFIG_HOME=$dir/home/.config XDG_CACHE_HOME=$dir/home/.cache
    export XDG_RUNTIME_DIR=$dir/runtime
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# x_launch FOLDER LOG PROGRAM...: starts the program in FOLDER, its output
# added to LOG, with money and dates in the American form (the locale need not
# be installed: Qt reads LANG itself); sets X_LAUNCHED to its process id.
x_launch() {
    local folder=$1 log=$2
    shift 2
    (cd "$folder" && exec env LANG=en_US.UTF-8 "$@" >>"$log" 2>&1) &
    # shellcheck disable=SC2034 # read by the scripts that source this one
    X_LAUNCHED=$!
}

# x_start DIR: starts Xvfb on a free display with a cookie of its own; sets
# DISPLAY, XAUTHORITY and X_PID. DIR keeps the cookie and the server's log.
x_start() {
    local dir=$1 cookie display=
    cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    export XAUTHORITY="$dir/Xauthority"
    : >"$XAUTHORITY"
    # The server reads every cookie in the file, whatever display it names.
    xauth -q -f "$XAUTHORITY" add :0 . "$cookie"
    : >"$dir/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -auth "$XAUTHORITY" \
        3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    X_PID=$!
    local deadline=$((SECONDS + X_WAIT))
    while :; do
        display=$(tr -dc '0-9' <"$dir/display")
        [ -n "$display" ] && break
        kill -0 "$X_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$dir/xvfb.log")"
        [ "$SECONDS" -lt "$deadline" ] || fail "Xvfb did not start within ${X_WAIT}s"
        sleep 0.05
    done
    xauth -q -f "$XAUTHORITY" add ":$display" . "$cookie"
    export DISPLAY=":$display"
}

x_stop() {
    if [ -n "${X_PID:-}" ]; then
        kill "$X_PID" 2>/dev/null || true
        wait "$X_PID" 2>/dev/null || true
        X_PID=
    fi
}

# The regular expression that matches exactly this window title.
x_title_re() {
    # shellcheck disable=SC2016 # the $ is the pattern's, not the shell's
    printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$()+?{}|]/\\&/g')"
}

# x_find TITLE: the newest shown window with exactly this title, or nothing.
x_find() {
    { xdotool search --onlyvisible --name "$(x_title_re "$1")" 2>/dev/null || true; } | tail -n 1
}

# x_wait TITLE: waits for a shown window with exactly this title; sets WIN.
# Fails at once when the program being driven (X_APP_PID, if set) has ended.
x_wait() {
    local deadline=$((SECONDS + X_WAIT))
    while :; do
        WIN=$(x_find "$1")
        [ -n "$WIN" ] && return 0
        [ -z "${X_APP_PID:-}" ] || kill -0 "$X_APP_PID" 2>/dev/null ||
            fail "the program ended while waiting for the window '$1'"
        [ "$SECONDS" -lt "$deadline" ] || fail "no window titled '$1' within ${X_WAIT}s"
        sleep 0.05
    done
}

# x_focused: the window that has the keyboard focus.
x_focused() {
    xdotool getwindowfocus -f 2>/dev/null || true
}

# x_wait_focus TITLE: waits for the window titled TITLE to show and to take
# the keyboard focus by itself; sets WIN.
x_wait_focus() {
    x_wait "$1"
    local deadline=$((SECONDS + X_WAIT))
    until [ "$(x_focused)" = "$WIN" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "window '$1' did not take the focus within ${X_WAIT}s"
        sleep 0.05
        WIN=$(x_find "$1")
    done
}

# x_focus TITLE: gives the focus back to the window titled TITLE when the
# window above it has closed, as the collector does: with a click, here on the
# window's edge just below its top right corner, where no control lies (the
# main window's menu bar ends there, other windows have their margin). Qt
# activates a window that is clicked. Sets WIN.
x_focus() {
    x_wait "$1"
    local deadline=$((SECONDS + X_WAIT)) next=0
    until [ "$(x_focused)" = "$WIN" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "could not focus window '$1'"
        if [ "$SECONDS" -ge "$next" ]; then
            x_geometry "$WIN"
            x_click "$WIN" $((X_W - 3)) 2
            next=$((SECONDS + 2))
        fi
        sleep 0.05
        WIN=$(x_find "$1")
        [ -n "$WIN" ] || x_wait "$1"
    done
    x_sync "$WIN"
}

# x_wait_gone TITLE: waits until no shown window has this title.
x_wait_gone() {
    local deadline=$((SECONDS + X_WAIT))
    while [ -n "$(x_find "$1")" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "window '$1' still open after ${X_WAIT}s"
        sleep 0.05
    done
}

# x_sync [WIN]: returns once the program of WIN (default: the window in WIN)
# has handled every key and click sent so far. Two rounds: the first proves the
# events were read, the second that the program went on to its next round.
x_sync() {
    local window=${1:-$WIN}
    "$X_TOOL" ping "$window" "$X_WAIT" || fail "window $window does not answer"
    "$X_TOOL" ping "$window" "$X_WAIT" || fail "window $window does not answer"
}

# Key presses (xdotool key names: alt+a, Tab, Return) and typed text, to the
# focused window.
x_keys() { xdotool key --delay 30 "$@"; }
x_type() { xdotool type --delay 20 -- "$1"; }

# x_button KEY: presses a button of the focused window WIN by its mnemonic
# (alt+u) and returns once the button has clicked. Qt shows the button pressed
# for 100 ms first, so keys sent at once would overtake the click.
x_button() {
    x_keys "$1"
    x_sync
    sleep 0.2
    x_sync
}

# x_click WIN DX DY: a left click at DX, DY inside the window; then the pointer
# goes back to the corner, where a stray key reaches no window.
x_click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    x_park
}

x_park() { xdotool mousemove 1279 1023; }

# x_geometry WIN: sets X_W and X_H to the window's size.
# shellcheck disable=SC2034 # read by the scripts that source this one
x_geometry() {
    local key value
    X_W='' X_H=
    while IFS='=' read -r key value; do
        case $key in
            WIDTH) X_W=$value ;;
            HEIGHT) X_H=$value ;;
        esac
    done < <(xdotool getwindowgeometry --shell "$1")
    [ -n "$X_W" ] || fail "no geometry for window $1"
}

# x_shot FILE [WIN]: a picture of the screen, or of one window.
x_shot() {
    "$X_TOOL" grab "$1" ${2:+"$2"} 2>/dev/null || fail "could not take a picture ($1)"
}

# x_pick_day WIN YEAR MONTH SHOWN DAY: clicks DAY in the calendar picker WIN,
# which shows MONTH of YEAR with the day SHOWN highlighted. The cells are found
# from the highlight; the weekday columns run Sunday to Saturday. X_DIR holds
# the picture taken for it.
x_pick_day() {
    local window=$1 year=$2 month=$3 shown=$4 day=$5 x='' y w h first deadline=$((SECONDS + X_WAIT))
    x_sync "$window"
    # The calendar may still be drawing itself.
    until x_shot "$X_DIR/picker.png" "$window" && read -r x y w h < <("$X_TOOL" marked "$X_DIR/picker.png" 2>/dev/null); do
        [ "$SECONDS" -lt "$deadline" ] || fail "no highlighted day in the calendar"
        sleep 0.05
    done
    first=$(date -d "$(printf '%04d-%02d-01' "$year" "$month")" +%w)
    local from=$((first + shown - 1)) to=$((first + day - 1))
    local dx=$(((to % 7 - from % 7) * (w + 1))) dy=$(((to / 7 - from / 7) * (h + 1)))
    x_click "$window" $((x + w / 2 + dx)) $((y + h / 2 + dy))
}
