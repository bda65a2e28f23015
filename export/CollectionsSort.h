// The "Sort By" order of the collection data: the Collections elements of xfa:data/form1/DataForm
// by their creation date or patient name.
#pragma once
#include <string>

enum SortChoice { kSortOldest, kSortNewest, kSortPatientAtoZ, kSortPatientZtoA };

// The data text with DataForm's children reordered as repeated passes of adjacent swaps would order
// them: a pair is swapped only when both keys are present (and dates parse as month/day/year) and the
// later one sorts first; equal keys keep their order. A record without a usable key therefore stays
// where it is and nothing passes it. Done in O(n log n) with at most n - 1 swaps. An unknown choice
// (or -1) sorts nothing; data that is not XML gives an empty text.
std::wstring SortCollections(const std::wstring& data, int sortBy);
