// KitRand's process-wide state, apart from the start-up instance that seeds it: a reader of the
// state does not by itself pull the seeding object into a program.
#include "kit/KitRand.h"

uint32_t KitRand::s_words[KitRand::kWords];
int KitRand::s_index = 0;
int KitRand::s_lag = 103;
bool KitRand::s_seeded = false;

const uint32_t* KitRand::state() { return s_words; }

bool KitRand::isSeeded() { return s_seeded; }
