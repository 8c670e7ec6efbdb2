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

const Faces& InstalledFaces() {
    static const Faces faces = [] {
        Faces f;
        raii::WindowDc screen(nullptr);
        LOGFONTW want{};
        want.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExW(screen.get(), &want, Collect, reinterpret_cast<LPARAM>(&f), 0);
        return f;
    }();
    return faces;
}

}  // namespace

std::wstring Installed(const std::wstring& preferred) {
    const Faces& faces = InstalledFaces();
    if (faces.all.count(preferred)) return preferred;
    for (const wchar_t* face : {L"Consolas", L"Courier New", L"Lucida Console", L"Liberation Mono",
                                L"DejaVu Sans Mono", L"Courier"})
        if (faces.fixed.count(face)) return face;
    return faces.fixed.empty() ? preferred : *faces.fixed.begin();
}

}  // namespace fixedface
