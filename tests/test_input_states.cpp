// The name entry and the title's switches, through real SDL key events.
#include "test_states_helpers.h"

#include <cstring>

#include "sound/sound.h"

namespace {

using namespace state_test;

using InputStates = StateTest;

TEST_F(InputStates, SpaceThatOpensTheEntryIsNotTypedButTheNextIs)
{
    lost_run(10);
    // Both Spaces in one pass: the rest of that pass types nothing.
    push_key(SDLK_SPACE, ' ');
    push_key(SDLK_SPACE, ' ');
    handle_input();
    ASSERT_EQ(game_state, STATE_NEW_HIGHSCORE);
    EXPECT_STREQ(name_buffer, "");
    tap(SDLK_SPACE, ' ');
    EXPECT_STREQ(name_buffer, " ");
    // p and letters in the case SDL gave them go in like any character.
    tap(SDLK_p, 'p');
    tap(SDLK_x, 'X');
    EXPECT_STREQ(name_buffer, " pX");
    EXPECT_EQ(paused, 0);
}

TEST_F(InputStates, NameTakesSixteenPrintableCharacters)
{
    set_game_state(STATE_NEW_HIGHSCORE);
    // Backspace on an empty name does nothing.
    tap(SDLK_BACKSPACE, 8);
    EXPECT_STREQ(name_buffer, "");
    for (char c : std::string("~Name with 16 c!"))
        push_key(SDLK_a, (unsigned char)c);
    handle_input();
    EXPECT_STREQ(name_buffer, "~Name with 16 c!");
    tap(SDLK_b, 'b');
    EXPECT_STREQ(name_buffer, "~Name with 16 c!") << "a 17th character is refused";
    EXPECT_EQ(name_buffer[NAME_MAX_LENGTH], '\0');

    tap(SDLK_BACKSPACE, 8);
    tap(SDLK_BACKSPACE, 8);
    EXPECT_STREQ(name_buffer, "~Name with 16 ");
    // Outside 32..126: control codes, DEL, accented letters, no character.
    tap(SDLK_a, 31);
    tap(SDLK_a, 127);
    tap(SDLK_a, 0xe9);
    tap(SDLK_a, 0x416);
    tap(SDLK_LSHIFT, 0);
    tap(SDLK_TAB, 9);
    EXPECT_STREQ(name_buffer, "~Name with 16 ");
    tap(SDLK_a, 126);
    tap(SDLK_SPACE, 32);
    EXPECT_STREQ(name_buffer, "~Name with 16 ~ ");

    // Entering the state again starts an empty name.
    set_game_state(STATE_NEW_HIGHSCORE);
    for (int i = 0; i < NAME_BUFFER_SIZE; i++)
        EXPECT_EQ(name_buffer[i], '\0');

    // Nothing is typed in other states.
    set_game_state(STATE_TITLE);
    tap(SDLK_a, 'a');
    set_game_state(STATE_STORY);
    tap(SDLK_a, 'a');
    EXPECT_STREQ(name_buffer, "");
}

}  // namespace
