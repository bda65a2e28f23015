// Creation serials of the toolkit's internal objects.
#include "kit/KitObject.h"

namespace {
// Process-wide and unlocked: nothing depends on serials being unique across threads.
uint64_t g_nextSerial = 100;
}

KitObject::KitObject() : m_serial(g_nextSerial++) {}

KitObject::~KitObject() {}
