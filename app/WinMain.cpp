// The program's entry: the one application object and the hand-over to the framework's main routine.
#include "app/FormsteadApp.h"

CFormsteadApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, ::GetCommandLineW(), nCmdShow);
}
