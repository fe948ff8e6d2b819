#!/usr/bin/env bash
# corvalt-cli's bash completion: it loads without a word on standard error,
# and a line typed so far completes to what the program takes. The words of
# each line are given as readline splits them ("=" is a word of its own).
# Usage: bash_completion_test.sh COMPLETION_FILE

# Loaded as bash-completion loads it, after its helpers where installed.
if [[ -r /usr/share/bash-completion/bash_completion ]]; then
    # shellcheck source=/dev/null
    source /usr/share/bash-completion/bash_completion
fi
set -u
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
# shellcheck source=/dev/null
source "$1" 2>"$errors"
if [[ -s $errors ]] || ! complete -p corvalt-cli >/dev/null; then
    echo "FAIL: loading $1"; cat "$errors"
    exit 1
fi

# compopt only works while readline completes; what it asks is not checked.
compopt() { :; }
cd "$(mktemp -d)" && touch setup.txt

failed=0
# expect "COMPLETIONS" WORD... : the last word is the one being completed.
expect() {
    local expected=$1 actual
    shift
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMP_LINE="$*" COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _corvalt_cli corvalt-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    actual=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    if [[ $actual != "$expected" ]]; then
        echo "FAIL: '$*' completes to '$actual', not '$expected'"
        failed=1
    fi
}

expect 'list record run send set watch' corvalt-cli ''
expect 'send set' corvalt-cli --device /dev/hidraw3 s
expect 'list' corvalt-cli --virtual-reader = 0x0003 l
expect 'record run' corvalt-cli --device = /dev/hidraw3 r
expect 'data-enter leading ss-data-es ss-data-es-enter user' corvalt-cli set --format ''
expect '--format=ss-data-es --format=ss-data-es-enter' corvalt-cli set --format=ss-data
expect '# + ;' corvalt-cli set --format leading --track3-start ''
expect ';' corvalt-cli set --track3-start '\;'
expect '1,2 1,2,3 1,3' corvalt-cli set --tracks 1,
expect 'off on' corvalt-cli set --error-string-sentinel ''
expect '' corvalt-cli set --key ''
expect '0x0001 0x0002 0x0003 0x0009 0x3001' corvalt-cli --virtual-reader =
expect '0x0001 0x0002 0x0003 0x0009' corvalt-cli --virtual-reader = 0x00
expect '--json' corvalt-cli watch --j
expect '--count' corvalt-cli record --c
expect '--version --virtual-reader --virtual-reader=' corvalt-cli --v
expect '--verbose --virtual-reader --virtual-reader=' corvalt-cli list --v
expect '--raw --replay' corvalt-cli send --r
expect '' corvalt-cli send 01 ''
expect 'setup.txt' corvalt-cli --all run ''
expect '--enter --error-string --error-string-sentinel' corvalt-cli set --interface hid --e
# --all only where it is taken, and never with --device.
expect '--all' corvalt-cli send --a
expect '--all --alt' corvalt-cli set --a
expect '' corvalt-cli list --a
expect '' corvalt-cli watch --a
expect 'run send set' corvalt-cli --all ''
expect '--alt' corvalt-cli --device /dev/hidraw3 set --a
expect '' corvalt-cli --all set --d
# One simulated reader at a time.
expect '--verbose' corvalt-cli --replay swipes.hid list --v
expect '--raw' corvalt-cli --virtual-reader send --r

if ((failed)); then exit 1; fi
echo "bash completion: all lines complete as expected"
