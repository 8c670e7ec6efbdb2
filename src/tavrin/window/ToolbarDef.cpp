#include "ToolbarDef.h"

#include "Texts.h"

namespace toolbar {

namespace {

constexpr Position kPositions[kCount] = {
    {L"New", texts::TipNew, L"New", Kind::Button, false, true},
    {L"Open", texts::TipOpen, L"Open", Kind::Button, false, true},
    {L"Save", texts::TipSave, L"Save", Kind::Button, false, true},
    {nullptr, nullptr, nullptr, Kind::Separator, false, true},
    {L"Print", texts::TipPrint, L"Print", Kind::Button, false, true},
    {L"PREVIEW", nullptr, L"PREVIEW", Kind::Button, true, true},
    {nullptr, nullptr, nullptr, Kind::Separator, false, true},
    {L"Cut", texts::TipCut, L"Cut", Kind::Button, false, true},
    {L"Copy", texts::TipCopy, L"Copy", Kind::Button, false, true},
    {L"Paste", texts::TipPaste, L"Paste", Kind::Button, false, false},
    {L"Find", texts::TipFind, L"Find", Kind::Button, false, true},
    {nullptr, nullptr, nullptr, Kind::Separator, false, true},
    {L"Redo", texts::TipRedo, L"Redo", Kind::Button, true, true},
    {L"Undo", texts::TipUndo, L"Undo", Kind::Button, false, true},
};

constexpr const wchar_t* kImageKeys[kImageCount] = {L"New",  L"Open",  L"Save", L"Print", L"PREVIEW", L"Cut",
                                                     L"Copy", L"Paste", L"Find", L"Redo",  L"Undo"};

}  // namespace

const Position* Positions() { return kPositions; }

const wchar_t* const* ImageKeys() { return kImageKeys; }

int ImageIndex(std::wstring_view imageKey) {
    for (size_t i = 0; i < kImageCount; ++i)
        if (imageKey == kImageKeys[i]) return static_cast<int>(i);
    return -1;
}

Route RouteKey(std::wstring_view key) {
    if (key == L"New") return {Target::FileMenu, 0};
    if (key == L"Open") return {Target::FileMenu, 1};
    if (key == L"Save") return {Target::FileMenu, 3};
    if (key == L"Print") return {Target::QuickPrint, -1};
    if (key == L"Cut") return {Target::EditMenu, 2};
    if (key == L"Copy") return {Target::EditMenu, 3};
    if (key == L"Paste") return {Target::EditMenu, 4};
    if (key == L"Find") return {Target::EditMenu, 7};
    if (key == L"Undo") return {Target::EditMenu, 0};
    return {};
}

}  // namespace toolbar
