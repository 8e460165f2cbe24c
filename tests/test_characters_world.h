// Kept for the tests that still include it: the small worlds now live in
// test_world.h.
#pragma once
#include "test_world.h"
