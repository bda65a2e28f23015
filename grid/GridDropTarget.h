// The drop target of a grid window: forwards the drag events over the grid to the grid's own drag
// and drop operations.
#pragma once
#include "framework/OleTransfer.h"

class CGridCtrl;

class CGridDropTarget : public COleDropTarget
{
public:
    CGridDropTarget() = default;
    ~CGridDropTarget() override;

    BOOL Register(CGridCtrl* grid);
    void Revoke() override;
    BOOL IsRegistered() const { return m_bRegistered; }

    DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* dataObject, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* window, COleDataObject* dataObject, DWORD keyState, CPoint point) override;
    BOOL OnDrop(CWnd* window, COleDataObject* dataObject, DROPEFFECT dropEffect, CPoint point) override;
    void OnDragLeave(CWnd* window) override;
    DROPEFFECT OnDragScroll(CWnd* window, DWORD keyState, CPoint point) override;

private:
    bool IsGridWindow(CWnd* window) const;

    CGridCtrl* m_pGridCtrl = nullptr;
    BOOL m_bRegistered = FALSE;
};
