// Checks, at the first line of main, that the kit's random state was seeded by the runtime's
// initialisers. This program refers to the state only, never to the seeding object, as the real
// program does: the seeding must be there because every program linking the kit keeps it.
#include <stdio.h>
#include "kit/KitRand.h"

int main()
{
    const bool seeded = KitRand::isSeeded();
    const uint32_t* words = KitRand::state();
    int failures = 0;
    if (!seeded) {
        fprintf(stderr, "the random state was not seeded before main\n");
        ++failures;
    }
    // Seeding sets the triangle of bit columns: word 3 + 7k has bit 31 - k set and nothing above it.
    for (int k = 0; k < 32; ++k) {
        const uint32_t word = words[3 + 7 * k];
        if ((word >> (31 - k)) != 1u) {
            fprintf(stderr, "bit column %d not set: %08x\n", k, (unsigned)word);
            ++failures;
        }
    }
    // The other words hold random bits: an unseeded state is all zero.
    int zeroWords = 0;
    for (int i = 0; i < KitRand::kWords; ++i)
        zeroWords += words[i] == 0;
    if (zeroWords > 2) {
        fprintf(stderr, "%d of %d words are zero\n", zeroWords, KitRand::kWords);
        ++failures;
    }
    printf("%s\n", failures ? "not seeded" : "seeded before main");
    return failures ? 1 : 0;
}
