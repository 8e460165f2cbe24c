# An unknown option, or -replay / -verify without a file after it, ends the
# program before any window opens, with exit code 1 and one line in the
# error log naming the last argument; valid options before it do not help.
. "$(dirname "$0")/e2e_common.sh"

for args in "-x" "-w -FPS -x" "-w -Replay" "-verify"; do
  rm -f errorlog.txt
  # shellcheck disable=SC2086
  timeout 10 "$GAME" $args
  rc=$?
  [ "$rc" = 1 ] || fail "\"$args\" exited with $rc"
  [ "$(cat errorlog.txt)" = "main(): Invalid program argument \"${args##* }\"" ] ||
    fail "log after \"$args\": $(cat errorlog.txt)"
done
echo ok
