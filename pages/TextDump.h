// The form page's "Clearing House" button: the form's plain-text dump appended to a text file the
// user names, which is then opened.
#pragma once

class CHTMLCtrl;
class CWnd;

void DumpFormText(CHTMLCtrl& browser, CWnd* owner);
