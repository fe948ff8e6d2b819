#!/bin/sh
# A man page names every option its program's --help names, for the program
# and for each of its sub-commands given, so that the page cannot fall
# behind the program.
# Usage: man_page_options_test.sh PAGE PROGRAM [SUB-COMMAND...]
page=$1 program=$2
shift 2
# The page's words as they read: "\-" is a hyphen; font changes go.
words=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\c//g' "$page")
status=0
for command in '' "$@"; do
    # shellcheck disable=SC2086 # no sub-command is no word
    help=$("$program" $command --help) || { echo "FAIL: $program $command --help"; exit 1; }
    for option in $(printf '%s\n' "$help" | grep -oE -- '(^|[ ,])--?[a-zA-Z][a-zA-Z0-9-]*' | tr -d ' ,' | sort -u); do
        if ! printf '%s\n' "$words" | grep -qE -- "(^|[^a-zA-Z0-9-])$option([^a-zA-Z0-9-]|$)"; then
            echo "FAIL: $(basename "$page") does not name $option of '$(basename "$program")${command:+ $command}'"
            status=1
        fi
    done
done
[ $status -eq 0 ] && echo "$(basename "$page"): names every option of --help"
exit $status
