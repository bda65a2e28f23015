// Import of completed PDF files: the user picks a filled-in copy of the current form, the view's
// registration dialog shows it in its import mode, and "Import this form" stores it as a record.
#pragma once
#include <string>

class CWnd;
class FormPageHost;

// Lets the user choose the file and shows it in the import dialog (the records page's button).
void ImportCompletedFiles(FormPageHost& host, CWnd* owner);

// Every "%" followed by two hexadecimal digits becomes the byte of that value; anything else is
// copied unchanged.
std::string PercentDecode(const std::string& text);
