# bash completion for rtu7350-cli                                   -*- shell-script -*-
# Installed as share/bash-completion/completions/rtu7350-cli; bash-completion loads it the
# first time rtu7350-cli is completed.

_rtu7350_cli() {
    local cur prev words cword split
    _init_completion -s || return

    # Options that take a value, as in `rtu7350-cli --help`.
    local valued='--port --baud --parity --data-bits --stop-bits --clock --time --date
        --delay-unit-ms --pacing --reply-timeout-ms --output --log --since'
    local flags='--partial --changes --json --quiet --no-record --help --version'

    case $prev in
    --port)
        # The ports the system reports by device and stable name, or any device path typed
        # (/dev/pts/N from rtu7350-sim).
        COMPREPLY=($(compgen -W "$("$1" ports 2>/dev/null | cut -f1,2)" -- "$cur"))
        [[ $cur == /* ]] && _filedir
        return
        ;;
    --baud)
        COMPREPLY=($(compgen -W '110 150 300 600 1200 2400 4800 9600 19200 38400 57600
            115200' -- "$cur"))
        return
        ;;
    --parity)
        COMPREPLY=($(compgen -W 'none odd even mark space' -- "$cur"))
        return
        ;;
    --data-bits)
        COMPREPLY=($(compgen -W '5 6 7 8' -- "$cur"))
        return
        ;;
    --stop-bits)
        COMPREPLY=($(compgen -W '1 2' -- "$cur"))
        return
        ;;
    --clock)
        COMPREPLY=($(compgen -W 'auto manual' -- "$cur"))
        return
        ;;
    --pacing)
        COMPREPLY=($(compgen -W 'fixed reply' -- "$cur"))
        return
        ;;
    --output | --log)
        _filedir
        return
        ;;
    --time | --date | --delay-unit-ms | --reply-timeout-ms | --since)
        return
        ;;
    esac
    $split && return

    # The first word that is neither an option nor an option's value is the command.
    local i command=
    for ((i = 1; i < cword; i++)); do
        if [[ " ${valued//$'\n'/ } " == *" ${words[i]} "* ]]; then
            ((i++))
        elif [[ ${words[i]} != -* ]]; then
            command=${words[i]}
            break
        fi
    done

    if [[ $cur == -* ]]; then
        # Once the command is typed, the options it has no use for are left out: --output
        # belongs to read and report, the clock and --changes to program; --partial to program,
        # read, verify and report; report takes no port; --since to record, which takes only it
        # and --json.
        local option offered=
        for option in $valued $flags; do
            case $command:$option in
            program:--output | verify:--output | read:--clock | read:--time | read:--date | \
                verify:--clock | verify:--time | verify:--date) ;;
            report:--output | report:--partial | report:--quiet | report:--help) offered+=" $option" ;;
            report:*) ;;
            record:--since | record:--json | record:--help) offered+=" $option" ;;
            record:*) ;;
            read:--changes | verify:--changes | ports:--changes | ports:--json) ;;
            program:--since | read:--since | verify:--since | ports:--since) ;;
            *) offered+=" $option" ;;
            esac
        done
        COMPREPLY=($(compgen -W "$offered" -- "$cur"))
        return
    fi

    case $command in
    '')
        COMPREPLY=($(compgen -W 'program read verify ports report record' -- "$cur"))
        ;;
    program | verify | report)
        # The configuration file, once.
        ((cword == i + 1)) && _filedir
        ;;
    esac
} &&
    complete -F _rtu7350_cli rtu7350-cli

# ex: filetype=sh
