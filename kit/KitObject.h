// Root of the toolkit's internal classes: a virtual destructor and a 64-bit creation serial.
#pragma once
#include <cstdint>

namespace kit {
// The next creation serial: process-wide and unlocked, as nothing depends on serials being unique
// across threads.
extern uint64_t g_nextSerial;
}

class KitObject
{
public:
    // Inline: a parsed document makes one object per element.
    KitObject() : m_serial(kit::g_nextSerial++) {}
    virtual ~KitObject();

    uint64_t getSerial() const { return m_serial; }

private:
    uint64_t m_serial;
};
