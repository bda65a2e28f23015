// Import of completed PDF files: the user picks a filled-in copy of the current form, the view's
// registration dialog shows it in its import mode, and "Import this form" stores it as a record.
#pragma once
#include <string>

class CWnd;
class FormPageHost;
class RegisterForm;

// Lets the user choose the file and shows it in the import dialog (the records page's button).
void ImportCompletedFiles(FormPageHost& host, CWnd* owner);

// What became of importing the file the import dialog shows.
enum class ImportOutcome
{
    Stored,     // one new record holds the file's values
    Unreadable, // the file does not answer as a form: nothing stored
    Foreign,    // its fields are not the registered fields of the current form: nothing stored
    Empty,      // every value was empty, or the form gave no values: nothing stored
    Failed,     // the database refused the record, or another exchange was running
    Abandoned,  // the dialog went away during a wait: nothing of it may be touched
};

// Checks that the dialog's file is a copy of the current form, then runs the form page's save on
// the dialog's own browser control. Tells the user why nothing was stored; shows no success message.
ImportOutcome ImportShownFile(FormPageHost& host, RegisterForm& dialog);

// "Import this form": the importing popup while the file is stored, the success message and the
// refilled records page when a record was stored, then the dialog is hidden.
void RunImportThisForm(FormPageHost& host, RegisterForm& dialog);

// Every "%" followed by two hexadecimal digits becomes the byte of that value; anything else is
// copied unchanged.
std::string PercentDecode(const std::string& text);
