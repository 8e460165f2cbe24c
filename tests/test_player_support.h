// Kept for the tests that still include it: the fight's helpers now live in
// test_world.h.
#pragma once
#include "test_world.h"
namespace fight_test {
}
