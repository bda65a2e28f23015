// The data-less document.
#include "app/FormsteadDoc.h"

IMPLEMENT_DYNCREATE(CFormsteadDoc, CDocument)
