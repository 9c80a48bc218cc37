#!/bin/sh
# A manual page and its program's own help name the same options, commands and exit
# statuses, every option the page mentions has an entry of its own, and --version
# prints the project's version.
# Usage: man_page_matches_help.sh PAGE.1.in VERSION [EMULATOR] PROGRAM
set -eu
page=$1 version=$2
shift 2
name=$(basename "$page" .1.in)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# korvan-host answers `help`, korvan-sim `--help`; both answer --help.
"$@" --help >"$work/help"

# The page as plain words: no comments, escapes or font changes, and each line that a
# .TP makes an entry's tag marked with the section it is in.
sed -e '/^\.\\"/d' -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\(dq/"/g' -e 's/\\e/\\/g' "$page" |
  awk '/^\.SH/ { sub(/^\.SH +/, ""); gsub(/"/, ""); section = $0; next }
       /^\.TP/ { tag = 1; next }
       { line = $0; sub(/^\.[A-Z]+ */, "", line); gsub(/"/, "", line)
         print (tag ? "TAG " section "|" : "TEXT|") line; tag = 0 }' >"$work/page"

options() { grep -oE '(^|[^A-Za-z0-9_-])--?[A-Za-z][A-Za-z0-9-]*' | sed 's/^[^-]*//' | sort -u; }
# The first word of each line of a help section: "Commands:" up to the next blank line.
help_section() { awk -v head="$1" '$0 == head { on = 1; next } /^$/ { on = 0 } on && /^  [^ ]/ { print $1 }' "$work/help" | sort -u; }
page_tags() { sed -n "s/^TAG $1|//p" "$work/page" | awk '{ print $1 }' | sort -u; }

compare() {  # what, help's list, page's list
  if ! diff -u "$2" "$3" >"$work/diff"; then
    echo "$name: the $1 of the help (-) and of the manual page (+) differ:"
    tail -n +3 "$work/diff" | grep '^[-+]'
    failed=1
  fi
}

options <"$work/help" >"$work/help-options"
sed 's/^[^|]*|//' "$work/page" | options >"$work/page-mentioned"
sed -n 's/^TAG [^|]*|//p' "$work/page" | options >"$work/page-options"
compare options "$work/help-options" "$work/page-options"
if comm -13 "$work/page-options" "$work/page-mentioned" | grep . >"$work/loose"; then
  echo "$name: options the manual page mentions without an entry of their own:" $(cat "$work/loose")
  failed=1
fi
help_section "Commands:" >"$work/help-commands"
page_tags COMMANDS >"$work/page-commands"
compare commands "$work/help-commands" "$work/page-commands"
help_section "Exit status:" >"$work/help-status"
page_tags "EXIT STATUS" >"$work/page-status"
compare "exit statuses" "$work/help-status" "$work/page-status"
[ -s "$work/help-options" ] && [ -s "$work/help-status" ] || { echo "$name: no options or exit statuses in the help"; failed=1; }

said=$("$@" --version)
[ "$said" = "$name $version" ] || { echo "$name --version says '$said', not '$name $version'"; failed=1; }
exit $failed
