// CFormsteadDoc: the document of the single-document template. It holds no data; the step bar marks
// it modified and asks it to update its views when the step changes.
#pragma once
#include "framework/Frame.h"

class CFormsteadDoc : public CDocument
{
    DECLARE_DYNCREATE(CFormsteadDoc)
};
