#include "frmMain.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>

#include <atomic>
#include <vector>

#include "frmAbout.h"
#include "AppInfo.h"
#include "MenuBar.h"
#include "Modal.h"
#include "Command.h"
#include "PathBox.h"
#include "PeHeader.h"
#include "ResultTexts.h"
#include "VersionBlock.h"
#include "Raii.h"
#include "SystemLibraries.h"
#include "TextConv.h"
#include "Texts.h"
#include "basFindWindows.h"
#include "cResources.h"
#include "mFileOpenSave.h"

using namespace pellamy;

namespace {

const form::FontSpec kBold{L"MS Sans Serif", 8.25, true};
const form::FontSpec kPlain{L"MS Sans Serif", 8.25, false};

constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// In tab order.
const form::Control kControls[] = {
    {frmMain::txtOCXPath, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 180, 690, 4935, 315,
     WS_EX_CLIENTEDGE, &kBold},
    {frmMain::lblOCXFileSpec, WC_STATICW, txt::HintDesign, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 180, 120, 5415, 465, 0,
     &kPlain},
    {frmMain::cmdRegister, WC_BUTTONW, txt::Register, kButton, 1080, 1920, 1215, 375, 0, &kBold},
    {frmMain::cmdUnregister, WC_BUTTONW, txt::Unregister, kButton, 2400, 1920, 1215, 375, 0, &kBold},
    {frmMain::cmdExit, WC_BUTTONW, txt::Exit, kButton, 3720, 1920, 1215, 375, 0, &kBold},
    {frmMain::cmdDialogFileSpec, WC_BUTTONW, txt::Browse, kButton, 5160, 720, 435, 405, 0, &kBold},
    {frmMain::lblFileInfo, WC_STATICW, L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 180, 1320, 5385, 405, 0, &kBold},
    {frmMain::lblPleaseVerify, WC_STATICW, txt::PleaseVerify, SS_LEFT | SS_NOPREFIX, 180, 1080, 2925, 225, 0, &kPlain},
    {frmMain::cmdProceed, WC_BUTTONW, txt::Proceed, WS_TABSTOP | BS_PUSHBUTTON, 1080, 1920, 1215, 375, 0, &kBold},
    {frmMain::cmdCancel, WC_BUTTONW, txt::Cancel, WS_TABSTOP | BS_PUSHBUTTON, 2400, 1920, 1215, 375, 0, &kBold},
};

const form::FormDef kDef{
    .className = L"PellamyMain",
    .caption = txt::Caption,
    .clientWidth = 5805,
    .clientHeight = 2430,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    .controls = kControls,
    .controlCount = std::size(kControls),
};

const form::MenuItem kFileItems[] = {{txt::MenuOpen}, {L"-"}, {txt::MenuExit}};
const form::MenuItem kOperationItems[] = {{txt::MenuRegister}, {txt::MenuUnregister}};
const form::MenuItem kHelpItems[] = {{txt::MenuAbout}};
const form::MenuDef kMenus[] = {
    {txt::MenuFile, frmMain::mnufileBase, kFileItems, std::size(kFileItems)},
    {txt::MenuOperations, frmMain::mnuoperationsBase, kOperationItems, std::size(kOperationItems)},
    {txt::MenuHelp, frmMain::mnuHelpBase, kHelpItems, std::size(kHelpItems)},
};

std::wstring FullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    return full;
}

// The system's text for a status; HRESULTs that wrap a Windows error fall back to that error's text.
std::wstring StatusText(DWORD status, const std::wstring& module) {
    std::wstring text = SystemErrorText(status, module);
    if (text.empty() && HRESULT_FACILITY(status) == FACILITY_WIN32)
        text = SystemErrorText(HRESULT_CODE(status), module);
    return text;
}

// Up to `want` bytes from the start of a file.
std::vector<unsigned char> ReadHead(const std::wstring& path, size_t want) {
    std::vector<unsigned char> bytes;
    raii::File f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return bytes;
    bytes.resize(want);
    DWORD got = 0;
    if (!ReadFile(f.get(), bytes.data(), static_cast<DWORD>(want), &got, nullptr)) got = 0;
    bytes.resize(got);
    return bytes;
}

// The pointer's cursor, loaded once: after a time-out a module's start-up code may still hold the
// loader's lock, which loading a cursor's resource waits for.
HCURSOR PointerCursor(int pointer) {
    static const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT), arrow = LoadCursorW(nullptr, IDC_ARROW);
    return pointer == frmMain::PointerHourglass ? wait : arrow;
}

// The file's first bytes, as many as its PE header needs.
std::vector<unsigned char> ModuleHeader(const std::wstring& path) {
    std::vector<unsigned char> head = ReadHead(path, 4096);
    const size_t need = PeHeaderBytesNeeded(head.data(), head.size());
    if (need > head.size() && need <= (1u << 20)) head = ReadHead(path, need);
    return head;
}

// The version library is loaded at first use, from the system folder: imported at load time, a
// copy planted beside the program would be found first.
struct VersionApi {
    decltype(&GetFileVersionInfoSizeW) infoSize = nullptr;
    decltype(&GetFileVersionInfoW) info = nullptr;
    decltype(&VerQueryValueW) query = nullptr;
    bool ready = false;
};

template <class Fn>
void Bind(Fn& fn, HMODULE module, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const VersionApi& Version() {
    static const VersionApi api = [] {
        VersionApi a;
        if (HMODULE m = syslib::LoadSystemLibrary(L"version.dll")) {  // kept for the program's life
            Bind(a.infoSize, m, "GetFileVersionInfoSizeW");
            Bind(a.info, m, "GetFileVersionInfoW");
            Bind(a.query, m, "VerQueryValueW");
        }
        a.ready = a.infoSize && a.info && a.query;
        return a;
    }();
    return api;
}

// ---- The registration worker --------------------------------------------------------------

enum RunState : int { kRunning, kFinished, kAbandoned };

// Shared by the window thread and one worker. Whoever sees the other gone releases it. The worker
// loads the module itself: its start-up code runs under the same time limit as the entry point.
struct WorkerRun {
    std::wstring path;
    const char* entryName = nullptr;
    HMODULE module = nullptr;
    DWORD loadError = 0;  // nonzero: the module did not load
    bool noEntry = false;
    std::atomic<int> state{kRunning};
    DWORD status = 0;
    bool crashed = false;
    DWORD exceptionCode = 0;
    ULONG_PTR stackTop = 0;  // near the top of the worker's stack, above the entry point's frames
};

// Dependencies come from the module's own folder and the system, never the current folder.
HMODULE LoadRegisteredModule(const std::wstring& path, DWORD& error) {
    HMODULE module =
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)  // a system without the search flags
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    error = module ? 0 : GetLastError();
    if (!module && error == 0) error = ERROR_GEN_FAILURE;
    return module;
}

using EntryFn = HRESULT(STDAPICALLTYPE*)();

DWORD g_workerSlot = TLS_OUT_OF_INDEXES;  // the worker's WorkerRun, for the exception filter
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;

// Releases the module here too, so that its clean-up code is under the limit as well. This runs
// in our own code, so the module's code is no longer in use.
DWORD FinishWorker(WorkerRun* run, DWORD status) {
    run->status = status;
    if (HMODULE module = run->module) {
        run->module = nullptr;
        FreeLibrary(module);
    }
    int expected = kRunning;
    if (run->state.compare_exchange_strong(expected, kFinished)) return status;
    delete run;  // the window gave up waiting: nobody else will release it
    return status;
}

[[noreturn]] void WorkerBail() {
    auto* run = static_cast<WorkerRun*>(TlsGetValue(g_workerSlot));
    TlsSetValue(g_workerSlot, nullptr);
    ExitThread(FinishWorker(run, run->exceptionCode));
}

// A fault the module does not handle itself ends only its worker: the worker is sent to WorkerBail
// on the top of its own stack (the entry point's frames are dead, and a stack overflow leaves no
// room below) instead of taking the process down.
LONG WINAPI WorkerExceptionFilter(EXCEPTION_POINTERS* ep) {
    auto* run = g_workerSlot == TLS_OUT_OF_INDEXES ? nullptr : static_cast<WorkerRun*>(TlsGetValue(g_workerSlot));
    if (run && !run->crashed) {
        run->crashed = true;
        run->exceptionCode = ep->ExceptionRecord->ExceptionCode;
        CONTEXT* c = ep->ContextRecord;
#ifdef _WIN64
        c->Rsp = ((run->stackTop - 1024) & ~static_cast<DWORD64>(15)) - 8;
        c->Rip = reinterpret_cast<DWORD64>(&WorkerBail);
#else
        c->Esp = ((run->stackTop - 1024) & ~static_cast<DWORD>(15)) - 4;
        c->Eip = reinterpret_cast<DWORD>(&WorkerBail);
#endif
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return g_previousFilter ? g_previousFilter(ep) : EXCEPTION_CONTINUE_SEARCH;
}

void PrepareWorkers() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    g_workerSlot = TlsAlloc();
    g_previousFilter = SetUnhandledExceptionFilter(&WorkerExceptionFilter);
}

// COM servers expect OLE on the thread that calls their entry points.
DWORD WINAPI RegistrationWorker(void* param) {
    auto* run = static_cast<WorkerRun*>(param);
    volatile char top = 0;
    run->stackTop = reinterpret_cast<ULONG_PTR>(&top);
    TlsSetValue(g_workerSlot, run);
    HRESULT ole = OleInitialize(nullptr);
    HRESULT status = S_OK;
    run->module = LoadRegisteredModule(run->path, run->loadError);
    // A run the window gave up on while the module started does not register late.
    if (run->module && run->state.load() == kRunning) {
        if (FARPROC entry = GetProcAddress(run->module, run->entryName))
            status = reinterpret_cast<EntryFn>(reinterpret_cast<void*>(entry))();
        else
            run->noEntry = true;
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    TlsSetValue(g_workerSlot, nullptr);
    return FinishWorker(run, static_cast<DWORD>(status));
}

}  // namespace

const form::FormDef& frmMain::Definition() const { return kDef; }

HMENU frmMain::CreateMenuBar() { return form::BuildMenuBar(kMenus, std::size(kMenus)); }

void frmMain::Form_Load() {
    AppTitle = txt::AppName;
    FindSystemFolder();
    InitialDir = SystemFolder;
    std::wstring example = HintExample(SystemFolder);
    if (!example.empty()) CharUpperBuffW(example.data(), static_cast<DWORD>(example.size()));
    SetText(lblOCXFileSpec, std::wstring(txt::HintFirstLine) + L"\r\n" + example);
    SetVisible(lblPleaseVerify, false);
    SetButtonState(true);

    // Modules are loaded by full path with their own folder searched; never from the current folder.
    SetDllDirectoryW(L"");
    if (otherBuildFolder_.empty()) otherBuildFolder_ = ProgramFolder();
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
    ti.uId = reinterpret_cast<UINT_PTR>(Item(cmdDialogFileSpec));
    ti.lpszText = const_cast<wchar_t*>(txt::BrowseTip);
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void frmMain::OnCommand(int id, int notifyCode, HWND control) {
    if (control) {
        if (id == txtOCXPath) {
            if (notifyCode == EN_CHANGE) txtOCXPath_Change();
            return;
        }
        if (notifyCode != BN_CLICKED) return;
        switch (id) {
        case cmdRegister: cmdRegister_Click(); break;
        case cmdUnregister: cmdUnregister_Click(); break;
        case cmdProceed: cmdProceed_Click(); break;
        case cmdCancel: cmdCancel_Click(); break;
        case cmdExit: cmdExit_Click(); break;
        case cmdDialogFileSpec: cmdDialogFileSpec_Click(); break;
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
        SetVisible(lblPleaseVerify, false);
        SetText(lblFileInfo, L"");
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
    SetVisible(lblPleaseVerify, false);
    SetText(lblFileInfo, L"");
}

void frmMain::mnufile_Click(int index) {
    if (index == 0) BrowseForFile();
    if (index == 2) Unload();
}

void frmMain::mnuoperations_Click(int index) {
    if (index == 0) cmdRegister_Click();
    if (index == 1) cmdUnregister_Click();
}

void frmMain::mnuHelp_Click(int index) {
    if (index == 0) ShowAboutBox();
}

// The integrator switches this to the shared About box (modeless, without owner).
// Modeless and without owner, one instance: the shared About box.
void frmMain::ShowAboutBox() { ::ShowAboutBox(); }

// ---- Window operations ----------------------------------------------------------------------

void frmMain::SetButtonState(bool idle) {
    SetVisible(cmdRegister, idle);
    SetVisible(cmdUnregister, idle);
    SetVisible(cmdExit, idle);
    SetVisible(cmdProceed, !idle);
    SetVisible(cmdCancel, !idle);
    SetEnabled(cmdDialogFileSpec, idle);
    SendMessageW(Item(txtOCXPath), EM_SETREADONLY, idle ? FALSE : TRUE, 0);
    // Keep the keyboard focus on a control the user can still reach.
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == Hwnd() && (!IsWindowVisible(focus) || !IsWindowEnabled(focus)))
        SetFocus(Item(idle ? cmdRegister : cmdProceed));
}

bool frmMain::IsFileThere(const std::wstring& path) {
    if (path.empty()) return false;
    raii::File f(CreateFileW(FullPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(f);
}

void frmMain::ErrMsgProc(const std::wstring& message) {
    modal::MsgBox(message + L"\r\n" + std::to_wstring(Err().Number) + L"     " + Err().Description, MB_OK, {},
                  Hwnd());
}

std::wstring frmMain::BoxPath() const { return PathFromBox(Text(txtOCXPath)); }

bool frmMain::ValidatePath() {
    const std::wstring text = Text(txtOCXPath);
    if (TrimBlanks(text).empty()) {
        modal::MsgBox(txt::NoPathYet, MB_OK, {}, Hwnd());
        return false;
    }
    if (!IsFileThere(PathFromBox(text))) {
        modal::MsgBox(txt::FileNotFound, MB_OK, {}, Hwnd());
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
    const VersionApi& api = Version();
    if (!api.ready) return false;
    const std::wstring full = FullPath(path);
    DWORD ignored = 0;
    const DWORD size = api.infoSize(full.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<unsigned char> block(size);
    LastResult = api.info(full.c_str(), 0, size, block.data()) ? 1 : 0;
    if (LastResult == 0) return false;
    CompanyName.clear();
    ProductVersion.clear();

    // Lengths in the block are the file's word: every value is kept inside the block.
    void* p = nullptr;
    UINT len = 0;
    const uint16_t* table = nullptr;
    size_t words = 0;
    if (api.query(block.data(), L"\\VarFileInfo\\Translation", &p, &len) && p) {
        words = ItemsInBlock(block.data(), block.size(), p, len / sizeof(uint16_t), sizeof(uint16_t));
        if (reinterpret_cast<uintptr_t>(p) % alignof(uint16_t) == 0) table = static_cast<const uint16_t*>(p);
    }
    const std::vector<Translation> candidates = CandidateTranslations(table, words);
    // Each value comes from the first translation that has it.
    auto value = [&](const wchar_t* key, std::wstring& out) {
        for (const Translation& t : candidates) {
            const std::wstring query = L"\\StringFileInfo\\" + TranslationKey(t) + L"\\" + key;
            void* v = nullptr;
            UINT chars = 0;
            if (api.query(block.data(), query.c_str(), &v, &chars) && v) {
                out = VersionString(block.data(), block.size(), v, chars);
                return;
            }
        }
    };
    value(L"CompanyName", CompanyName);
    value(L"ProductVersion", ProductVersion);
    CompanyName = CutCompanyName(CompanyName);
    return HasProductVersion(ProductVersion);
}

void frmMain::ShowVersionInfo(const std::wstring& path) {
    if (ReadVersionInfo(path)) {
        SetVisible(lblPleaseVerify, true);
        SetText(lblFileInfo, FileInfoText(CompanyName, ProductVersion));
    } else {
        SetVisible(lblPleaseVerify, false);
        SetText(lblFileInfo, txt::NoProductVersion);
    }
}

// ---- The registration runner ----------------------------------------------------------------

bool frmMain::CheckBitness(const std::wstring& fullPath) {
    const std::vector<unsigned char> head = ModuleHeader(fullPath);
    const Bitness module = PeBitness(head.data(), head.size());
    const Bitness own = sizeof(void*) == 8 ? Bitness::Bits64 : Bitness::Bits32;
    // A module for another processor is tried all the same (the system may emulate it); its
    // failure to load names the processor.
    if (module == Bitness::NotPe || module == own || module == Bitness::OtherProcessor) return true;

    const std::wstring other = otherBuildFolder_ + L"\\" + BuildFor(module);
    const DWORD attrs = GetFileAttributesW(other.c_str());
    const bool offer = attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
    const int answer = modal::MsgBox(OtherBitnessText(module, offer), offer ? MB_YESNO : MB_OK, {}, Hwnd());
    if (offer && answer == IDYES) {
        std::wstring cmd = L"\"" + other + L"\" \"" + fullPath + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(other.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            raii::Handle process(pi.hProcess), thread(pi.hThread);
        } else {
            const DWORD err = GetLastError();
            modal::MsgBox(std::wstring(txt::StartOtherFailed) + other + L"\r\n" + SystemErrorText(err, other), MB_OK,
                          {}, Hwnd());
        }
    }
    return false;
}

void frmMain::RunRegistration(const std::wstring& path, const std::wstring& command) {
    const std::wstring full = FullPath(path);
    if (!CheckBitness(full)) return;
    const EntryPoint which = EntryForCommand(command);
    if (which == EntryPoint::Unknown) {
        modal::MsgBox(txt::UnknownCommand, MB_OK, {}, Hwnd());
        return;
    }

    SetMousePointer(PointerHourglass);
    PrepareWorkers();
    auto* run = new WorkerRun;
    run->path = full;
    run->entryName = EntryPointName(which);
    DWORD threadId = 0;
    raii::Handle thread(CreateThread(nullptr, 0, &RegistrationWorker, run, 0, &threadId));
    if (!thread) {
        delete run;
        SetMousePointer(PointerDefault);
        modal::MsgBox(txt::NoEntryPoint, MB_OK, {}, Hwnd());
        return;
    }

    LastResult = static_cast<int32_t>(WaitForSingleObject(thread.get(), WorkerWaitMs));
    if (LastResult != 0) {
        SetMousePointer(PointerDefault);
        modal::MsgBox(txt::TimedOut, MB_OK, {}, Hwnd());
        DWORD exitCode = 0;
        GetExitCodeThread(thread.get(), &exitCode);
        int expected = kRunning;
        if (exitCode == STILL_ACTIVE && run->state.compare_exchange_strong(expected, kAbandoned))
            return;  // the worker releases the module and the run when it ends; its handle is closed here
        // It ended meanwhile and is past the module's code.
        WaitForSingleObject(thread.get(), INFINITE);
        thread.reset();
        if (run->module) FreeLibrary(run->module);
        delete run;
        return;
    }

    const bool crashed = run->crashed;
    DWORD status = crashed ? run->exceptionCode : run->status;
    // A worker that never came back to us was ended inside the module (ExitThread, or a fault
    // the system handled by ending the thread); the module is still ours to release.
    const bool vanished = !crashed && run->state.load() == kRunning;
    if (vanished) GetExitCodeThread(thread.get(), &status);
    thread.reset();
    const DWORD loadError = run->loadError;
    const bool noEntry = run->noEntry;
    if (run->module) FreeLibrary(run->module);
    delete run;
    SetMousePointer(PointerDefault);
    if (crashed) {
        modal::MsgBox(EntryCrashedText(status), MB_OK, {}, Hwnd());
    } else if (vanished) {
        modal::MsgBox(EntryEndedThreadText(status), MB_OK, {}, Hwnd());
    } else if (loadError) {
        const std::vector<unsigned char> head = ModuleHeader(full);
        if (PeBitness(head.data(), head.size()) == Bitness::OtherProcessor)
            modal::MsgBox(OtherProcessorText(PeMachine(head.data(), head.size())), MB_OK, {}, Hwnd());
        else
            modal::MsgBox(LoadFailedText(loadError, SystemErrorText(loadError, full)), MB_OK, {}, Hwnd());
    } else if (noEntry) {
        modal::MsgBox(txt::NoEntryPoint, MB_OK, {}, Hwnd());
    } else if (IsFailureStatus(status)) {
        modal::MsgBox(EntryFailedText(status, StatusText(status, full)), MB_OK, {}, Hwnd());
    } else {
        modal::MsgBox(txt::Completed, MB_OK, {}, Hwnd());
    }
}

// ---- Browsing ---------------------------------------------------------------------------------

void frmMain::BrowseForFile() {
    std::wstring fileName, fileTitle, filter = txt::BrowseFilter, initDir = InitialDir, dlgTitle,
                                      defaultExt = txt::BrowseDefaultExt;
    bool mustExist = true, multiSelect = false, readOnly = false, hideReadOnly = false;
    int32_t filterIndex = 1, flags = 0;
    HWND owner = Hwnd();
    try {
        if (!ShowOpenDialog(fileName, fileTitle, mustExist, multiSelect, readOnly, hideReadOnly, filter, filterIndex,
                            initDir, dlgTitle, defaultExt, owner, flags))
            return;
    } catch (const VbError& e) {
        modal::MsgBox(txt::BrowseErrorPrefix + e.Description(), MB_OK | MB_ICONEXCLAMATION, {}, Hwnd());
        return;
    }
    AcceptChosenFile(fileName);
}

void frmMain::AcceptChosenFile(const std::wstring& path) {
    // Loading it for its resources proves it is a module; the enumerator releases it on every path.
    try {
        cResources resources;
        resources.file(path);
        SetText(txtOCXPath, resources.file());
        resources.GetResourceTypes();
    } catch (const VbError& e) {
        modal::MsgBox(txt::BrowseErrorPrefix + e.Description(), MB_OK | MB_ICONEXCLAMATION, {}, Hwnd());
    }
}
