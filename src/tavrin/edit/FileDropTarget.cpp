#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstring>

#include "EditAreaParts.h"

namespace editarea {

namespace {

// Files dragged from a shell window onto the area reach the parent as WM_DROPFILES, as they do
// over the rest of the window. The control's own target takes only text, and would refuse them.
class FileDropTarget final : public IDropTarget {
public:
    explicit FileDropTarget(HWND edit) : edit_(edit) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        files_ = data && data->QueryGetData(&f) == S_OK;
        *effect = files_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = files_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM m{};
        if (!files_ || !data || data->GetData(&f, &m) != S_OK) return S_OK;
        // The parent frees the copy, as it does a WM_DROPFILES of its own.
        const SIZE_T bytes = GlobalSize(m.hGlobal);
        HGLOBAL copy = GlobalAlloc(GHND, bytes);
        if (copy) {
            memcpy(GlobalLock(copy), GlobalLock(m.hGlobal), bytes);
            GlobalUnlock(copy);
            GlobalUnlock(m.hGlobal);
            PostMessageW(GetParent(edit_), WM_DROPFILES, reinterpret_cast<WPARAM>(copy), 0);
            *effect = DROPEFFECT_COPY;
        }
        ReleaseStgMedium(&m);
        return S_OK;
    }

private:
    HWND edit_;
    ULONG refs_ = 1;
    bool files_ = false;
};

}  // namespace

void AcceptFileDrops(HWND edit) {
    RevokeDragDrop(edit);
    auto* target = new FileDropTarget(edit);
    RegisterDragDrop(edit, target);  // held by OLE until the window goes
    target->Release();
}

}  // namespace editarea
