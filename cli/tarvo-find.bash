# Bash completion for tarvo-find: option names, the values of the options
# that take a word from a fixed set, and files for --settings. FIND_TEXT is
# free text and PATH_TEXT a ';'-separated list, so neither is completed.
_tarvo_find() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    case $prev in
        --sort) mapfile -t COMPREPLY < <(compgen -W 'rank name line' -- "$cur"); return ;;
        --format) mapfile -t COMPREPLY < <(compgen -W 'text tsv jsonl vimgrep' -- "$cur"); return ;;
        --color) mapfile -t COMPREPLY < <(compgen -W 'auto always never' -- "$cur"); return ;;
        --settings) mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return ;;
        --exclude | --highlight | --include | --skip-folders | --top | --tab-width | -j | --threads) return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W '--no-recursive --search-binary --no-file-names
            --no-case-bonus --no-word-bonus --no-cpp-heuristics --exclude --skip-ignored
            --include --skip-folders --highlight --settings --format --rank -l
            --files-with-matches --null --sort --top --color --tab-width --stats --files -j
            --threads --help --version' -- "$cur")
    fi
}
complete -o default -F _tarvo_find tarvo-find
