// The totals panel's edits.
#include "pages/CollectionsTotals.h"

#include "export/CollectionValues.h"

const UINT CCollectionsTotals::kEdits[CollectionTotals::Count] = {1045, 1046, 1047, 1048, 1049, 1051};

void CCollectionsTotals::SetTotals(const CollectionTotals& totals)
{
    m_values = totals;
    if (!m_hWnd) return;
    for (int kind = 0; kind < CollectionTotals::Count; ++kind)
        SetDlgItemText(kEdits[kind], FormatCents(totals.cents[kind]).c_str());
}
