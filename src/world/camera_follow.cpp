// The camera over the player. Apart from the camera arithmetic so that the
// arithmetic (and the map drawing) links and tests without the characters.
#include "world/camera.h"

#include "characters/characters.h"

void update_camera()
{
    if (player) place_camera(player->x, player->y);
}
