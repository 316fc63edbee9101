#!/bin/bash
# The bash completion that the vt520ctl package installs, sourced into bash
# as bash-completion loads it: a command's start completes to the command,
# the words after a command are its options and file names, and every
# command and option that vt520ctl --help shows is offered, so that the
# completion cannot fall behind the command table.
set -euo pipefail
root=${1:?usage: bash_completion.sh SOURCE_ROOT VT520CTL}
vt520ctl=${2:?usage: bash_completion.sh SOURCE_ROOT VT520CTL}
# shellcheck source=packaging/vt520ctl.bash-completion
source "$root/packaging/vt520ctl.bash-completion"

failed=0
fail()
{
    echo "$*"
    failed=1
}

# The words offered for a command line whose last word is being typed.
offered()
{
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    _vt520ctl
    printf '%s\n' "${COMPREPLY[@]}"
}

# offers WORD COMMAND-LINE...: WORD is among the words offered.
offers()
{
    local word=$1
    shift
    local words
    words=$(offered "$@")
    grep -qxF -- "$word" <<<"$words" || fail "'$*<TAB>' does not offer $word: $(tr '\n' ' ' <<<"$words")"
}

complete -p vt520ctl | grep -q -- '-F _vt520ctl' || fail "vt520ctl is not completed by _vt520ctl"

[ "$(offered vt520ctl up)" = upgrade ] || fail "'vt520ctl up<TAB>' gives '$(offered vt520ctl up)', not upgrade"
offers --json vt520ctl upgrade fw.upg --
offers --if-different vt520ctl upgrade --
offers get vt520ctl programs ''
offers --output vt520ctl read-flash 0 16 --o
offered vt520ctl make-upgrade -- | grep -qxF -- --json && fail "make-upgrade is offered --json, which it refuses"

# File names for a file argument and for --output.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/firmware.upg"
offers "$work/firmware.upg" vt520ctl upgrade "$work/fi"
offers "$work/firmware.upg" vt520ctl read-flash 0 16 --output "$work/fi"
offers "$work/firmware.upg" vt520ctl programs set "$work/fi"

# Each command of vt520ctl --help (two words for programs and scenes), and
# each option of its own usage lines.
"$vt520ctl" --help | sed -n '/^Commands:/,/^Options:/s/^  \([a-z]\)/\1/p' >"$work/usages"
[ -s "$work/usages" ] || fail "no commands in vt520ctl --help"
while read -r first second rest; do
    command=$first
    if [[ $first == programs || $first == scenes ]]; then
        command="$first $second"
        offers "$second" vt520ctl "$first" "${second:0:1}"
    fi
    offers "$first" vt520ctl "${first:0:2}"
    while read -r option; do
        # shellcheck disable=SC2086 # the command's words, split
        offers "$option" vt520ctl $command --
    done < <(grep -o -- '--[a-z-]*' <<<"$second $rest" | sort -u)
    # shellcheck disable=SC2086 # the command's words, split
    offered vt520ctl $command -- >>"$work/offered"
done <"$work/usages"
# Each option under Options is offered after some command.
while read -r option; do
    grep -qxF -- "$option" "$work/offered" || fail "$option is offered after no command"
done < <("$vt520ctl" --help | sed -n '/^Options:/,/^$/s/^  \(--[a-z][a-z-]*\).*/\1/p')
exit "$failed"
