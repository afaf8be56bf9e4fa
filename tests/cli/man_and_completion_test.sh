#!/bin/bash
# The man page and the bash completion against the program itself: every
# option of --help and every short format name is in both, the page renders
# without a warning, and the completion completes options and formats.
# usage: man_and_completion_test.sh <tarvine-convert> <tarvine-convert.1> <completion file>
set -u
program=$1
page=$2
completion=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

options=$("$program" --help | grep -oE '^  --[a-z-]+' | sed 's/^  //')
[ -n "$options" ] || fail "--help lists no option"
formats=$("$program" --list-formats | awk '{print $2}')
[ -n "$formats" ] || fail "--list-formats lists no format"
for option in $options; do
    grep -qF -- "${option//-/\\-}" "$page" || fail "the man page does not describe $option"
    grep -qE -- "(^|[ '])$option(=|[ ']|$)" "$completion" || fail "the completion does not offer $option"
done
for format in $formats; do
    grep -qF -- "\\fB${format//-/\\-}\\fR" "$page" || fail "the man page does not name the format $format"
done
warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "the man page renders with warnings: $warnings"

# The words bash would complete after "tarvine-convert <words...>".
complete_words() {
    (
        source /usr/share/bash-completion/bash_completion
        source "$completion"
        COMP_WORDS=("$program" "$@")
        COMP_CWORD=$#
        COMP_LINE="${COMP_WORDS[*]}"
        COMP_POINT=${#COMP_LINE}
        _tarvine_convert "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf '%s\n' "${COMPREPLY[@]}"
    )
}
if [ -r /usr/share/bash-completion/bash_completion ]; then
    [ "$(complete_words --fit)" = "--fit-disc" ] || fail "--fit does not complete to --fit-disc: $(complete_words --fit)"
    [ "$(complete_words --format mp4 | sort | tr '\n' ' ')" = "mp4 mp4-h265 " ] ||
        fail "--format mp4 does not complete to the MP4 formats: $(complete_words --format mp4)"
    [ "$(complete_words --format=sv)" = "svcd" ] || fail "--format=sv does not complete to svcd"
else
    echo "SKIP: the completion is not tried: bash-completion is not installed"
fi

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "man page and completion: passed"
