// A form window host that answers nothing: for tests of what a form window draws and places by itself.
#pragma once
#include "viewer/FormWindow.h"

class NoFormHost : public viewer::FormWindowHost
{
public:
    void NavigateFromPage(const std::wstring&) override {}
    bool OpenAddress(const std::wstring&) override { return false; }
    void ShowMessage(const std::wstring&) override {}
    HDC ChoosePrinter(bool& ownsDc) override
    {
        ownsDc = false;
        return nullptr;
    }
};
