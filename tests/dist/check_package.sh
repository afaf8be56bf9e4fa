#!/bin/bash
# Checks a Debian package made by `cpack -G DEB`: its control data, the
# layout it installs, that its dependencies can be met on this system, and
# its desktop entry and AppStream data (when the validators are installed).
# usage: check_package.sh <package.deb>
set -u
package=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

field() { dpkg-deb --field "$package" "$1"; }
[ "$(field Package)" = tarvine ] || fail "the package is not named tarvine"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "the package is not built for this architecture"
depends=$(field Depends)
for library in libqt6widgets6 libqt6svg6 libavcodec59 libavformat59 libavfilter8 libc6; do
    grep -q "\b$library\b" <<< "$depends" || fail "Depends does not name $library: $depends"
done
recommends=$(field Recommends)
for tool in dvdauthor genisoimage vcdimager; do
    grep -q "\b$tool\b" <<< "$recommends" || fail "Recommends does not name $tool: $recommends"
done

dpkg-deb --contents "$package" | awk '{print $6}' | sed 's|^\./|/|' > "$work/contents"
for path in /usr/bin/tarvine /usr/lib/tarvine/tarvine /usr/lib/tarvine/kelvoenc /usr/lib/tarvine/tips.txt \
    /usr/bin/tarvine-convert /usr/lib/tarvine/tarvine-convert /usr/share/tarvine/tarvine-convert.slurm \
    /usr/lib/tarvine/version.ini /usr/lib/tarvine/help/overview/overview.htm \
    /usr/share/applications/tarvine.desktop /usr/share/icons/hicolor/scalable/apps/tarvine.svg \
    /usr/share/metainfo/example.tarvine.Tarvine.metainfo.xml /usr/share/man/man1/tarvine-convert.1.gz \
    /usr/share/bash-completion/completions/tarvine-convert; do
    grep -qx "$path" "$work/contents" || fail "$path is not in the package"
done
! grep -q "_CPack_Packages\|/build/" "$work/contents" || fail "the package holds staging paths"

dpkg-deb --extract "$package" "$work/root"
[ "$(readlink -f "$work/root/usr/bin/tarvine")" = "$(readlink -f "$work/root/usr/lib/tarvine/tarvine")" ] ||
    fail "/usr/bin/tarvine does not lead to the program"
[ "$(readlink -f "$work/root/usr/bin/tarvine-convert")" = "$(readlink -f "$work/root/usr/lib/tarvine/tarvine-convert")" ] ||
    fail "/usr/bin/tarvine-convert does not lead to the program"
"$work/root/usr/bin/tarvine-convert" --help | grep -q "^Usage: tarvine-convert" || fail "tarvine-convert --help shows no usage"
zcat "$work/root/usr/share/man/man1/tarvine-convert.1.gz" | groff -man -Tascii 2> /dev/null | grep -q "tarvine-convert" ||
    fail "the man page of tarvine-convert does not show"
bash -n "$work/root/usr/share/bash-completion/completions/tarvine-convert" || fail "the bash completion is no bash"
grep -qx 'Exec="/usr/bin/tarvine"' "$work/root/usr/share/applications/tarvine.desktop" ||
    fail "the desktop entry does not start /usr/bin/tarvine"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$work/root/usr/share/applications/tarvine.desktop" || fail "the desktop entry is not valid"
fi
if command -v appstreamcli > /dev/null; then
    appstreamcli validate --no-net "$work/root/usr/share/metainfo/example.tarvine.Tarvine.metainfo.xml" ||
        fail "the AppStream data is not valid"
fi

# The package manager's own resolver, without installing anything.
if ! apt-get install --simulate --no-install-recommends "$(readlink -f "$package")" > "$work/apt.log" 2>&1; then
    cat "$work/apt.log"
    fail "the package cannot be installed here"
fi

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "Debian package $(basename "$package"): passed"
