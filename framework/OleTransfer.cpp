// The COM objects behind the OLE data-transfer classes: a data object over cached global blocks,
// a drop source for the system's drag loop, and a drop target that calls back into C++.
#include "framework/OleTransfer.h"
#include <shlobj.h>
#include <vector>
#include <cstring>

// The IUnknown part of the COM objects below: one interface, reference counted, deleted at zero.
template <class Interface>
class ComObject : public Interface
{
public:
    explicit ComObject(const IID& iid) : m_iid(iid) {}
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == m_iid)
        {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

private:
    const IID& m_iid;
    ULONG m_refs = 1;
};

namespace {

COleDataSource::DragDropHook g_dragDropHook = nullptr;
IDataObject* g_clipboardObject = nullptr;   // compared only, never used

HGLOBAL CopyGlobal(HGLOBAL source)
{
    SIZE_T size = ::GlobalSize(source);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!copy)
        return nullptr;
    void* from = ::GlobalLock(source);
    void* to = ::GlobalLock(copy);
    if (from && to && size)
        std::memcpy(to, from, size);
    if (from)
        ::GlobalUnlock(source);
    if (to)
        ::GlobalUnlock(copy);
    return copy;
}

class DropSourceImpl : public ComObject<IDropSource>
{
public:
    DropSourceImpl() : ComObject<IDropSource>(IID_IDropSource) {}
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override
    {
        if (escapePressed)
            return DRAGDROP_S_CANCEL;
        if (!(keyState & (MK_LBUTTON | MK_RBUTTON)))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

};

} // namespace

// The data object: one cached global block per format.
class OleDataObjectImpl : public ComObject<IDataObject>
{
public:
    OleDataObjectImpl() : ComObject<IDataObject>(IID_IDataObject) {}
    ~OleDataObjectImpl() override
    {
        for (Entry& entry : m_entries)
            ::GlobalFree(entry.memory);
    }

    void Cache(CLIPFORMAT format, HGLOBAL memory)
    {
        for (Entry& entry : m_entries)
        {
            if (entry.format == format)
            {
                ::GlobalFree(entry.memory);
                entry.memory = memory;
                return;
            }
        }
        m_entries.push_back(Entry{format, memory});
    }


    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        const Entry* entry = Find(format);
        if (!entry)
            return DV_E_FORMATETC;
        HGLOBAL copy = CopyGlobal(entry->memory);
        if (!copy)
            return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return Find(format) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        std::vector<FORMATETC> formats;
        for (const Entry& entry : m_entries)
            formats.push_back(FORMATETC{entry.format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), enumerator);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    struct Entry
    {
        CLIPFORMAT format;
        HGLOBAL memory;
    };
    const Entry* Find(const FORMATETC* format) const
    {
        if (!format || !(format->tymed & TYMED_HGLOBAL))
            return nullptr;
        for (const Entry& entry : m_entries)
            if (entry.format == format->cfFormat)
                return &entry;
        return nullptr;
    }

    std::vector<Entry> m_entries;
};

// ---- COleDataSource ---------------------------------------------------------------------------

COleDataSource::COleDataSource() : m_impl(new OleDataObjectImpl) {}

COleDataSource::~COleDataSource()
{
    m_impl->Release();
}

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL memory)
{
    m_impl->Cache(format, memory);
}

IDataObject* COleDataSource::GetDataObject() const
{
    return m_impl;
}

void COleDataSource::SetClipboard()
{
    if (SUCCEEDED(::OleSetClipboard(m_impl)))
        g_clipboardObject = m_impl;
    delete this;   // the clipboard keeps its own reference to the data
}

BOOL COleDataSource::OwnsClipboard()
{
    return g_clipboardObject && ::OleIsCurrentClipboard(g_clipboardObject) == S_OK;
}

void COleDataSource::SetDragDropHook(DragDropHook hook)
{
    g_dragDropHook = hook;
}

DROPEFFECT COleDataSource::DoDragDrop(DROPEFFECT allowedEffects)
{
    if (g_dragDropHook)
        return g_dragDropHook(*this, allowedEffects);
    DropSourceImpl* source = new DropSourceImpl;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(m_impl, source, allowedEffects, &effect);
    source->Release();
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

// ---- COleDataObject ---------------------------------------------------------------------------

void COleDataObject::Attach(IDataObject* dataObject, BOOL autoRelease)
{
    Release();
    m_dataObject = dataObject;
    m_autoRelease = autoRelease;
}

IDataObject* COleDataObject::Detach()
{
    IDataObject* dataObject = m_dataObject;
    m_dataObject = nullptr;
    return dataObject;
}

BOOL COleDataObject::AttachClipboard()
{
    IDataObject* dataObject = nullptr;
    if (FAILED(::OleGetClipboard(&dataObject)) || !dataObject)
        return FALSE;
    Attach(dataObject, TRUE);
    return TRUE;
}

void COleDataObject::Release()
{
    if (m_dataObject && m_autoRelease)
        m_dataObject->Release();
    m_dataObject = nullptr;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT format) const
{
    if (!m_dataObject)
        return FALSE;
    FORMATETC etc = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return m_dataObject->QueryGetData(&etc) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT format) const
{
    if (!m_dataObject)
        return nullptr;
    FORMATETC etc = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(m_dataObject->GetData(&etc, &medium)))
        return nullptr;
    HGLOBAL result = nullptr;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal)
        result = CopyGlobal(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return result;
}

// ---- COleDropTarget ---------------------------------------------------------------------------

class OleDropTargetImpl : public ComObject<IDropTarget>
{
public:
    explicit OleDropTargetImpl(COleDropTarget* owner) : ComObject<IDropTarget>(IID_IDropTarget), m_owner(owner) {}
    void Disconnect() { m_owner = nullptr; }


    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override
    {
        if (m_current)
            m_current->Release();
        m_current = data;
        if (m_current)
            m_current->AddRef();
        *effect = Forward(keys, pt, true);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override
    {
        *effect = Forward(keys, pt, false);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        if (m_owner && m_owner->GetRegisteredWindow())
            m_owner->OnDragLeave(m_owner->GetRegisteredWindow());
        ReleaseCurrent();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override
    {
        DWORD chosen = Forward(keys, pt, false);
        BOOL dropped = FALSE;
        if (m_owner && m_owner->GetRegisteredWindow() && chosen != DROPEFFECT_NONE)
        {
            COleDataObject object;
            object.Attach(data, FALSE);
            dropped = m_owner->OnDrop(m_owner->GetRegisteredWindow(), &object, chosen, ClientPoint(pt));
        }
        else if (m_owner && m_owner->GetRegisteredWindow())
        {
            m_owner->OnDragLeave(m_owner->GetRegisteredWindow());
        }
        *effect = dropped ? chosen : DROPEFFECT_NONE;
        ReleaseCurrent();
        return S_OK;
    }

private:
    CPoint ClientPoint(POINTL pt) const
    {
        POINT point = {pt.x, pt.y};
        ::ScreenToClient(m_owner->GetRegisteredWindow()->GetSafeHwnd(), &point);
        return CPoint(point);
    }
    DWORD Forward(DWORD keys, POINTL pt, bool enter)
    {
        if (!m_owner || !m_owner->GetRegisteredWindow())
            return DROPEFFECT_NONE;
        COleDataObject object;
        object.Attach(m_current, FALSE);
        CWnd* window = m_owner->GetRegisteredWindow();
        CPoint point = ClientPoint(pt);
        return enter ? m_owner->OnDragEnter(window, &object, keys, point)
                     : m_owner->OnDragOver(window, &object, keys, point);
    }
    void ReleaseCurrent()
    {
        if (m_current)
            m_current->Release();
        m_current = nullptr;
    }

    COleDropTarget* m_owner;
    IDataObject* m_current = nullptr;
};

COleDropTarget::COleDropTarget() = default;

COleDropTarget::~COleDropTarget()
{
    COleDropTarget::Revoke();
}

BOOL COleDropTarget::Register(CWnd* window)
{
    if (!window || !window->GetSafeHwnd() || m_impl)
        return FALSE;
    OleDropTargetImpl* impl = new OleDropTargetImpl(this);
    if (FAILED(::RegisterDragDrop(window->GetSafeHwnd(), impl)))
    {
        impl->Release();
        return FALSE;
    }
    m_impl = impl;
    m_window = window;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (!m_impl)
        return;
    if (m_window && ::IsWindow(m_window->GetSafeHwnd()))
        ::RevokeDragDrop(m_window->GetSafeHwnd());
    m_impl->Disconnect();
    m_impl->Release();
    m_impl = nullptr;
    m_window = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

void COleDropTarget::OnDragLeave(CWnd*) {}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

// ---- CSharedFile ------------------------------------------------------------------------------

CSharedFile::CSharedFile(UINT allocFlags, UINT growBytes)
    : m_allocFlags(allocFlags), m_growBytes(growBytes ? growBytes : 4096)
{
}

CSharedFile::~CSharedFile()
{
    if (m_memory)
        ::GlobalFree(m_memory);
}

bool CSharedFile::Write(const void* data, UINT count)
{
    if (count == 0)
        return true;
    if (m_length + count > m_capacity)
    {
        UINT needed = m_length + count;
        UINT capacity = (needed + m_growBytes - 1) / m_growBytes * m_growBytes;
        HGLOBAL grown = m_memory ? ::GlobalReAlloc(m_memory, capacity, m_allocFlags)
                                 : ::GlobalAlloc(m_allocFlags, capacity);
        if (!grown)
            return false;
        m_memory = grown;
        m_capacity = capacity;
    }
    BYTE* bytes = static_cast<BYTE*>(::GlobalLock(m_memory));
    if (!bytes)
        return false;
    std::memcpy(bytes + m_length, data, count);
    ::GlobalUnlock(m_memory);
    m_length += count;
    return true;
}

HGLOBAL CSharedFile::Detach()
{
    HGLOBAL memory = m_memory;
    m_memory = nullptr;
    m_length = m_capacity = 0;
    return memory;
}
