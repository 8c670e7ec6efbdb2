#include "FixedFace.h"

#include <windows.h>

#include <set>

#include "Raii.h"

namespace fixedface {

namespace {

struct Faces {
    std::set<std::wstring> all, fixed;
};

int CALLBACK Collect(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto& faces = *reinterpret_cast<Faces*>(param);
    if (lf->lfFaceName[0] == L'@') return 1;  // vertical variants
    faces.all.insert(lf->lfFaceName);
    if ((lf->lfPitchAndFamily & 0x3) == FIXED_PITCH) faces.fixed.insert(lf->lfFaceName);
    return 1;
}

// The installed faces named `face` (every face when empty). Listing every face costs a start-up
// about 10 ms; one family costs next to nothing.
Faces Enumerate(const std::wstring& face) {
    Faces f;
    raii::WindowDc screen(nullptr);
    LOGFONTW want{};
    want.lfCharSet = DEFAULT_CHARSET;
    if (face.size() >= LF_FACESIZE) return f;
    face.copy(want.lfFaceName, face.size());
    EnumFontFamiliesExW(screen.get(), &want, Collect, reinterpret_cast<LPARAM>(&f), 0);
    return f;
}

}  // namespace

std::wstring Installed(const std::wstring& preferred) {
    if (Enumerate(preferred).all.count(preferred)) return preferred;
    for (const wchar_t* face : {L"Consolas", L"Courier New", L"Lucida Console", L"Liberation Mono",
                                L"DejaVu Sans Mono", L"Courier"})
        if (Enumerate(face).fixed.count(face)) return face;
    const Faces every = Enumerate(L"");
    return every.fixed.empty() ? preferred : *every.fixed.begin();
}

}  // namespace fixedface
