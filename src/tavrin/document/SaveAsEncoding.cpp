#include "SaveAsEncoding.h"

#include "TextFormat.h"
#include "Texts.h"

namespace {

UINT_PTR CALLBACK EncodingHook(HWND child, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        const auto* ofn = reinterpret_cast<const OPENFILENAMEW*>(lp);
        SetWindowLongPtrW(child, GWLP_USERDATA, ofn->lCustData);
        SetDlgItemTextW(child, SaveAsEncoding::IdLabel, texts::SaveAsEncodingLabel);
        HWND combo = GetDlgItem(child, SaveAsEncoding::IdCombo);
        for (const wchar_t* name : texts::SaveAsEncodings)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        const auto* choice = reinterpret_cast<const SaveAsEncoding*>(ofn->lCustData);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(choice->Index), 0);
        return TRUE;
    }
    if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == CDN_FILEOK) {
        auto* choice = reinterpret_cast<SaveAsEncoding*>(GetWindowLongPtrW(child, GWLP_USERDATA));
        if (choice) choice->Index = static_cast<int>(SendDlgItemMessageW(child, SaveAsEncoding::IdCombo, CB_GETCURSEL, 0, 0));
    }
    return 0;
}

// A dialog template's words: DWORDs low word first, strings as UTF-16 with their NUL.
struct Words {
    std::vector<WORD>& w;
    void Dword(DWORD v) { w.push_back(LOWORD(v)), w.push_back(HIWORD(v)); }
    void Text(const wchar_t* s) {
        for (; *s; ++s) w.push_back(static_cast<WORD>(*s));
        w.push_back(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom) {
        if (w.size() % 2) w.push_back(0);  // each item starts on a DWORD
        Dword(WS_CHILD | WS_VISIBLE | style);
        Dword(0);
        for (short v : {x, y, cx, cy}) w.push_back(static_cast<WORD>(v));
        w.push_back(id);
        w.push_back(0xFFFF), w.push_back(atom);  // a predefined class
        w.push_back(0);                          // no text
        w.push_back(0);                          // no creation data
    }
};

}  // namespace

SaveAsEncoding::SaveAsEncoding(const docfile::FileFormat& format) : Index(textformat::SaveChoiceOf(format)) {
    Words t{template_};
    t.Dword(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL | DS_SETFONT);
    t.Dword(0);
    t.w.push_back(2);  // two controls
    for (short v : {0, 0, 200, 18}) t.w.push_back(static_cast<WORD>(v));
    t.w.push_back(0), t.w.push_back(0), t.w.push_back(0);  // no menu, the dialog class, no title
    t.w.push_back(8);
    t.Text(L"MS Shell Dlg");
    t.Item(SS_LEFT, 7, 4, 50, 10, IdLabel, 0x0082);
    t.Item(WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 60, 2, 120, 80, IdCombo, 0x0085);
}

void SaveAsEncoding::AddTo(OPENFILENAMEW& ofn) {
    ofn.Flags |= OFN_ENABLETEMPLATEHANDLE | OFN_ENABLEHOOK;
    ofn.hInstance = reinterpret_cast<HINSTANCE>(template_.data());
    ofn.lpfnHook = EncodingHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
}

docfile::FileFormat SaveAsEncoding::Chosen(docfile::FileFormat format) const {
    return Index < 0 ? format : textformat::SaveChoice(Index, format.lineEnd);
}
