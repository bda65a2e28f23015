// Root of the toolkit's internal classes: a virtual destructor and a 64-bit creation serial.
#pragma once
#include <cstdint>

class KitObject
{
public:
    KitObject();
    virtual ~KitObject();

    uint64_t getSerial() const { return m_serial; }

private:
    uint64_t m_serial;
};
