// The kit's content coding and number texts as the toolkit's log uses them.
#pragma once
#include "kit/ContentCoding.h"
#include "kit/Int64Text.h"
