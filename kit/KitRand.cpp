// KitRand: seeding of the 250-word state (CryptoAPI bytes, else the C runtime's rand) and the
// triangular set of bit columns that keeps the generator out of degenerate subspaces.
#include "kit/KitRand.h"
#include <cstdlib>

KitRand g_kitRand;

KitRand::KitRand()
{
    if (s_seeded)
        return;
    s_seeded = true;
    srand(GetTickCount());
    seed();
}

KitRand::~KitRand() {}

void KitRand::seed()
{
    s_index = 0;
    s_lag = 103;
    if (!getRandomBytes(sizeof s_words, (unsigned char*)s_words)) {
        srand(GetTickCount());
        for (int i = kWords - 1; i >= 0; i--) {
            uint32_t r1 = (uint32_t)rand(), r2 = (uint32_t)rand(), r3 = (uint32_t)rand();
            s_words[i] = r2 << 17 | r1 << 2 | (r3 & 3);
        }
    }
    for (int k = 0; k < 32; k++) {
        uint32_t& word = s_words[3 + 7 * k];
        word &= 0xFFFFFFFFu >> k;
        word |= 0x80000000u >> k;
    }
}

HCRYPTPROV acquireCryptContext()
{
    static const DWORD flags[] = {CRYPT_VERIFYCONTEXT, CRYPT_VERIFYCONTEXT | CRYPT_NEWKEYSET,
                                  CRYPT_VERIFYCONTEXT | CRYPT_MACHINE_KEYSET,
                                  CRYPT_VERIFYCONTEXT | CRYPT_NEWKEYSET | CRYPT_MACHINE_KEYSET};
    for (DWORD f : flags) {
        HCRYPTPROV context = 0;
        if (CryptAcquireContextA(&context, nullptr, "Microsoft Base Cryptographic Provider v1.0", PROV_RSA_FULL, f))
            return context;
    }
    return 0;
}

bool getRandomBytes(int n, unsigned char* out)
{
    if (n < 0 || !out)
        return false;
    HCRYPTPROV context = acquireCryptContext();
    if (!context)
        return false;
    BOOL ok = CryptGenRandom(context, (DWORD)n, out);
    CryptReleaseContext(context, 0);
    return ok != FALSE;
}
