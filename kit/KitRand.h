// KitRand: the process-wide shift-register random state, seeded once from the CryptoAPI.
#pragma once
#include <windows.h>
#include <wincrypt.h>
#include <cstdint>

class KitRand
{
public:
    KitRand();
    virtual ~KitRand();

    static const int kWords = 250;
    static void seed();
    // The seeded state, for inspection.
    static const uint32_t* state();
    // True once the start-up instance (or a first KitRand) has seeded the state.
    static bool isSeeded();

private:
    static uint32_t s_words[kWords];
    static int s_index;
    static int s_lag;
    static bool s_seeded;
};

// n random bytes from the CryptoAPI into out; false for n < 0, no block or a failed call.
bool getRandomBytes(int n, unsigned char* out);
// A verify-only context on the base cryptographic provider, or 0.
HCRYPTPROV acquireCryptContext();

// The start-up instance: constructed by the runtime's initialisers, it seeds the state before the
// program's own code runs. Every program linking the kit keeps it (kit/CMakeLists.txt).
extern KitRand g_kitRand;
