#!/usr/bin/env bash
# Tab completion: each row is a command line after "zemblaro ", the cursor at its end, and the
# words completion must offer there.
#   completion_test.sh COMPLETION_SCRIPT
source "$1"
opts='-h -b -r -d -v'
acts='tst add sub mul div mod'
failed=0
check() {
  local line=$1 want=$2
  read -ra COMP_WORDS <<<"zemblaro $line"
  [[ $line == '' || $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _zemblaro
  if [[ "${COMPREPLY[*]}" != "$want" ]]; then
    echo "zemblaro $line<TAB>: got '${COMPREPLY[*]}', want '$want'"
    failed=$((failed + 1))
  fi
}
check '' "$acts"
check '-' "$opts"
check '-b ' "$(echo {2..36})"
check '-b 1' '10 11 12 13 14 15 16 17 18 19'
check 'a' 'add'
check 'add 1 2 ' ''
check 'M' 'mul mod'
check '-v -r 3' '3 30 31 32 33 34 35 36'
check '-r -b ' "$acts"
check '-b -16 s' 'sub'
check 'div -' "$opts"
check 'div -d 7 ' ''
check 'div 7 -' ''
check 'mod 7 5 -' "$opts"
check 'mod 7 5 -b 2 /v ' ''
check 'tst ' ''
check 'test -v' '-v'
exit $((failed > 0))
