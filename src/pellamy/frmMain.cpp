#include "frmMain.h"

#include "AppInfo.h"
#include "basFindWindows.h"

namespace {
const form::FormDef kDef{
    .className = L"PellamyMain",
    .caption = L"Register or Unregister OCX / DLL",
    .clientWidth = 5805,
    .clientHeight = 2430,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
};
}  // namespace

const form::FormDef& frmMain::Definition() const { return kDef; }

void frmMain::Form_Load() {
    AppTitle = L"Pellamy";
    FindSystemFolder();
}
