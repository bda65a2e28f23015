// The kit's content coding and number texts as the toolkit's log uses them.
#pragma once
#include "xml/kit/ContentCoding.h"
#include "xml/kit/Int64Text.h"
