# bash completion for rtu7350-sim                                   -*- shell-script -*-
# Installed as share/bash-completion/completions/rtu7350-sim; bash-completion loads it the
# first time rtu7350-sim is completed.

_rtu7350_sim() {
    local cur prev words cword split
    _init_completion -s || return

    # Options that take a value, as in `rtu7350-sim --help`.
    local valued='--baud --turnaround-ms --byte-delay-ms --state --dump --once-idle
        --drop --garble --noise-every --hangup-after --link --version-text'
    local flags='--silent --echo --noise --help --help-all --version'

    case $prev in
    --baud)
        COMPREPLY=($(compgen -W '110 150 300 600 1200 2400 4800 9600 19200 38400 57600
            115200' -- "$cur"))
        return
        ;;
    --state | --dump | --link)
        _filedir
        return
        ;;
    --turnaround-ms | --byte-delay-ms | --once-idle | --drop | --garble | \
        --noise-every | --hangup-after | --version-text)
        return
        ;;
    esac
    $split && return

    COMPREPLY=($(compgen -W "$valued $flags" -- "$cur"))
} &&
    complete -F _rtu7350_sim rtu7350-sim

# ex: filetype=sh
