// The "Sort By" order of the collection data: the Collections elements of xfa:data/form1/DataForm
// by their creation date or patient name.
#pragma once
#include <string>

enum SortChoice { kSortOldest, kSortNewest, kSortPatientAtoZ, kSortPatientZtoA };

// The data text with DataForm's children reordered as repeated passes of adjacent swaps would order
// them, where a record without the key element (a record the filters left out is an empty element)
// takes no part: each keyed record is compared with the nearest keyed record before it, and the two
// swap contents when the later one sorts first. A record whose date does not parse as month/day/year
// is never swapped, so nothing passes it; equal keys keep their order. Done in O(n log n) with at
// most n - 1 swaps. An unknown choice (or -1) sorts nothing; data that is not XML gives an empty text.
std::wstring SortCollections(const std::wstring& data, int sortBy);
