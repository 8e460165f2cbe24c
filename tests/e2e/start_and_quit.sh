# "-W -FPS" starts a window and runs until Left Alt + F4 ends it normally;
# a quit request ends it the same way.
. "$(dirname "$0")/e2e_common.sh"
need_display

start_game -W -FPS
sleep 1
expect_running
press_until_ended alt+F4
wait_game
[ "$GAME_RC" = 0 ] || fail "Alt+F4 ended the game with $GAME_RC"
[ -e errorlog.txt ] && fail "error log written: $(cat errorlog.txt)"

# A quit request (SDL turns SIGTERM into the same event as the window's
# close button) also ends the game normally.
start_game -w
sleep 1
expect_running
kill -TERM "$GAME_PID"
wait_game
[ "$GAME_RC" = 0 ] || fail "quit request ended the game with $GAME_RC"
echo ok
