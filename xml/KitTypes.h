// The buffer and container types of the kit as this toolkit uses them, in one place, with the few
// small helpers the toolkit needs on top of them.
#pragma once
#include "kit/KitObject.h"
#include "kit/DataBuffer.h"
#include "kit/StringBuffer.h"
#include "kit/ExtPtrArray.h"
#include "kit/ExtIntArray.h"
#include <new>

// The text of a string buffer (never NULL).
inline const char* sbText(const kit::StringBuffer& s) { return s.pointerAt(0); }
inline int sbLength(const kit::StringBuffer& s) { return s.getSize(); }
