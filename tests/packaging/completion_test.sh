#!/usr/bin/env bash
# Tab completion: each row is a command line after "zemblaro ", the cursor at its end, and the
# words completion must offer there.
#   completion_test.sh COMPLETION_SCRIPT
source "$1"
failed=0
check() {
  read -ra COMP_WORDS <<<"zemblaro $1"
  [[ $1 == '' || $1 == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _zemblaro
  [[ "${COMPREPLY[*]}" == "$2" ]] || { echo "zemblaro $1<TAB>: got '${COMPREPLY[*]}', want '$2'"; failed=1; }
}
check 'M' 'mul mod'
check '-b -16 s' 'sub'
check '-d -r 3' '3 30 31 32 33 34 35 36'
check 'tst ' ''
check 'div 7 -' ''
check 'mod 7 5 -v' '-v'
exit $failed
