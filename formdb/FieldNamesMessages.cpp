// The field-list parser as the records list and saving call it: problems go to message boxes.
#include "formdb/FieldNames.h"

#include "framework/CString.h"
#include "framework/Seams.h"

int get_db_fieldnames(CStringA& columns, const char* fieldList, int mode)
{
    columns.Empty();
    if (!fieldList)
    {
        AfxShowMessageBox(nullptr, L"allf = NULL", L"get_db_fieldnames", MB_OK);
        return -1;
    }
    const FieldNameList result = ParseFieldNames(fieldList, mode);
    if (result.count < 0)
    {
        AfxShowMessageBox(nullptr, CString(result.error.c_str()), CString(result.errorCaption.c_str()), MB_OK);
        return -1;
    }
    if (result.limitReached)
        AfxShowMessageBox(nullptr, CString(kFieldLimitMessage), CString(kFieldLimitCaption), MB_OK);
    columns = CStringA(result.columns.c_str(), static_cast<int>(result.columns.size()));
    return result.count;
}
