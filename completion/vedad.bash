# bash completion for vedad                                  -*- shell-script -*-
# Completes every option; options that take a value stop after their '=' without a space.
# Values of --format= are offered by name, --font=, --fallback-font= and --output= complete
# file names, --theme= the built-in themes' names (as --theme=list prints them), list and file
# names, and
# operands complete file names.

_vedad()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local flags='-h --help -V --version -v --verbose -s --silent --fixed --html-input --ansi-input
        --transparent --crop --no-crop --overwrite --bold --fit --no-fallback'
    local valued='--background= --charspacing= --fallback-font= --font= --font-size= --foreground=
        --format= --height= --linespacing= --margin= --output= --scale= --size= --tab= --width='
    valued+=' --min-contrast= --theme='
    local themes=$'xterm\nvga\ntango\nsolarized-dark\nsolarized-light\ndracula\nnord\ngruvbox-dark\ngruvbox-light'
    themes+=$'\none-dark\none-light\ngithub-dark\ngithub-light\nlist'

    # With '=' in COMP_WORDBREAKS bash splits "--format=rg" into "--format", "=" and "rg",
    # and replaces only the text after the '='; put the word back together, and keep apart
    # what bash will replace.
    local option='' value=$cur
    if [[ $cur == '=' && COMP_CWORD -ge 2 ]]; then
        option=${COMP_WORDS[COMP_CWORD - 1]}=
        value=''
    elif [[ COMP_CWORD -ge 3 && ${COMP_WORDS[COMP_CWORD - 1]} == '=' ]]; then
        option=${COMP_WORDS[COMP_CWORD - 2]}=
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*}=
        value=${cur#*=}
    fi
    if [[ $option != --* ]]; then
        option=''
        value=$cur
    fi
    # The text that the replies stand in for: the value alone when '=' breaks words.
    local keep=''
    [[ $COMP_WORDBREAKS == *=* ]] || keep=$option

    COMPREPLY=()
    local IFS=$'\n'
    if [[ -n $option ]]; then
        case $option in
            --format=)
                COMPREPLY=($(compgen -P "$keep" -W $'argb32\nrgb24\na8' -- "$value"))
                ;;
            --theme=)
                compopt -o filenames 2>/dev/null
                COMPREPLY=($(compgen -P "$keep" -W "$themes" -- "$value") $(compgen -P "$keep" -f -- "$value"))
                ;;
            --font= | --fallback-font= | --output=)
                compopt -o filenames 2>/dev/null
                COMPREPLY=($(compgen -P "$keep" -f -- "$value"))
                ;;
        esac
        return 0
    fi

    if [[ $cur == -* ]]; then
        IFS=$' \t\n'
        COMPREPLY=($(compgen -W "$flags $valued" -- "$cur"))
        local reply
        for reply in "${COMPREPLY[@]}"; do
            if [[ $reply == *= ]]; then
                compopt -o nospace 2>/dev/null
                break
            fi
        done
        return 0
    fi

    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$cur"))
    return 0
}
complete -F _vedad vedad
