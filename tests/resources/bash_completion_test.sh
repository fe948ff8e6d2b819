#!/usr/bin/env bash
# The bash completions of corvalt-cli and corvalt: each loads without a word
# on standard error, and a line typed so far completes to what the program
# takes. The words of each line are given as readline splits them ("=" is a
# word of its own).
# Usage: bash_completion_test.sh CLI_COMPLETION_FILE WINDOW_COMPLETION_FILE

# Loaded as bash-completion loads it, after its helpers where installed.
if [[ -r /usr/share/bash-completion/bash_completion ]]; then
    # shellcheck source=/dev/null
    source /usr/share/bash-completion/bash_completion
fi
set -u
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for file in "$1" "$2"; do
    # shellcheck source=/dev/null
    source "$file" 2>"$errors"
    if [[ -s $errors ]]; then
        echo "FAIL: loading $file"; cat "$errors"
        exit 1
    fi
done
if ! complete -p corvalt-cli >/dev/null || ! complete -p corvalt >/dev/null; then
    echo "FAIL: no completion for corvalt-cli or corvalt"
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
    if [[ $1 == corvalt ]]; then
        _corvalt corvalt "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    else
        _corvalt_cli corvalt-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    fi
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

# The window: its options, the same models, recordings; one simulated
# reader at a time.
expect '--help --replay --version --virtual-reader' corvalt ''
expect '0x0001 0x0002 0x0003 0x0009 0x3001' corvalt --virtual-reader ''
expect '0x0001 0x0002 0x0003 0x0009' corvalt --virtual-reader = 0x00
expect 'setup.txt' corvalt --replay s
expect '--replay=setup.txt' corvalt --replay=s
expect '--help --version' corvalt --replay setup.txt --
expect '--help --version' corvalt --virtual-reader --

if ((failed)); then exit 1; fi
echo "bash completion: all lines complete as expected"
