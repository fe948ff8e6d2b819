# bash completion for corvalt, the window: its options, the virtual
# reader's models for --virtual-reader and recordings for --replay.

_corvalt()
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
    elif ((COMP_CWORD >= 1)) && [[ $cur != -* ]]; then
        # --virtual-reader's value is optional: after it, a word that is no
        # option is its value.
        option=${COMP_WORDS[COMP_CWORD - 1]}
    fi

    COMPREPLY=()
    case $option in
        --replay)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            COMPREPLY=("${COMPREPLY[@]/#/$prefix}")
            return
            ;;
        --virtual-reader)
            mapfile -t COMPREPLY < <(compgen -W '0x0002 0x0003 0x3001 0x0009 0x0001' -- "$cur")
            COMPREPLY=("${COMPREPLY[@]/#/$prefix}")
            return
            ;;
    esac

    # --replay and --virtual-reader exclude each other; each is given once.
    local options=' --help --version --virtual-reader --replay ' word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        [[ $word == --replay* || $word == --virtual-reader* ]] &&
            options=${options/ --virtual-reader / } options=${options/ --replay / }
    done
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
}

complete -F _corvalt corvalt
