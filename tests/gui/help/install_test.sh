#!/bin/bash
# Installs the build into a temporary prefix, checks the layout, starts the
# installed program through its launcher offscreen, and closes it as the
# desktop does at log-out (SIGTERM).
# usage: install_test.sh <build folder>
set -u
build=$1
work=$(mktemp -d)
trap 'kill -KILL "${pid:-}" 2>/dev/null; rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check_file() { [ -f "$prefix/$1" ] || fail "$1 was not installed"; }

if ! cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi

for program in tarvine kelvoenc; do
    [ -x "$prefix/lib/tarvine/$program" ] || fail "lib/tarvine/$program is missing or not executable"
done
check_file lib/tarvine/tips.txt
check_file lib/tarvine/version.ini
check_file lib/tarvine/help/overview/overview.htm
check_file lib/tarvine/help/contents.txt
[ ! -e "$prefix/lib/tarvine/help/CMakeLists.txt" ] || fail "the build description was shipped with the help"
check_file share/icons/hicolor/scalable/apps/tarvine.svg
check_file share/applications/tarvine.desktop
[ "$(readlink -f "$prefix/bin/tarvine")" = "$(readlink -f "$prefix/lib/tarvine/tarvine")" ] ||
    fail "bin/tarvine does not lead to lib/tarvine/tarvine"
grep -qx "Exec=\"$prefix/bin/tarvine\"" "$prefix/share/applications/tarvine.desktop" ||
    fail "the desktop entry does not start $prefix/bin/tarvine"
grep -qx 'Icon=tarvine' "$prefix/share/applications/tarvine.desktop" || fail "the desktop entry names no icon"
check_file share/metainfo/example.tarvine.Tarvine.metainfo.xml
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$prefix/share/applications/tarvine.desktop" || fail "the desktop entry is not valid"
fi
if command -v appstreamcli > /dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/example.tarvine.Tarvine.metainfo.xml" ||
        fail "the AppStream data is not valid"
fi
[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }

# Start the installed program with tips at start-up switched off: the tip
# dialog is still built, so a stored position shows that tips.txt was found
# beside the installed program.
export XDG_CONFIG_HOME=$work/config HOME=$work/home QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_CONFIG_HOME/Tarvine" "$HOME"
printf '[Tip]\nStartUp=1\n' > "$XDG_CONFIG_HOME/Tarvine/tarvine.ini"
"$prefix/bin/tarvine" > "$work/run.log" 2>&1 &
pid=$!

# Wait (bounded) until the program has taken over SIGTERM and built its tip.
ready=0
for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    caught=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    if [ -n "$caught" ] && (( (16#$caught >> 14) & 1 )) &&
        grep -q '^FilePos=[1-9]' "$XDG_CONFIG_HOME/Tarvine/tarvine.ini"; then
        ready=1
        break
    fi
    sleep 0.1
done
if [ "$ready" -ne 1 ]; then
    cat "$work/run.log"
    fail "the installed program did not start up (tips.txt not found, or it ended early)"
    echo "$failures failed"
    exit 1
fi
kill -TERM "$pid"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || { cat "$work/run.log"; fail "the program ended with status $status after SIGTERM"; }
grep -q '^TimeStamp=.' "$XDG_CONFIG_HOME/Tarvine/tarvine.ini" || fail "no tips file time stamp was stored"
options=$(ls "$prefix/lib/tarvine/option.ini" "$XDG_CONFIG_HOME/Tarvine/option.ini" 2>/dev/null | head -1)
if [ -z "$options" ]; then
    fail "closing the program wrote no option.ini"
else
    grep -q '^Output format=0$' "$options" || fail "$options holds no settings"
fi

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "install layout and installed start-up: passed"
