// The totals panel of the collections page (template 159): the six running totals of the last build.
#pragma once
#include "framework/Dialog.h"
#include "export/CollectionsRecord.h"

class CCollectionsTotals : public CDialog
{
public:
    enum { IDD = 159 };
    CCollectionsTotals() : CDialog(IDD) {}

    // Takes the totals (cents) and shows each in its edit as dollars with two decimals.
    void SetTotals(const CollectionTotals& totals);
    // The edits' control ids, in the order of CollectionTotals::Kind.
    static const UINT kEdits[CollectionTotals::Count];

    CollectionTotals m_values;

protected:
    void OnOK() override {}
    void OnCancel() override {}
};
