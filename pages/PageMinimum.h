// What a page of the main window says about how small it may be made: below this size one of its
// controls would be cut or hidden. The main window keeps every page at least this large.
#pragma once

class PageMinimum
{
public:
    virtual ~PageMinimum() = default;
    // The least client width at which every control of the page is whole.
    virtual int MinimumWidth() const = 0;
    // The least client height at this width (no less than MinimumWidth); a wider page needs no more.
    virtual int MinimumHeight(int width) const = 0;
};
