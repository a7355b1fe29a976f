#pragma once
// A digest of a session so far: the game state's values (not its images and timer), the random
// generator, and everything drawn since the session began. Two runs that have it equal at the
// same frame showed the same pictures and carry on the same way.
#include <cstdint>

uint64_t SessionDigest();
