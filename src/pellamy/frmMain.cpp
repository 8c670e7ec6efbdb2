#include "frmMain.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <vector>

#include "AppInfo.h"
#include "Command.h"
#include "MenuBar.h"
#include "Modal.h"
#include "Paths.h"
#include "ModuleFile.h"
#include "ModuleVersion.h"
#include "TypeLibInfo.h"
#include "FileKind.h"
#include "PathBox.h"
#include "PeHeader.h"
#include "Raii.h"
#include "RegistrationModes.h"
#include "ChildRun.h"
#include "RegistrationRunner.h"
#include "RunMessage.h"
#include "ResultTexts.h"
#include "TextConv.h"
#include "Texts.h"
#include "VersionBlock.h"
#include "basFindWindows.h"
#include "cResources.h"
#include "frmAbout.h"
#include "mFileOpenSave.h"

using namespace pellamy;

namespace {

const form::FontSpec kBold{L"MS Sans Serif", 8.25, true};
const form::FontSpec kPlain{L"MS Sans Serif", 8.25, false};

constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// In tab order.
const form::Control kControls[] = {
    {frmMain::IdtxtOCXPath, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 180, 690, 4935, 315,
     WS_EX_CLIENTEDGE, &kBold},
    {frmMain::IdlblOCXFileSpec, WC_STATICW, texts::HintDesign, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 180, 120, 5415, 465, 0,
     &kPlain},
    {frmMain::IdcmdRegister, WC_BUTTONW, texts::Register, kButton, 1080, 1920, 1215, 375, 0, &kBold},
    {frmMain::IdcmdUnregister, WC_BUTTONW, texts::Unregister, kButton, 2400, 1920, 1215, 375, 0, &kBold},
    {frmMain::IdcmdExit, WC_BUTTONW, texts::Exit, kButton, 3720, 1920, 1215, 375, 0, &kBold},
    {frmMain::IdcmdDialogFileSpec, WC_BUTTONW, texts::Browse, kButton, 5160, 720, 435, 405, 0, &kBold},
    {frmMain::IdlblFileInfo, WC_STATICW, L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 180, 1320, 5385, 405, 0, &kBold},
    {frmMain::IdlblPleaseVerify, WC_STATICW, texts::PleaseVerify, SS_LEFT | SS_NOPREFIX, 180, 1080, 2925, 225, 0, &kPlain},
    {frmMain::IdcmdProceed, WC_BUTTONW, texts::Proceed, WS_TABSTOP | BS_PUSHBUTTON, 1080, 1920, 1215, 375, 0, &kBold},
    {frmMain::IdcmdCancel, WC_BUTTONW, texts::Cancel, WS_TABSTOP | BS_PUSHBUTTON, 2400, 1920, 1215, 375, 0, &kBold},
};

const form::FormDef kDef{
    .className = L"PellamyMain",
    .caption = texts::Caption,
    .clientWidth = 5805,
    .clientHeight = 2430,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    .controls = kControls,
    .controlCount = std::size(kControls),
};

const form::MenuItem kFileItems[] = {{texts::MenuOpen}, {L"-"}, {texts::MenuExit}};
const form::MenuItem kOperationItems[] = {{texts::MenuRegister}, {texts::MenuUnregister}, {L"-"},
                                          {texts::MenuCurrentUser}, {texts::MenuExport}};
const form::MenuItem kHelpItems[] = {{texts::MenuAbout}};
const form::MenuDef kMenus[] = {
    {texts::MenuFile, frmMain::mnufileBase, kFileItems, std::size(kFileItems)},
    {texts::MenuOperations, frmMain::mnuoperationsBase, kOperationItems, std::size(kOperationItems)},
    {texts::MenuHelp, frmMain::mnuHelpBase, kHelpItems, std::size(kHelpItems)},
};

// The pointer's cursor, loaded once: after a time-out a module's start-up code may still hold the
// loader's lock, which loading a cursor's resource waits for.
HCURSOR PointerCursor(int pointer) {
    static const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT), arrow = LoadCursorW(nullptr, IDC_ARROW);
    return pointer == frmMain::PointerHourglass ? wait : arrow;
}

}  // namespace

const form::FormDef& frmMain::Definition() const { return kDef; }

HMENU frmMain::CreateMenuBar() { return form::BuildMenuBar(kMenus, std::size(kMenus)); }

void frmMain::Form_Load() {
    AppTitle = texts::AppName;
    FindSystemFolder();
    InitialDir = SystemFolder;
    std::wstring example = HintExample(SystemFolder);
    if (!example.empty()) CharUpperBuffW(example.data(), static_cast<DWORD>(example.size()));
    SetText(IdlblOCXFileSpec, std::wstring(texts::HintFirstLine) + L"\r\n" + example);
    SetVisible(IdlblPleaseVerify, false);
    SetButtonState(true);

    // Modules are loaded by full path with their own folder searched; never from the current folder.
    SetDllDirectoryW(L"");
    DragAcceptFiles(Hwnd(), TRUE);
    CreateToolTip();
}

void frmMain::CreateToolTip() {
    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!toolTip_) return;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = Hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(Item(IdcmdDialogFileSpec));
    ti.lpszText = const_cast<wchar_t*>(texts::BrowseTip);
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void frmMain::OnCommand(int id, int notifyCode, HWND control) {
    if (busy_) return;  // one registration at a time; the window answers meanwhile
    if (control) {
        if (id == IdtxtOCXPath) {
            if (notifyCode == EN_CHANGE) txtOCXPath_Change();
            return;
        }
        if (notifyCode != BN_CLICKED) return;
        switch (id) {
        case IdcmdRegister: cmdRegister_Click(); break;
        case IdcmdUnregister: cmdUnregister_Click(); break;
        case IdcmdProceed: cmdProceed_Click(); break;
        case IdcmdCancel: cmdCancel_Click(); break;
        case IdcmdExit: cmdExit_Click(); break;
        case IdcmdDialogFileSpec: cmdDialogFileSpec_Click(); break;
        default: break;
        }
        return;
    }
    if (int i = form::MenuIndex(kMenus[0], id); i >= 0) mnufile_Click(i);
    if (int i = form::MenuIndex(kMenus[1], id); i >= 0) mnuoperations_Click(i);
    if (int i = form::MenuIndex(kMenus[2], id); i >= 0) mnuHelp_Click(i);
}

bool frmMain::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wp);
        std::wstring path;
        if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
            UINT len = DragQueryFileW(drop, 0, nullptr, 0);
            path.assign(len + 1, L'\0');
            path.resize(DragQueryFileW(drop, 0, path.data(), len + 1));
        }
        DragFinish(drop);
        if (!path.empty()) AcceptChosenFile(path);
        result = 0;
        return true;
    }
    case WM_SETCURSOR:
        if (mousePointer_ == PointerHourglass) {
            SetCursor(PointerCursor(PointerHourglass));
            result = TRUE;
            return true;
        }
        return false;
    default:
        return false;
    }
}

// ---- Handlers -----------------------------------------------------------------------------

void frmMain::cmdRegister_Click() {
    if (!ValidatePath()) return;
    ShowVersionInfo(BoxPath());
    RegisterChosen = -1;
    UnregisterChosen = 0;
    SetButtonState(false);
}

void frmMain::cmdUnregister_Click() {
    if (!ValidatePath()) return;
    UnregisterChosen = -1;
    RegisterChosen = 0;
    SetButtonState(false);
}

void frmMain::cmdProceed_Click() {
    if (RegisterChosen) {
        RunRegistration(BoxPath(), L"");
        SetVisible(IdlblPleaseVerify, false);
        SetText(IdlblFileInfo, L"");
    } else {
        RunRegistration(BoxPath(), L"u");
    }
    SetButtonState(true);
}

void frmMain::cmdCancel_Click() {
    txtOCXPath_Change();
    SetButtonState(true);
}

void frmMain::cmdExit_Click() { Unload(); }

void frmMain::cmdDialogFileSpec_Click() { BrowseForFile(); }

void frmMain::txtOCXPath_Change() {
    SetVisible(IdlblPleaseVerify, false);
    SetText(IdlblFileInfo, L"");
}

void frmMain::mnufile_Click(int index) {
    if (index == 0) BrowseForFile();
    if (index == 2) Unload();
}

void frmMain::mnuoperations_Click(int index) {
    if (index == 0) cmdRegister_Click();
    if (index == 1) cmdUnregister_Click();
    if (index == 3) ToggleCurrentUserOnly();
    if (index == 4) ExportRegistrationToFile();
}

void frmMain::mnuHelp_Click(int index) {
    if (index == 0) ShowAboutBox();
}

// The About box both programs share: modeless, without owner, one instance.
void frmMain::ShowAboutBox() { ::ShowAboutBox(); }

// ---- Window operations ----------------------------------------------------------------------

void frmMain::SetButtonState(bool idle) {
    SetVisible(IdcmdRegister, idle);
    SetVisible(IdcmdUnregister, idle);
    SetVisible(IdcmdExit, idle);
    SetVisible(IdcmdProceed, !idle);
    SetVisible(IdcmdCancel, !idle);
    SetEnabled(IdcmdDialogFileSpec, idle);
    SendMessageW(Item(IdtxtOCXPath), EM_SETREADONLY, idle ? FALSE : TRUE, 0);
    // Keep the keyboard focus on a control the user can still reach.
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == Hwnd() && (!IsWindowVisible(focus) || !IsWindowEnabled(focus)))
        SetFocus(Item(idle ? IdcmdRegister : IdcmdProceed));
}

void frmMain::ErrMsgProc(const std::wstring& message) {
    modal::MsgBox(message + L"\r\n" + std::to_wstring(Err().Number) + L"     " + Err().Description, MB_OK, {},
                  Hwnd());
}

std::wstring frmMain::BoxPath() const { return PathFromBox(Text(IdtxtOCXPath)); }

bool frmMain::ValidatePath() {
    const std::wstring text = Text(IdtxtOCXPath);
    if (TrimBlanks(text).empty()) {
        modal::MsgBox(texts::NoPathYet, MB_OK, {}, Hwnd());
        return false;
    }
    // A file locked away by another program is not there for a registration either.
    const std::wstring path = paths::Full(PathFromBox(text));
    if (!paths::IsFile(path) || !IsReadable(path)) {
        modal::MsgBox(texts::FileNotFound, MB_OK, {}, Hwnd());
        return false;
    }
    return true;
}

void frmMain::SetMousePointer(int pointer) {
    mousePointer_ = pointer;
    SetCursor(PointerCursor(pointer));
}

// ---- Version information --------------------------------------------------------------------

bool frmMain::ReadVersionInfo(const std::wstring& path) {
    const ModuleVersion v = ReadModuleVersion(paths::Full(path));
    if (v.hasBlock) LastResult = v.read ? 1 : 0;
    if (!v.read) return false;
    CompanyName = CutCompanyName(v.company);
    ProductVersion = v.product;
    return HasProductVersion(ProductVersion);
}

void frmMain::ShowVersionInfo(const std::wstring& path) {
    // A type library shows its name, version and GUID instead.
    const std::wstring full = paths::Full(path);
    if (KindOf(full) == FileKind::TypeLibrary) {
        const TypeLibInfo lib = ReadTypeLibInfo(full);
        SetVisible(IdlblPleaseVerify, lib.error == 0);
        SetText(IdlblFileInfo, lib.error == 0 ? TypeLibInfoText(lib) : texts::NoProductVersion);
        return;
    }
    if (ReadVersionInfo(path)) {
        SetVisible(IdlblPleaseVerify, true);
        SetText(IdlblFileInfo, FileInfoText(CompanyName, ProductVersion));
    } else {
        SetVisible(IdlblPleaseVerify, false);
        SetText(IdlblFileInfo, texts::NoProductVersion);
    }
}

// ---- Registration ------------------------------------------------------------------------------

FileKind frmMain::KindOf(const std::wstring& fullPath) {
    const std::vector<unsigned char> head = ModuleHeader(fullPath);
    return KindOfFile(fullPath, head.data(), head.size());
}

namespace {

struct BackgroundRun {
    std::function<RunRecord()> work;
    std::function<void(const RunRecord&)> done;
    uitask::Poster poster;
};

DWORD WINAPI RunBackground(void* param) {
    std::unique_ptr<BackgroundRun> run(static_cast<BackgroundRun*>(param));
    RunRecord record = run->work();
    run->poster.Post([done = std::move(run->done), record = std::move(record)] { done(record); });
    return 0;
}

}  // namespace

void frmMain::RunInBackground(std::function<RunRecord()> work, std::function<void(const RunRecord&)> done) {
    if (!mailbox_) mailbox_ = std::make_unique<uitask::Mailbox>();
    busy_ = true;
    SetMousePointer(PointerHourglass);
    auto finish = [this, done = std::move(done)](const RunRecord& record) {
        busy_ = false;
        SetMousePointer(PointerDefault);
        done(record);
    };
    auto* run = new BackgroundRun{std::move(work), finish, mailbox_->GetPoster()};
    if (HANDLE thread = CreateThread(nullptr, 0, &RunBackground, run, 0, nullptr)) {
        CloseHandle(thread);
        return;
    }
    delete run;
    finish(RunRecord{{RunOutcome::NotStarted, GetLastError()}, {}, {}});
}

void frmMain::RunRegistration(const std::wstring& path, const std::wstring& command) {
    const std::wstring full = paths::Full(path);
    const EntryPoint which = EntryForCommand(command);
    if (which == EntryPoint::Unknown) {
        modal::MsgBox(texts::UnknownCommand, MB_OK, {}, Hwnd());
        return;
    }
    const bool perUser = currentUserOnly_;
    const FileKind kind = KindOf(full);
    RunInBackground(
        [full, which, perUser, kind] {
            if (kind == FileKind::LocalServer)
                return RunRecord{RunServer(full, which == EntryPoint::Unregister, perUser), {}, {}};
            return RunInChild({full, perUser ? ChildMode::CurrentUser : ChildMode::Plain, {EntryCall{which, true, {}}}, {},
                               kind == FileKind::TypeLibrary});
        },
        [this, full, which, perUser, kind](const RunRecord& record) {
            const RunResult& result = record.result;
            LastResult = result.outcome == RunOutcome::TimedOut ? static_cast<int32_t>(result.code) : 0;
            std::wstring message = RunMessage(result, full, kind);
            if (perUser)
                message = CurrentUserText(message, result.outcome == RunOutcome::Completed,
                                          which == EntryPoint::Unregister, record.notWritten);
            modal::MsgBox(message, MB_OK, {}, Hwnd());
        });
}

void frmMain::ToggleCurrentUserOnly() {
    currentUserOnly_ = !currentUserOnly_;
    CheckMenuItem(GetMenu(Hwnd()), mnuoperationsBase + 3, MF_BYCOMMAND | (currentUserOnly_ ? MF_CHECKED : MF_UNCHECKED));
}

void frmMain::ExportRegistrationToFile() {
    if (!ValidatePath()) return;
    const std::wstring full = paths::Full(BoxPath());
    const FileKind kind = KindOf(full);
    if (kind == FileKind::LocalServer) {
        modal::MsgBox(texts::ServerNoExport, MB_OK, {}, Hwnd());
        return;
    }
    std::wstring regFile = paths::Name(full);
    regFile = regFile.substr(0, regFile.rfind(L'.')) + L"." + texts::ExportDefaultExt;
    if (!ShowSaveDialog(regFile, texts::ExportFilter, texts::ExportDefaultExt, texts::ExportDialogTitle, Hwnd()))
        return;
    auto message = std::make_shared<std::wstring>();
    RunInBackground(
        [full, regFile, message, kind] {
            const ExportResult result = ExportRegistration(full, regFile, {}, kind == FileKind::TypeLibrary);
            *message = result.summary.empty() ? RunMessage(result.run, full, kind) : result.summary;
            return RunRecord{};
        },
        [this, message](const RunRecord&) { modal::MsgBox(*message, MB_OK, {}, Hwnd()); });
}

// ---- Browsing ---------------------------------------------------------------------------------

void frmMain::BrowseForFile() {
    std::wstring fileName, fileTitle, filter = texts::BrowseFilter, initDir = InitialDir, dlgTitle,
                                      defaultExt = texts::BrowseDefaultExt;
    bool mustExist = true, multiSelect = false, readOnly = false, hideReadOnly = false;
    int32_t filterIndex = 1, flags = 0;
    HWND owner = Hwnd();
    try {
        if (!ShowOpenDialog(fileName, fileTitle, mustExist, multiSelect, readOnly, hideReadOnly, filter, filterIndex,
                            initDir, dlgTitle, defaultExt, owner, flags))
            return;
    } catch (const VbError& e) {
        modal::MsgBox(texts::BrowseErrorPrefix + e.Description(), MB_OK | MB_ICONEXCLAMATION, {}, Hwnd());
        return;
    }
    AcceptChosenFile(fileName);
}

void frmMain::AcceptChosenFile(const std::wstring& path) {
    // A type library proves itself by loading as one.
    if (KindOf(paths::Full(path)) == FileKind::TypeLibrary) {
        const TypeLibInfo lib = ReadTypeLibInfo(paths::Full(path));
        if (lib.error == 0) SetText(IdtxtOCXPath, path);
        else
            modal::MsgBox(texts::BrowseErrorPrefix + LoadFailedText(lib.error, SystemErrorText(lib.error, path), FileKind::TypeLibrary),
                          MB_OK | MB_ICONEXCLAMATION, {}, Hwnd());
        return;
    }
    // Loading it for its resources proves it is a module; the enumerator releases it on every path.
    try {
        cResources resources;
        resources.file(path);
        SetText(IdtxtOCXPath, resources.file());
        resources.GetResourceTypes();
    } catch (const VbError& e) {
        modal::MsgBox(texts::BrowseErrorPrefix + e.Description(), MB_OK | MB_ICONEXCLAMATION, {}, Hwnd());
    }
}
