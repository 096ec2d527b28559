# bash completion for vedad                                  -*- shell-script -*-
# Completes every option; options that take a value stop after their '=' without a space.
# A value is completed after the '=' or, for an option written alone, in the next word:
# --format= by name, --font=, --fallback-font= and the faces of the styles by the font families that
# `vedad --list-fonts` names (and file names), --theme= by the built-in themes' names (as
# --theme=list prints them) and file names, --execute= by command names, --output= and -o
# by file names. Operands, and every word after --, complete file names.

# The values of one option, into COMPREPLY: `option` with its '=' (or -o), `value` what is
# typed of it, `prefix` what each reply begins with.
_vedad_values()
{
    local program=$1 option=$2 value=$3 prefix=$4
    local IFS=$'\n'
    case $option in
        --format=)
            COMPREPLY=($(compgen -P "$prefix" -W $'argb32\nrgb24\na8' -- "$value"))
            ;;
        --type=)
            COMPREPLY=($(compgen -P "$prefix" -W $'png\nsvg\nwebp\ngif' -- "$value"))
            ;;
        --list-fonts=)
            COMPREPLY=($(compgen -P "$prefix" -W 'all' -- "$value"))
            ;;
        --window=)
            COMPREPLY=($(compgen -P "$prefix" -W $'mac\nplain\nnone' -- "$value"))
            ;;
        --font= | --fallback-font= | --bold-font= | --italic-font= | --bold-italic-font=)
            # Family names hold blanks: bash quotes the replies as it quotes file names, and
            # what is typed is matched with its quotes and backslashes taken out. After a
            # comma, --fallback-font= completes the next name of its list.
            local typed=${value//\\/} before=''
            typed=${typed#[\"\']}
            if [[ $option == --fallback-font= && $typed == *,* ]]; then
                before=${value%,*},
                typed=${typed##*,}
            fi
            compopt -o filenames 2>/dev/null
            local family
            while IFS= read -r family; do
                family=${family%%: *}
                [[ -n $family && $family == "$typed"* ]] && COMPREPLY+=("$prefix$before$family")
            done < <("$program" --list-fonts 2>/dev/null)
            COMPREPLY+=($(compgen -P "$prefix" -f -- "$value"))
            ;;
        --output= | -o)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -P "$prefix" -f -- "$value"))
            ;;
        --execute=)
            COMPREPLY=($(compgen -P "$prefix" -c -- "$value" | sort -u))
            ;;
        --theme=)
            compopt -o filenames 2>/dev/null
            local themes=$'xterm\nvga\ntango\nsolarized-dark\nsolarized-light\ndracula\nnord\ngruvbox-dark'
            themes+=$'\ngruvbox-light\none-dark\none-light\ngithub-dark\ngithub-light\nlist'
            COMPREPLY=($(compgen -P "$prefix" -W "$themes" -- "$value") $(compgen -P "$prefix" -f -- "$value"))
            ;;
    esac
}

_vedad()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    # The program as typed, so that ./build/vedad lists its own fonts.
    local program=${COMP_WORDS[0]:-vedad}
    program=${program/#\~/$HOME}
    local flags='-h --help -V --version -v --verbose -s --silent --fixed --html-input --ansi-input
        --transparent --crop --no-crop --overwrite --bold --fit --no-fallback --ligatures --list-fonts -o --
        --window --shadow --line-numbers --pretty --prompt --prompt= --screen --svg-glyphs --asciicast'
    local valued='--background= --charspacing= --columns= --fallback-font= --font= --font-size= --foreground=
        --format= --height= --linespacing= --margin= --max-pixels= --output= --scale= --size= --split= --tab= --type= --width='
    valued+=' --min-contrast= --theme= --execute= --rows= --timeout='
    valued+=' --padding= --window= --title= --radius= --shadow= --line-numbers='
    valued+=' --bold-font= --italic-font= --bold-italic-font='
    valued+=' --jobs='
    valued+=' --speed= --idle-limit= --fps-cap= --last-frame= --loop= --at='
    COMPREPLY=()

    # After --, every word is a file.
    local i
    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == -- ]]; then
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return 0
        fi
    done

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
    if [[ -n $option ]]; then
        # The text that the replies stand in for: the value alone when '=' breaks words.
        local keep=''
        [[ $COMP_WORDBREAKS == *=* ]] || keep=$option
        _vedad_values "$program" "$option" "$value" "$keep"
        return 0
    fi

    # An option written alone takes the next word as its value.
    if ((COMP_CWORD >= 2)); then
        local previous=${COMP_WORDS[COMP_CWORD - 1]}
        local name
        for name in -o $valued; do
            if [[ $previous == "${name%=}" ]]; then
                _vedad_values "$program" "$name" "$cur" ''
                return 0
            fi
        done
    fi

    if [[ $cur == -* ]]; then
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
    local IFS=$'\n'
    COMPREPLY=($(compgen -f -- "$cur"))
    return 0
}
complete -F _vedad vedad
