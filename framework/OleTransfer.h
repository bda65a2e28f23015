// OLE data transfer for windows: a data source that offers global-memory data to the clipboard or
// to a drag, a data object that reads what another source offers, a drop target that routes a
// window's drag events to virtual members, and a growable shared-memory file to build data in.
#pragma once
#include <windows.h>
#include <ole2.h>
#include "framework/Wnd.h"

typedef DWORD DROPEFFECT;

class OleDataObjectImpl;

// Offers data in global memory. After SetClipboard the clipboard owns the object (do not delete
// it); otherwise its creator deletes it.
class COleDataSource
{
public:
    COleDataSource();
    virtual ~COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Takes ownership of the memory block, which is offered in the given format.
    void CacheGlobalData(CLIPFORMAT format, HGLOBAL memory);
    // Puts the data on the clipboard and hands this object over to it.
    void SetClipboard();
    // Runs a drag with this data; answers the effect the drop target chose (DROPEFFECT_NONE when
    // cancelled).
    DROPEFFECT DoDragDrop(DROPEFFECT allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE);
    // The COM data object behind this source (not add-referenced).
    IDataObject* GetDataObject() const;

    // Whether data that a source of this program put on the clipboard is still there.
    static BOOL OwnsClipboard();

    // A replacement for the system's drag loop, for tests: it gets the source and the allowed effects
    // and answers the effect. Null restores the system's loop.
    typedef DROPEFFECT (*DragDropHook)(COleDataSource& source, DROPEFFECT allowedEffects);
    static void SetDragDropHook(DragDropHook hook);

private:
    OleDataObjectImpl* m_impl;
};

// Reads the data another source offers: the clipboard's or that of a drag.
class COleDataObject
{
public:
    COleDataObject() = default;
    ~COleDataObject() { Release(); }
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // Uses the given data object; with autoRelease the reference is released when this object lets go.
    void Attach(IDataObject* dataObject, BOOL autoRelease = TRUE);
    IDataObject* Detach();
    BOOL AttachClipboard();
    void Release();

    BOOL IsDataAvailable(CLIPFORMAT format) const;
    // A copy of the data in a new global block that the caller frees; null when not offered.
    HGLOBAL GetGlobalData(CLIPFORMAT format) const;

private:
    IDataObject* m_dataObject = nullptr;
    BOOL m_autoRelease = FALSE;
};

class OleDropTargetImpl;

// Routes the drag events over a registered window to the virtual members below, with points in the
// window's client coordinates.
class COleDropTarget
{
public:
    COleDropTarget();
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    BOOL Register(CWnd* window);
    virtual void Revoke();
    CWnd* GetRegisteredWindow() const { return m_window; }

    virtual DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* dataObject, DWORD keyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* window, COleDataObject* dataObject, DWORD keyState, CPoint point);
    virtual BOOL OnDrop(CWnd* window, COleDataObject* dataObject, DROPEFFECT dropEffect, CPoint point);
    virtual void OnDragLeave(CWnd* window);
    virtual DROPEFFECT OnDragScroll(CWnd* window, DWORD keyState, CPoint point);

private:
    OleDropTargetImpl* m_impl = nullptr;
    CWnd* m_window = nullptr;
};

// A memory file on a growable global block, for building clipboard and drag data.
class CSharedFile
{
public:
    explicit CSharedFile(UINT allocFlags = GMEM_MOVEABLE | GMEM_DDESHARE, UINT growBytes = 4096);
    ~CSharedFile();
    CSharedFile(const CSharedFile&) = delete;
    CSharedFile& operator=(const CSharedFile&) = delete;

    // Appends bytes; false when memory cannot be had (nothing is written then).
    bool Write(const void* data, UINT count);
    UINT GetLength() const { return m_length; }
    // Hands the block over to the caller (its size may exceed the length); null when nothing was
    // allocated.
    HGLOBAL Detach();

private:
    HGLOBAL m_memory = nullptr;
    UINT m_allocFlags;
    UINT m_growBytes;
    UINT m_length = 0;
    UINT m_capacity = 0;
};
