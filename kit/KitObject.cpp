// Creation serials of the toolkit's internal objects.
#include "kit/KitObject.h"

namespace kit {
uint64_t g_nextSerial = 100;
}

KitObject::~KitObject() {}
