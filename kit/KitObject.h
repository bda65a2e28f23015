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
    KitObject()
    {
        uint64_t serial = kit::g_nextSerial++;
        m_serialLow = (uint32_t)serial;
        m_serialHigh = (uint32_t)(serial >> 32);
    }
    virtual ~KitObject();

    uint64_t getSerial() const { return (uint64_t)m_serialHigh << 32 | m_serialLow; }

private:
    // Two halves on 4 bytes: a 64-bit field would be aligned on 8 and leave 4 bytes of padding
    // after the table pointer in every object (a parsed document has one node per element).
    uint32_t m_serialLow;
    uint32_t m_serialHigh;
};
