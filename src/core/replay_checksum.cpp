// The checksums a replay is checked by: the world's, after every 60th tick,
// and the asset archive's, read once.
#include "core/replay.h"

#include <cstdio>
#include <cstring>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/bullets.h"
#include "combat/effects.h"
#include "combat/items.h"
#include "core/loop.h"
#include "core/states.h"

namespace {
struct hasher {
    uint64_t h = REPLAY_HASH_START;
    void bytes(const void* p, size_t n) { h = replay_hash(h, p, n); }
    void i(int64_t v) { bytes(&v, sizeof v); }
    void f(float v) { bytes(&v, sizeof v); }
};
} // namespace

uint64_t world_checksum()
{
    hasher s;
    for (const character* c = character_list; c; c = c->next) {
        const int fields[] = {c->kind, c->x, c->y, c->waypoint_x, c->waypoint_y, c->dest_x,
                              c->dest_y, c->repath_timer, c->angle, c->health, c->cooldown,
                              c->panic_timer, c->regen_timer, c->moving, c->frame, c->frame_timer};
        s.bytes(fields, sizeof fields);
        s.i(c == player);
    }
    for (const Bullet* b = bullet_list; b; b = b->next) {
        s.f(b->x);
        s.f(b->y);
        s.f(b->angle);
        s.i(b->speed);
    }
    for (const Item& it : items) {
        const int fields[] = {it.active, it.kind, it.x, it.y};
        s.bytes(fields, sizeof fields);
    }
    for (const SpriteAnim& a : sprite_anims) {
        if (!a.active) continue;
        const int fields[] = {a.x, a.y, a.angle, a.texture, a.frame, a.size, a.frames_left};
        s.bytes(fields, sizeof fields);
    }
    for (const Particle& p : particles) {
        if (!p.active) continue;
        s.i(p.type);
        s.f(p.x);
        s.f(p.y);
        s.i(p.variant);
        s.i(p.rotation);
    }
    for (const FloatingText& t : floating_texts) {
        if (!t.active) continue;
        s.bytes(t.text, strnlen(t.text, FLOATING_TEXT_SIZE));
        s.i(t.x);
        s.f(t.y);
    }
    const int meters[] = {psychosis, psychosis_countdown, score, kills[KIND_CIVILIAN],
                          kills[KIND_ARMED], run_seconds, second_countdown, steroids_timer,
                          laugh_delay, sigh_delay, last_laugh, run_active, paused, game_state};
    s.bytes(meters, sizeof meters);
    return s.h;
}

uint64_t assets_checksum()
{
    static int done = 0;
    static uint64_t sum = 0;
    if (done)
        return sum;
    done = 1;
    FILE* f = fopen(REPLAY_ASSETS, "rb");
    if (!f)
        return sum;
    uint64_t h = REPLAY_HASH_START;
    uint8_t block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, f)) > 0)
        h = replay_hash(h, block, got);
    if (!ferror(f))
        sum = h;
    fclose(f);
    return sum;
}
