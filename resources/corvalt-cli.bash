# bash completion for corvalt-cli: the sub-commands, their options, the
# values of the options that take one of a few, script files for run and
# the hidraw nodes for --device, recordings for --replay and record.

# Whether an option takes a value, as the next word or after "=".
_corvalt_cli_takes_value()
{
    case $1 in
        --device | --match | --replay | --count | --timeout | --interface | --tracks | --format | \
            --track3-start | --user-mode | --position | \
            --sentinel-track | --key | --literal | --error-string | --error-string-sentinel)
            return 0
            ;;
    esac
    return 1
}

# The values offered for an option; nothing for one whose value is free text.
_corvalt_cli_values()
{
    case $1 in
        --device) compgen -G '/dev/hidraw*' ;;
        --replay) compgen -f ;;
        --virtual-reader) echo 0x0002 0x0003 0x3001 0x0009 0x0001 ;;
        --interface) echo hid keyboard ;;
        --tracks) echo none 1 2 3 1,2 1,3 2,3 1,2,3 ;;
        --format) echo data-enter leading ss-data-es ss-data-es-enter user ;;
        --track3-start) echo ';' + '#' ;;
        --user-mode) echo specific literal toggle ;;
        --position) echo start end ;;
        --sentinel-track) echo 1 2 3 ;;
        --error-string | --error-string-sentinel) echo on off ;;
    esac
}

# The options of a sub-command, after the global ones. --all is taken by
# send, run and set only (and before the sub-command, which must then be
# one of them).
_corvalt_cli_options()
{
    local global='--device --match --replay --virtual-reader --virtual-reader= --help'
    case $1 in
        '') echo "$global --all --version" ;;
        list) echo "$global --verbose --json" ;;
        watch) echo "$global --json --count --timeout" ;;
        send) echo "$global --all --raw" ;;
        run) echo "$global --all" ;;
        record) echo "$global --count --timeout" ;;
        set)
            echo "$global --all --interface --tracks --format --track3-start --user-mode --position" \
                "--sentinel-track --ctrl --alt --enter --no-enter --key --literal --error-string" \
                "--error-string-sentinel"
            ;;
    esac
}

_corvalt_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} option='' prefix=''
    # "--option=value": readline splits it at the "=" where "=" breaks
    # words (bash's default), else it is one word.
    if [[ $cur == --*=* ]]; then
        option=${cur%%=*} prefix=${cur%%=*}= cur=${cur#*=}
    elif [[ $cur == = ]]; then
        option=${COMP_WORDS[COMP_CWORD - 1]} cur=''
    elif ((COMP_CWORD >= 2)) && [[ ${COMP_WORDS[COMP_CWORD - 1]} == = ]]; then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    elif ((COMP_CWORD >= 1)) && _corvalt_cli_takes_value "${COMP_WORDS[COMP_CWORD - 1]}"; then
        option=${COMP_WORDS[COMP_CWORD - 1]}
    fi

    COMPREPLY=()
    if [[ -n $option ]]; then
        # Have readline quote what the shell would read otherwise (the
        # sentinels ";" and "#"); compgen matches a value typed with a
        # backslash or in quotes without them.
        [[ $option == --track3-start ]] && compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -W "$(_corvalt_cli_values "$option")" -- "$cur")
        COMPREPLY=("${COMPREPLY[@]/#/$prefix}")
        return
    fi

    # The sub-command is the first word that is neither an option nor an
    # option's value.
    # --device and --all exclude each other, wherever they stand, and so do
    # --replay and --virtual-reader.
    local subcommand='' i excluded=''
    for ((i = 1; i < COMP_CWORD; i++)); do
        local word=${COMP_WORDS[i]}
        [[ $word == --all ]] && excluded+=' --device'
        [[ $word == --device* ]] && excluded+=' --all'
        [[ $word == --replay* ]] && excluded+=' --virtual-reader --virtual-reader='
        [[ $word == --virtual-reader* ]] && excluded+=' --replay'
        if [[ $word == = ]] || { _corvalt_cli_takes_value "$word" && [[ ${COMP_WORDS[i + 1]} != = ]]; }; then
            ((i++))
        elif [[ $word != -* && -z $subcommand ]]; then
            subcommand=$word
        fi
    done

    if [[ $cur == -* || ( -n $subcommand && $subcommand != send && $subcommand != run &&
        $subcommand != record ) ]]; then
        local option options=()
        for option in $(_corvalt_cli_options "$subcommand"); do
            [[ " $excluded " == *" $option "* ]] || options+=("$option")
        done
        mapfile -t COMPREPLY < <(compgen -W "${options[*]}" -- "$cur")
        # "--virtual-reader=" waits for its value.
        [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace
    elif [[ -z $subcommand && $excluded == *--device* ]]; then
        mapfile -t COMPREPLY < <(compgen -W 'send run set' -- "$cur")
    elif [[ -z $subcommand ]]; then
        mapfile -t COMPREPLY < <(compgen -W 'list watch send run record set' -- "$cur")
    elif [[ $subcommand == run || $subcommand == record ]]; then
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}

complete -F _corvalt_cli corvalt-cli
