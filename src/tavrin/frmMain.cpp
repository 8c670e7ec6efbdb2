#include "frmMain.h"

#include "AppInfo.h"
#include "basFindWindows.h"

namespace {
const form::FormDef kDef{
    .className = L"TavrinMain",
    .caption = L"Untitled - Tavrin",
    .clientWidth = 6810,
    .clientHeight = 6360,
    .style = WS_OVERLAPPEDWINDOW,
    .dialogKeys = false,
};
}  // namespace

const form::FormDef& frmMain::Definition() const { return kDef; }

void frmMain::Form_Load() {
    AppTitle = L"Tavrin";
    FindSystemFolder();
}
