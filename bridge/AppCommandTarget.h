// What the "app:" commands of the program's own documents act on. The collections page implements
// it and hands it to the browser control that shows its documents; bridge/ knows nothing more of it.
#pragma once
#include "framework/CString.h"

class AppCommandTarget
{
public:
    virtual ~AppCommandTarget() = default;

    // Deletes one record of the current form; false when it could not be deleted.
    virtual bool DeleteRecord(int id) = 0;
    // Rebuilds the collections data and sends it to the companion form shown.
    virtual void BuildAndSendCollections() = 0;
    // Loads the companion PDF that the control's statement fields ask for.
    virtual void LoadStatementPdf() = 0;
    // Switches the statements screen to its statement view (true) or back to its list (false).
    virtual void ShowStatementView(bool statement) = 0;
    // Stores the collections text the companion form sent; false when it could not be stored.
    virtual bool SaveCollectionsXml(const CString& text) = 0;
    // Runs the letterhead chooser modally.
    virtual void RunStatementHeader() = 0;
};
