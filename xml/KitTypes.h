// The buffer and container types of the kit as this toolkit uses them, in one place, with the few
// small helpers the toolkit needs on top of them.
#pragma once
#include "xml/kit/KitObject.h"
#include "xml/kit/DataBuffer.h"
#include "xml/kit/StringBuffer.h"
#include "xml/kit/ExtPtrArray.h"
#include "xml/kit/ExtIntArray.h"
#include <new>

// The text of a string buffer (never NULL).
inline const char* sbText(const kit::StringBuffer& s) { return s.pointerAt(0); }
inline int sbLength(const kit::StringBuffer& s) { return s.getSize(); }
