#include "frmMain.h"

#include <commctrl.h>

#include <algorithm>
#include <shellapi.h>

#include <cstdlib>

#include "AppInfo.h"
#include "Clipboard.h"
#include "Form3.h"
#include "MainLayout.h"
#include "Modal.h"
#include "Paths.h"
#include "EditArea.h"
#include "SafeSave.h"
#include "Texts.h"
#include "ToolbarDef.h"
#include "ZoomLevel.h"
#include "CompileCommand.h"
#include "HelpMenu.h"
#include "basFindWindows.h"
#include "BuildCommand.h"
#include "CaretPlace.h"
#include "frmGoTo.h"
#include "frmOptions.h"
#include "frmReplace.h"

namespace {

// Posted after a drop so the prompt does not run inside the drop notification.
constexpr UINT WM_OPEN_DROPPED = WM_APP + 1;
// Wakes the status bar's clock when the minute changes.
constexpr UINT_PTR kClockTimer = 1;
// Writes the recovery file when the typing pauses.
constexpr UINT_PTR kRecoveryTimer = 2;
// A build's output lines and its end (BuildRunner).
constexpr UINT WM_BUILD = WM_APP + 2;
// The open file's folder reported a change, or the window became active: the file is checked.
constexpr UINT WM_CHECK_DISK = WM_APP + 20;

const form::FormDef kDef{
    .className = L"TavrinMain",
    .caption = texts::UntitledCaption,
    .clientWidth = 6810,
    .clientHeight = 6360,
    .style = WS_OVERLAPPEDWINDOW,
    .dialogKeys = false,
};

// The editing area's default face: a fixed-pitch font for source text (any fixed font where that
// face is missing).
// The editing area's text before the user picks a font.
constexpr const wchar_t* kEditFace = L"Courier New";
constexpr double kEditPoints = 10;

using form::MenuItem;
const MenuItem kFileItems[] = {
    {texts::FileNew, texts::ShortcutNew},
    {texts::FileOpen, texts::ShortcutOpen},
    {L"-"},
    {texts::FileSave, texts::ShortcutSave},
    {texts::FileSaveAs},
    {L"-"},
    {texts::FilePrinterSetup},
    {texts::FilePrintPreview, nullptr, false},
    {texts::FilePrint, texts::ShortcutPrint},
    {L"-", nullptr, false},
    {texts::FileSend, nullptr, false},
    {L"-"},
    {texts::FileRecentFiles},
    {L"-"},
    {texts::FileExit},
    {texts::FileReopenEncoding},
};
const MenuItem kEditItems[] = {
    {texts::EditUndo},
    {L"-"},
    {texts::EditCut},
    {texts::EditCopy},
    {texts::EditPaste, nullptr, true, false},
    {texts::EditSelectAll},
    {L"-"},
    {texts::EditFind, texts::ShortcutFind},
    {texts::EditFindNext},
    {L"-"},
    {texts::EditReplace, texts::ShortcutReplace},
    {texts::EditGoTo, texts::ShortcutGoTo},
};
const MenuItem kViewItems[] = {
    {texts::ViewToolbar, nullptr, false},
    {texts::ViewStatusBar},
    {texts::ViewSyntaxColouring},
    {texts::ViewLineNumbers},
    {texts::ViewOutput},
    {texts::ViewWordWrap},
    {texts::ViewZoom},
};
const MenuItem kFormatItems[] = {
    {texts::FormatFont},
    {texts::FormatTextColor},
    {texts::FormatForecolor},
    {texts::FormatLineEnds},
};
const MenuItem kToolsItems[] = {
    {texts::ToolsOptions},
    {texts::ToolsCompilerSetup},
    {texts::ToolsCompileBorland},
    {texts::ToolsCompile, nullptr, false},
    {L"-"},
    {texts::ToolsBuild, texts::ShortcutBuild},
    {texts::ToolsRun, texts::ShortcutRun},
    {texts::ToolsStopBuild, texts::ShortcutStopBuild, true, false},
    {texts::ToolsNextError, texts::ShortcutNextError},
    {texts::ToolsPreviousError, texts::ShortcutPreviousError},
};
const form::MenuDef kMenus[] = {
    {texts::MenuFile, frmMain::FileBase, kFileItems, std::size(kFileItems)},
    {texts::MenuEdit, frmMain::EditBase, kEditItems, std::size(kEditItems)},
    {texts::MenuView, frmMain::ViewBase, kViewItems, std::size(kViewItems)},
    {texts::MenuFormat, frmMain::FormatBase, kFormatItems, std::size(kFormatItems)},
    {texts::MenuTools, frmMain::ToolsBase, kToolsItems, std::size(kToolsItems)},
    {texts::MenuHelp, frmMain::HelpBase, kHelpMenuItems, kHelpMenuCount},
};

// Gap between the toolbar strip and the editing area (360 - 330 twips at design).
constexpr int kGapTwips = 30;
// The output pane's height when the window has room for it (about eight lines).
constexpr int kPaneTwips = 1800;

}  // namespace

frmMain::frmMain() : filePrompts_(*this), view_(filePrompts_), doc_(view_, filePrompts_, docfile::SystemFiles()) {}

const form::FormDef& frmMain::Definition() const { return kDef; }

const form::MenuDef* frmMain::Menus(size_t& count) {
    count = std::size(kMenus);
    return kMenus;
}

HMENU frmMain::CreateMenuBar() {
    HMENU bar = form::BuildMenuBar(kMenus, std::size(kMenus));
    // Status Bar, Syntax Colouring and Line Numbers start checked.
    for (int item : {1, 2, 3}) CheckMenuItem(bar, ViewBase + item, MF_BYCOMMAND | MF_CHECKED);
    using namespace formatchoices;
    recent_.Attach(bar, FileBase + 12);
    MakeSubmenu(bar, FileBase + 15, texts::ReopenItems, std::size(texts::ReopenItems), ReopenBase);
    MakeSubmenu(bar, ViewBase + 6, texts::ZoomItems, std::size(texts::ZoomItems), wrapzoom::ZoomBase);
    MakeSubmenu(bar, FormatBase + 3, texts::LineEndItems, std::size(texts::LineEndItems), LineEndsBase);
    return bar;
}

void frmMain::Form_Load() {
    // Start-up order: caption and document state, title, folders, settings, then the window shows.
    doc_.Reset();
    SetCaption(doc_.WindowCaption);
    AppTitle = texts::AppName;
    DefaultCodeFolder = settings::CodeFolderOf(ProgramFolder());
    InitDirSetting = DefaultCodeFolder;
    FindSystemFolder();
    HelpFilePath = ProgramFolder() + L"\\tavrin.chm";

    sessionEnded_ = endSessionConfirmed_ = false;
    CreateChildren();
    view_.OnDocumentChanged = [this](bool newText) { DocumentChanged(newText); };
    view_.Attach(Hwnd(), t1());
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'N', static_cast<WORD>(FileBase + 0)},
        {FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(FileBase + 1)},
        {FVIRTKEY | FCONTROL, 'S', static_cast<WORD>(FileBase + 3)},
        {FVIRTKEY | FCONTROL, 'P', static_cast<WORD>(FileBase + 8)},
        {FVIRTKEY | FCONTROL, 'F', static_cast<WORD>(EditBase + 7)},
        {FVIRTKEY | FCONTROL, 'H', static_cast<WORD>(EditBase + 10)},
        {FVIRTKEY | FCONTROL, 'G', static_cast<WORD>(EditBase + 11)},
        {FVIRTKEY, VK_F7, static_cast<WORD>(ToolsBase + 5)},
        {FVIRTKEY | FCONTROL, VK_F5, static_cast<WORD>(ToolsBase + 6)},
        {FVIRTKEY | FCONTROL, VK_CANCEL, static_cast<WORD>(ToolsBase + 7)},  // Ctrl+Break
        {FVIRTKEY, VK_F4, static_cast<WORD>(ToolsBase + 8)},
        {FVIRTKEY | FSHIFT, VK_F4, static_cast<WORD>(ToolsBase + 9)},
        {FVIRTKEY | FCONTROL, VK_OEM_PLUS, wrapzoom::ZoomBase},
        {FVIRTKEY | FCONTROL, VK_ADD, wrapzoom::ZoomBase},
        {FVIRTKEY | FCONTROL, VK_OEM_MINUS, wrapzoom::ZoomBase + 1},
        {FVIRTKEY | FCONTROL, VK_SUBTRACT, wrapzoom::ZoomBase + 1},
        {FVIRTKEY | FCONTROL, '0', wrapzoom::ZoomBase + 2},
        {FVIRTKEY | FCONTROL, VK_NUMPAD0, wrapzoom::ZoomBase + 2},
    };
    accel_.reset(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
    SetAccelerators(accel_.get());
    DragAcceptFiles(Hwnd(), TRUE);

    UseSettings(LoadSettings());
    {
        settings::RegistryStore store;
        wordWrap_ = zoom::ReadWordWrap(store);
        wrapzoom::SetWordWrap(t1(), wordWrap_);
        CheckMenuItem(GetMenu(Hwnd()), ViewBase + 5, MF_BYCOMMAND | (wordWrap_ ? MF_CHECKED : MF_UNCHECKED));
    }
    // The Find dialog searches this window's editing area.
    form::Single<Form3>().Searches({t1(), Hwnd(), [this] { return TextChanges(); }, [this] { return TextChangesCounted(); },
                                    [this] { return doc_.Format.lineEnd; }});
    form::Single<frmReplace>().Works({t1(), [this] { return doc_.Format.lineEnd; }});
    // The Options dialog is loaded hidden now, its list showing the stored file type.
    frmOptions& options = form::Single<frmOptions>();
    options.Value = CurrentSettings();
    options.OnApply = [this](const settings::Values& v) { frmOptions_Apply(v); };
    options.Load();
    LayoutControls();
}

void frmMain::CreateChildren() {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    HWND tb = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER,
                              0, 0, 0, 0, Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdToolbar)), inst,
                              nullptr);
    if (tb) {
        SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageW(tb, TB_SETBUTTONSIZE, 0, MAKELPARAM(23, 22));
    }
    CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, Hwnd(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdStatusBar)), inst, nullptr);
    if (HWND edit = editarea::Create(Hwnd(), IdT1)) {
        editarea::SetBaseFont(edit, kEditFace, DEFAULT_CHARSET, kEditPoints);
        editarea::ShowLineNumbers(edit, true);
        SetFocus(edit);
    }
    // The build's output, shown below the editing area by View > Output and by a build.
    CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                    WS_CHILD | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0, 0, 0, 0, Hwnd(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOutput)), inst, nullptr);
    if (HWND bar = tbToolbar()) {
        imlToolbarIcons_.Create(Hwnd(), Dpi());
        bars::FillToolbar(bar, imlToolbarIcons_);
    }
    UpdateStatusBar();
    ArmClock();
}

void frmMain::OnDpiChanged() {
    // The area sizes its text in points for the window's new DPI itself.
    constexpr UINT kDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT, newer headers only
    if (HWND edit = t1()) SendMessageW(edit, kDpiChangedAfterParent, 0, 0);
    if (HWND bar = tbToolbar()) {
        bars::ToolbarIcons old;
        old.swap(imlToolbarIcons_);  // freed after the toolbar has the new ones
        imlToolbarIcons_.Create(Hwnd(), Dpi());
        bars::SetToolbarImages(bar, imlToolbarIcons_);
    }
    LayoutControls();
}

void frmMain::LayoutControls() {
    HWND tb = tbToolbar(), sb = sbStatusBar(), edit = t1();
    if (!Hwnd() || !edit) return;
    if (tb) SendMessageW(tb, TB_AUTOSIZE, 0, 0);
    if (sb) SendMessageW(sb, WM_SIZE, 0, 0);
    UpdateStatusBar();
    RECT client{}, r{};
    GetClientRect(Hwnd(), &client);
    int toolbarH = 0, statusH = 0;
    if (tb && GetWindowRect(tb, &r)) toolbarH = r.bottom - r.top;
    // The status bar strip stays reserved while the bar is hidden.
    if (sb && GetWindowRect(sb, &r)) statusH = r.bottom - r.top;
    const LayoutRect a = EditAreaRect(client.right, client.bottom, toolbarH, statusH, Px(kGapTwips));
    HWND pane = outputPane();
    if (OutputShown()) {
        const PaneSplit split = SplitForPane(a, Px(kPaneTwips), Px(kGapTwips));
        MoveWindow(edit, split.edit.left, split.edit.top, split.edit.width, split.edit.height, TRUE);
        MoveWindow(pane, split.pane.left, split.pane.top, split.pane.width, split.pane.height, TRUE);
    } else {
        MoveWindow(edit, a.left, a.top, a.width, a.height, TRUE);
    }
}

void frmMain::Form_Resize() {
    LayoutControls();
    // Maximised or back: the placement to keep changed.
    if (IsLoaded() && !IsIconic(Hwnd()) && IsZoomed(Hwnd()) != wasZoomed_) {
        wasZoomed_ = IsZoomed(Hwnd()) != FALSE;
        SaveSettingsQuietly();
    }
}

void frmMain::Form_Activate() { PostMessageW(Hwnd(), WM_CHECK_DISK, 0, 0); }

void frmMain::SaveSettingsQuietly() {
    try {
        SaveSettings(CurrentSettings());
    } catch (const VbError&) {
    }
}

void frmMain::NoteEdit() {
    // The first change of a run: the worker gets the copy's memory ready while the user types.
    if (!recoverySchedule_.Pending() && t1()) recovery_.Reserve(editarea::StoredLength(t1()) + (64 << 10));
    recoverySchedule_.Changed(GetTickCount64());
    ArmRecovery();
}

void frmMain::ArmRecovery() {
    if (!recoverySchedule_.Pending() || !Hwnd()) return;
    const ULONGLONG now = GetTickCount64(), due = recoverySchedule_.Due();
    SetTimer(Hwnd(), kRecoveryTimer, due > now ? static_cast<UINT>(due - now) : 1, nullptr);
}

void frmMain::WriteRecovery() {
    recoverySchedule_.Written();
    if (!doc_.IsModified()) {
        recovery_.Remove();
        return;
    }
    recovery::Record r;
    r.path = doc_.DocumentPath;
    r.format = doc_.Format;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    r.writtenAt = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    // A copy: the worker writes it while the user types on.
    r.text = recovery_.TakeSpare();
    editarea::CopyStoredText(t1(), r.text);
    recovery_.Write(std::move(r));
}

void frmMain::OfferRecovery() {
    for (const std::wstring& file : recovery::LeftBehind()) {
        recovery::Record r;
        std::wstring reason;
        if (!recovery::Load(file, r, reason)) {
            // Never half applied; kept for whoever wants to look at it.
            const std::wstring aside = recovery::PutAside(file);
            filePrompts_.Tell(texts::RecoveryUnusable + file + L"\n\n" + reason +
                              (aside.empty() ? std::wstring() : L"\n\n" + std::wstring(texts::RecoveryKeptAs) + aside));
            continue;
        }
        const std::wstring title = r.path.empty() ? texts::UntitledDocument : Document::FileTitleOf(r.path);
        const int answer = modal::MsgBox(texts::RecoverAskStart + title + L" (" + bars::LocalDateTime(r.writtenAt) +
                                             L")" + texts::RecoverAskEnd,
                                         MB_YESNOCANCEL | MB_ICONQUESTION, AppTitle, Hwnd());
        if (answer == IDNO) recovery::Delete(file);
        if (answer != IDYES) continue;  // Cancel keeps it for a later start
        if (doc_.IsModified() && !doc_.AskToSaveChanges(InitDirSetting)) continue;
        if (!doc_.Recover(r.path, r.format, r.text)) continue;
        // The text is this window's now, kept in its own recovery file.
        WriteRecovery();
        recovery::Delete(file);
        break;  // one document per window: any others wait for another start
    }
}

bool frmMain::QueryEndSession() {
    // An unmodified document never delays the end of the session.
    if (doc_.ExitConfirmed || !doc_.IsModified()) return true;
    const std::wstring title = doc_.DocumentTitle.empty() ? texts::UntitledDocument : doc_.DocumentTitle;
    ShutdownBlockReasonCreate(Hwnd(), (texts::EndSessionReason + title).c_str());
    const bool go = doc_.AskToSaveChanges(InitDirSetting);
    ShutdownBlockReasonDestroy(Hwnd());
    if (go) doc_.ExitConfirmed = endSessionConfirmed_ = true;
    return go;
}

void frmMain::EndSession() {
    sessionEnded_ = true;
    SaveSettingsQuietly();
    // Unless the question was answered, the unsaved text stays recoverable.
    if (doc_.IsModified() && !doc_.ExitConfirmed) WriteRecovery();
    else recovery_.Remove();
    recovery_.WaitIdle();
    doc_.ExitConfirmed = true;
    Unload();
}

void frmMain::GetPlacementTwips(int& left, int& top, int& width, int& height) const {
    RECT r{};
    if (IsIconic(Hwnd()) || IsZoomed(Hwnd())) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        GetWindowPlacement(Hwnd(), &wp);
        r = wp.rcNormalPosition;
        // The normal placement is in work-area coordinates.
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi))
            OffsetRect(&r, mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top);
    } else {
        GetWindowRect(Hwnd(), &r);
    }
    left = Tw(r.left);
    top = Tw(r.top);
    width = Tw(r.right - r.left);
    height = Tw(r.bottom - r.top);
}

void frmMain::SetPlacementTwips(int left, int top, int width, int height) {
    RECT r{Px(left), Px(top), Px(left) + Px(width), Px(top) + Px(height)};
    if (!MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) {
            const RECT& w = mi.rcWork;
            const LayoutRect fit = FitInside({r.left, r.top, r.right - r.left, r.bottom - r.top},
                                             {w.left, w.top, w.right - w.left, w.bottom - w.top});
            r = RECT{fit.left, fit.top, fit.left + fit.width, fit.top + fit.height};
        }
    }
    SetWindowPos(Hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::Form_Unload(bool& cancel) {
    // Decided before the settings are written, so a failing write cannot close a window the user kept;
    // a failure on the way (the save raising) keeps the window and its text.
    cancel = true;
    cancel = !doc_.QueryClose(InitDirSetting);
    if (!sessionEnded_) SaveSettings(CurrentSettings());  // the session's end wrote them already
    if (!cancel) {
        // A normal end: nothing is left to recover.
        recovery_.Remove();
        recovery_.WaitIdle();
    }
    // The Find dialog works on this window's editing area: it goes with it.
    if (!cancel) {
        Form3& find = form::Single<Form3>();
        find.Unload();
        find.Searches({});
        frmReplace& replace = form::Single<frmReplace>();
        replace.Unload();
        replace.Works({});
    }
}

settings::Values frmMain::CurrentSettings() const {
    settings::Values v;
    v.initDir = InitDirSetting;
    v.defaultFileType = DefaultFileTypeSetting;
    v.largeFileKB = LargeFileKBSetting;
    v.tabWidth = TabWidthSetting;
    if (IsLoaded()) GetPlacementTwips(v.left, v.top, v.width, v.height);
    return v;
}

void frmMain::UseSettings(const settings::Values& v) {
    InitDirSetting = v.initDir;
    DefaultFileTypeSetting = v.defaultFileType;
    LargeFileKBSetting = v.largeFileKB;
    TabWidthSetting = v.tabWidth;
    if (HWND edit = t1()) editarea::SetTabWidth(edit, TabWidthSetting);
    if (IsLoaded()) SetPlacementTwips(v.left, v.top, v.width, v.height);
}

void frmMain::frmOptions_Apply(const settings::Values& v) {
    InitDirSetting = v.initDir;
    DefaultFileTypeSetting = v.defaultFileType;
    LargeFileKBSetting = v.largeFileKB;
    TabWidthSetting = v.tabWidth;
    if (HWND edit = t1()) editarea::SetTabWidth(edit, TabWidthSetting);
    SaveSettings(CurrentSettings());
}

// A relative path is completed now: later it would name a file in whatever folder is current then.
void frmMain::OpenStartupFile(const std::wstring& path) { doc_.Drop(paths::Full(path), InitDirSetting); }

void frmMain::OpenDropped(HDROP drop) {
    // Several files: the first one is opened.
    UINT n = DragQueryFileW(drop, 0, nullptr, 0);
    if (n == 0) return;
    std::wstring path(static_cast<size_t>(n) + 1, L'\0');
    path.resize(DragQueryFileW(drop, 0, path.data(), n + 1));
    pendingDrop_ = paths::Full(path);
    PostMessageW(Hwnd(), WM_OPEN_DROPPED, 0, 0);
}

bool frmMain::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wp);
        OpenDropped(drop);
        DragFinish(drop);
        result = 0;
        return true;
    }
    case WM_NOTIFY: {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(lp);
        if (h->code == TTN_GETDISPINFOW && bars::PositionOf(static_cast<int>(h->idFrom))) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
            const wchar_t* tip = bars::TooltipOf(static_cast<int>(h->idFrom));
            info->lpszText = const_cast<wchar_t*>(tip ? tip : L"");
            info->hinst = nullptr;
            result = 0;
            return true;
        }
        if (h->idFrom == IdT1) {
            if (wrapzoom::IsZoomNotice(*h)) ShowZoom();
            if (editarea::OnNotify(t1(), *h)) ShowCaretPlace();
        }
        return false;
    }
    case WM_INITMENUPOPUP:
        recent_.OnMenuOpening(reinterpret_cast<HMENU>(wp));
        return false;
    case WM_CHECK_DISK:
        outside_.Check(doc_, Hwnd(), t1());
        outside_.ShowNote(doc_, sbStatusBar());
        result = 0;
        return true;
    case WM_BUILD:
        OnBuildMessage(wp, lp);
        result = 0;
        return true;
    case WM_OPEN_DROPPED: {
        std::wstring path;
        path.swap(pendingDrop_);
        doc_.Drop(path, InitDirSetting);
        result = 0;
        return true;
    }
    case WM_TIMER:
        if (wp == kRecoveryTimer) {
            KillTimer(Hwnd(), kRecoveryTimer);
            if (recoverySchedule_.Pending() && GetTickCount64() >= recoverySchedule_.Due()) WriteRecovery();
            else ArmRecovery();
            result = 0;
            return true;
        }
        if (wp != kClockTimer) return false;
        UpdateStatusBar();
        ArmClock();
        result = 0;
        return true;
    case WM_QUERYENDSESSION:
        result = QueryEndSession() ? TRUE : FALSE;
        return true;
    case WM_ENDSESSION:
        if (wp) EndSession();
        else if (endSessionConfirmed_) doc_.ExitConfirmed = false;  // the session goes on after all
        endSessionConfirmed_ = false;
        result = 0;
        return true;
    case WM_EXITSIZEMOVE:
        SaveSettingsQuietly();
        return false;
    case WM_TIMECHANGE:
    case WM_SETTINGCHANGE:
        UpdateStatusBar();
        return false;
    case WM_DESTROY:
        view_.Detach();  // the windows it works on go now
        outside_.Stop();
        build_.Stop();
        DiscardBuildMessages(Hwnd(), WM_BUILD);
        return false;
    case WM_SETFOCUS:
        if (HWND edit = t1()) SetFocus(edit);
        result = 0;
        return true;
    default:
        return false;
    }
}

void frmMain::OnCommand(int id, int notifyCode, HWND control) {
    if (control) {  // notifications of the children; the toolbar's buttons
        if (id == IdT1 && notifyCode == EN_CHANGE) {
            view_.NoteTextChanged();
            NoteEdit();
        }
        if (control == tbToolbar() && bars::PositionOf(id)) tbToolbar_ButtonClick(bars::KeyOf(id));
        if (id == IdOutput && notifyCode == LBN_DBLCLK) {
            const LRESULT line = SendMessageW(control, LB_GETCURSEL, 0, 0);
            if (line >= 0)
                if (auto d = buildLog_.OnPaneLine(static_cast<size_t>(line))) GoToDiagnostic(*d);
        }
        return;
    }
    if (id >= formatchoices::LineEndsBase && id < formatchoices::LineEndsBase + 3)
        return mnuLineEnds_Click(id - formatchoices::LineEndsBase);
    if (id >= formatchoices::ReopenBase && id < formatchoices::ReopenBase + 5)
        return mnuReopen_Click(id - formatchoices::ReopenBase);
    if (id >= RecentMenu::FirstId && id <= RecentMenu::ClearId) return mnuRecent_Click(id);
    if (id >= wrapzoom::ZoomBase && id < wrapzoom::ZoomBase + 3) return mnuZoom_Click(id - wrapzoom::ZoomBase);
    for (const form::MenuDef& m : kMenus) {
        const int index = form::MenuIndex(m, id);
        if (index < 0) continue;
        switch (m.baseId) {
        case FileBase: mnufile_Click(index); break;
        case EditBase: mnuedit_Click(index); break;
        case ViewBase: mnuview_Click(index); break;
        case FormatBase: mnuformat_Click(index); break;
        case ToolsBase: mnutools_Click(index); break;
        case HelpBase: mnuHelp_Click(index); break;
        default: break;
        }
        return;
    }
}

void frmMain::mnufile_Click(int index) {
    switch (index) {
    case 0:
        if (doc_.New(InitDirSetting)) ShowFormat(true);
        break;
    case 1: doc_.Open(InitDirSetting); break;
    case 3:
    case 4:
        if (index == 3 ? doc_.Save(InitDirSetting) : doc_.SaveAs(InitDirSetting)) {
            recoverySchedule_.Written();
            recovery_.Remove();  // saved: nothing to recover
            outside_.ShowNote(doc_, sbStatusBar());
            ShowFormat(false);
            recent_.Add(doc_.DocumentPath);
        }
        break;
    case 6: PrinterSetup(); break;
    case 7: modal::MsgBox(texts::PrintPreviewMessage, MB_OK, AppTitle, Hwnd()); break;  // hidden
    case 8: PrintWithDialog(); break;
    case 10: modal::MsgBox(texts::SendMessageText, MB_OK, AppTitle, Hwnd()); break;  // hidden
    case 14:  // Exit
        SaveSettings(CurrentSettings());
        if (doc_.ConfirmExit(InitDirSetting)) Unload();
        break;
    default: break;
    }
}

namespace {

// The selected text with CR LF line ends, as the clipboard's text format has them.
std::wstring SelectedText(HWND edit) {
    return docfile::WithLineEnds(editarea::SelectedText(edit), docfile::LineEnd::CrLf);
}

}  // namespace

void frmMain::mnuedit_Click(int index) {
    HWND edit = t1();
    if (!edit) return;
    switch (index) {
    case 0:  // Undo: the editing area's own undo
        editarea::Undo(edit);
        break;
    case 2:  // Cut: the selection goes only once it is on the clipboard
        clipboard::SetText(Hwnd(), SelectedText(edit));
        editarea::ReplaceSelection(edit, L"");
        EnablePaste();
        break;
    case 3:  // Copy
        clipboard::SetText(Hwnd(), SelectedText(edit));
        EnablePaste();
        break;
    case 4:  // Paste: no text on the clipboard deletes the selection; line ends become the document's
        editarea::ReplaceSelection(edit, docfile::WithLineEnds(clipboard::GetText(Hwnd()), doc_.Format.lineEnd));
        break;
    case 5:  // Select All
        editarea::SelectAll(edit);
        break;
    case 7: form::Single<Form3>().ShowFind(); break;
    case 8: form::Single<Form3>().ShowFindNext(); break;
    case 10: form::Single<frmReplace>().Show(); break;
    case 11: GoToLine(); break;
    default: break;
    }
}

void frmMain::GoToLine() {
    HWND edit = t1();
    int64_t line = 0, column = 0;
    editarea::CaretLineColumn(edit, line, column);
    frmGoTo& dialog = form::Single<frmGoTo>();
    dialog.Entry = std::to_wstring(line);
    dialog.ShowModal(Hwnd());
    if (!dialog.Accepted) return;
    const int64_t target = caretplace::GoToTarget(dialog.Entry, editarea::LineCount(edit));
    if (target >= 0) editarea::GoToLine(edit, target);
    SetFocus(edit);
}

void frmMain::ShowCaretPlace() {
    HWND edit = t1(), sb = sbStatusBar();
    if (!edit || !sb) return;
    int64_t line = 0, column = 0;
    editarea::CaretLineColumn(edit, line, column);
    bars::SetPlaceText(sb, caretplace::LineColumnText(line, column));
}

void frmMain::DocumentChanged(bool newText) {
    if (newText) {
        formatted_ = false;  // another text: colouring as the View menu says
        recoverySchedule_.Written();
        recovery_.Remove();  // the text it kept is gone by the user's choice
    }
    ApplySyntax();
    outside_.Follow(Hwnd(), WM_CHECK_DISK, doc_.DocumentPath);
    outside_.ShowNote(doc_, sbStatusBar());
    ShowFormat(!newText);  // the name comes after the text, and the format with it
    if (!newText && !doc_.DocumentPath.empty()) recent_.Add(doc_.DocumentPath);
}

void frmMain::mnuZoom_Click(int index) {
    wrapzoom::Zoom(t1(), index);
    ShowZoom();  // also told by the control; a zoom already at its limit tells nothing
}

void frmMain::ShowZoom() {
    HWND sb = sbStatusBar();
    if (!sb || !t1()) return;
    const std::wstring text = zoom::PanelText(wrapzoom::Percent(t1()));
    if (zoomShown_ != !text.empty()) {
        zoomShown_ = !text.empty();
        UpdateStatusBar();  // the panel gets its room, or gives it back
    }
    SendMessageW(sb, SB_SETTEXTW, bars::kZoomPanel, reinterpret_cast<LPARAM>(text.c_str()));
}

void frmMain::mnuRecent_Click(int id) {
    if (id == RecentMenu::ClearId) return recent_.Clear();
    const std::wstring path = recent_.PathOf(id);
    if (path.empty()) return;
    if (!paths::IsFile(path)) {
        if (modal::MsgBox(path + texts::RecentMissing, MB_YESNO | MB_ICONQUESTION, AppTitle, Hwnd()) == IDYES)
            recent_.Remove(path);
        return;
    }
    doc_.Drop(path, InitDirSetting);
}

void frmMain::ShowFormat(bool count) {
    HWND edit = t1();
    if (!edit) return;
    if (count) ends_ = textformat::EndsOf(editarea::StoredText(edit), doc_.Format.lineEnd);
    formatchoices::ShowPanel(sbStatusBar(), doc_.Format, ends_);
    formatchoices::CheckOne(GetMenu(Hwnd()), formatchoices::LineEndsBase, 3, textformat::CheckedLineEndItem(ends_));
}

void frmMain::mnuLineEnds_Click(int index) {
    const docfile::LineEnd style = textformat::LineEndItem(index);
    formatchoices::ConvertLineEnds(t1(), style);
    doc_.Format.lineEnd = style;
    ShowFormat(true);
}

void frmMain::mnuReopen_Click(int index) {
    if (doc_.Reopen(textformat::ReopenItem(index), InitDirSetting)) ShowFormat(true);
}

void frmMain::ApplySyntax() {
    HWND edit = t1();
    if (!edit) return;
    const bool on = colouringWanted_ && !formatted_;
    // A lexer styles everything before what it shows: past this size a jump to the end would wait
    // seconds for it, so big texts show plain.
    constexpr size_t kColourLimit = 16 << 20;
    const bool fits = editarea::StoredLength(edit) <= kColourLimit;
    editarea::SetLanguage(edit, on && fits ? syntax::LanguageOf(doc_.DocumentPath, view_.SaveType())
                                           : syntax::Language::None);
    CheckMenuItem(GetMenu(Hwnd()), ViewBase + 2, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void frmMain::mnuview_Click(int index) {
    switch (index) {
    case 1: {  // Status Bar: the check mark, then the bar follows it
        HMENU bar = GetMenu(Hwnd());
        const bool show = !(GetMenuState(bar, ViewBase + 1, MF_BYCOMMAND) & MF_CHECKED);
        CheckMenuItem(bar, ViewBase + 1, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
        if (HWND sb = sbStatusBar()) {
            if (show) UpdateStatusBar();
            ShowWindow(sb, show ? SW_SHOW : SW_HIDE);
        }
        break;
    }
    case 2:  // Syntax Colouring: for as long as the program runs
        colouringWanted_ = !(GetMenuState(GetMenu(Hwnd()), ViewBase + 2, MF_BYCOMMAND) & MF_CHECKED);
        formatted_ = false;
        ApplySyntax();
        break;
    case 3: {  // Line Numbers
        HMENU bar = GetMenu(Hwnd());
        const bool show = !(GetMenuState(bar, ViewBase + 3, MF_BYCOMMAND) & MF_CHECKED);
        CheckMenuItem(bar, ViewBase + 3, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
        if (HWND edit = t1()) editarea::ShowLineNumbers(edit, show);
        break;
    }
    case 4: ShowOutput(!OutputShown()); break;  // Output
    case 5:  // Word Wrap, kept for the next start
        wordWrap_ = !wordWrap_;
        wrapzoom::SetWordWrap(t1(), wordWrap_);
        CheckMenuItem(GetMenu(Hwnd()), ViewBase + 5, MF_BYCOMMAND | (wordWrap_ ? MF_CHECKED : MF_UNCHECKED));
        try {
            settings::RegistryStore store;
            zoom::WriteWordWrap(store, wordWrap_);
        } catch (const VbError&) {
        }
        break;
    default: break;  // Toolbar (hidden): the toolbar always shows
    }
}

void frmMain::mnuformat_Click(int index) {
    HWND edit = t1();
    if (!edit) return;
    const bool coloured = editarea::Language(edit) != syntax::Language::None;
    switch (index) {
    case 0: ChooseTextFont(); break;
    case 1:
        if (ChooseColour()) editarea::SetSelectionColor(edit, dlgColor_);
        break;
    case 2:  // despite its caption: the background of the whole area
        if (ChooseColour()) editarea::SetBackColor(edit, dlgColor_);
        break;
    default: break;
    }
    // A format given to the text ends its colouring (the area decides); the View menu follows.
    if (coloured && editarea::Language(edit) == syntax::Language::None) {
        formatted_ = true;
        ApplySyntax();
    }
}

void frmMain::ChooseTextFont() {
    if (!dlgFontSet_) {  // first use: the editing area's own face and size
        dlgFont_ = LOGFONTW{};
        lstrcpynW(dlgFont_.lfFaceName, editarea::FaceName(t1()).c_str(), LF_FACESIZE);
        raii::WindowDc screen(nullptr);
        dlgFont_.lfHeight = -MulDiv(10, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
        dlgFont_.lfWeight = FW_NORMAL;
        dlgFont_.lfCharSet = DEFAULT_CHARSET;
    }
    LOGFONTW lf = dlgFont_;
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = Hwnd();
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!modal::ChooseFontDlg(cf)) return;  // cancelled: nothing changes
    dlgFont_ = lf;
    dlgFontSet_ = true;
    HWND edit = t1();
    editarea::SetBaseFont(edit, lf.lfFaceName, lf.lfCharSet, 0);
    double points = cf.iPointSize / 10.0;
    if (points <= 0) {
        raii::WindowDc screen(nullptr);
        points = std::abs(lf.lfHeight) * 72.0 / GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    editarea::SetSelectionFont(edit, lf.lfWeight >= FW_BOLD, lf.lfItalic != 0, points);
}

bool frmMain::ChooseColour() {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = Hwnd();
    cc.rgbResult = dlgColor_;
    cc.lpCustColors = dlgCustomColors_;
    cc.Flags = CC_RGBINIT | CC_PREVENTFULLOPEN;
    if (!modal::ChooseColorDlg(cc)) return false;  // cancelled: nothing changes
    dlgColor_ = cc.rgbResult;
    return true;
}

void frmMain::tbToolbar_ButtonClick(const std::wstring& key) {
    const toolbar::Route r = toolbar::RouteKey(key);
    // A failing command ends the click silently; quick print reports its own failures.
    try {
        switch (r.target) {
        case toolbar::Target::FileMenu: mnufile_Click(r.index); break;
        case toolbar::Target::EditMenu: mnuedit_Click(r.index); break;
        case toolbar::Target::QuickPrint: QuickPrint(); break;
        case toolbar::Target::None: break;
        }
    } catch (const VbError&) {
    } catch (const std::exception&) {
    }
}

void frmMain::EnablePaste() {
    pasteEnabled_ = true;
    EnableMenuItem(GetMenu(Hwnd()), EditBase + 4, MF_BYCOMMAND | MF_ENABLED);
    if (HWND bar = tbToolbar()) SendMessageW(bar, TB_ENABLEBUTTON, bars::ButtonId(toolbar::kPastePosition), TRUE);
}

void frmMain::UpdateStatusBar() {
    bars::UpdateStatusBar(sbStatusBar(), Dpi(), zoomShown_);
    outside_.ShowNote(doc_, sbStatusBar());
    ShowFormat(false);
    ShowCaretPlace();
}

void frmMain::ArmClock() { SetTimer(Hwnd(), kClockTimer, bars::MsToNextMinute(), nullptr); }

bool frmMain::PrinterInstalled() {
    if (printing::PrinterChoice::AnyPrinter()) return true;
    // Said here: the platform's own dialog may block without saying why.
    modal::MsgBox(texts::NoPrinter, MB_OK | MB_ICONEXCLAMATION, AppTitle, Hwnd());
    return false;
}

void frmMain::PrinterSetup() {
    if (!PrinterInstalled()) return;
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = Hwnd();
    pd.Flags = PD_PRINTSETUP;
    printer_.LendTo(pd);
    modal::PrintDlgBox(pd);  // a cancel leaves the earlier choice
    printer_.TakeBack(pd);
}

void frmMain::PrintWithDialog() {
    if (!PrinterInstalled()) return;
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = Hwnd();
    pd.Flags = PD_NOPAGENUMS | PD_NOSELECTION;
    pd.nCopies = 1;
    printer_.LendTo(pd);
    const BOOL chosen = modal::PrintDlgBox(pd);
    const int copies = chosen ? printing::TakeCopies(pd) : 0;
    printer_.TakeBack(pd);
    if (!chosen) return;  // cancelled: nothing printed, nothing shown

    const std::wstring text = Text();
    printing::PrintFont font;
    font.face = editarea::FaceName(t1());
    font.tabColumns = TabWidthSetting;
    raii::Dc dc = printer_.CreateDc();
    DWORD error = 0;
    if (!dc) error = GetLastError() ? GetLastError() : ERROR_INVALID_PRINTER_NAME;
    if (!dc || !printing::PrintText(dc.get(), doc_.DocumentTitle.empty() ? texts::UntitledDocument
                                                                          : doc_.DocumentTitle,
                                    text, copies, font, error))
        modal::MsgBox(texts::PrintFailed + ReasonText(error), MB_OK | MB_ICONEXCLAMATION, AppTitle, Hwnd());
}

void frmMain::QuickPrint() {
    HWND edit = t1();
    printing::PrintFont font;
    font.tabColumns = TabWidthSetting;
    raii::Dc dc;
    DWORD error = 0;
    const bool ok = edit && editarea::SelectionColor(edit, font.color) &&
                    !(font.face = editarea::FaceName(edit)).empty() &&
                    editarea::SelectionPoints(edit, font.points) && (dc = printer_.CreateDc()) &&
                    printing::PrintText(dc.get(), doc_.DocumentTitle.empty() ? texts::UntitledDocument
                                                                             : doc_.DocumentTitle,
                                        Text(), 1, font, error);
    if (!ok)
        modal::MsgBox(texts::PrinterError, MB_OK | MB_ICONEXCLAMATION, texts::PrinterErrorTitle, Hwnd());
}

void frmMain::mnutools_Click(int index) {
    switch (index) {
    case 0: {
        // The dialog edits a copy of the settings; loaded afresh, it shows them as they stand.
        frmOptions& options = form::Single<frmOptions>();
        if (!options.IsLoaded()) options.Value = CurrentSettings();
        options.OnApply = [this](const settings::Values& v) { frmOptions_Apply(v); };
        options.Show();
        break;
    }
    case 2: CompileHello(); break;
    case 5: BuildDocument(); break;
    case 6: RunBuiltProgram(); break;
    case 7: build_.Stop(); break;
    case 8:
    case 9:
        if (auto d = buildLog_.Step(index == 8)) GoToDiagnostic(*d);
        else MessageBeep(MB_OK);
        break;
    default: break;  // Compiler Setup and the hidden Compile do nothing
    }
}

void frmMain::ShowOutput(bool show) {
    HWND pane = outputPane();
    if (!pane) return;
    ShowWindow(pane, show ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(Hwnd()), ViewBase + 4, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
    LayoutControls();
}

void frmMain::AddOutputLine(const std::wstring& line) {
    HWND pane = outputPane();
    if (!pane) return;
    const LRESULT at = SendMessageW(pane, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (at < 0) return;
    buildLog_.Add(line, static_cast<size_t>(at));
    SendMessageW(pane, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);  // the latest line in view
}

void frmMain::BuildDocument() {
    if (build_.Running()) {
        filePrompts_.Tell(texts::BuildAlreadyRunning);
        return;
    }
    // What is built is the file on disk: a new or changed document is saved first.
    if ((doc_.DocumentPath.empty() || doc_.IsModified()) && !doc_.Save(InitDirSetting)) return;
    const std::wstring batch = ProgramFolder() + L"\\code\\compile.bat";
    if (!paths::IsFile(batch)) {
        filePrompts_.Tell(texts::CompileBatchMissing + batch);
        return;
    }
    const BuildCommand command = MakeBuildCommand(batch, SystemFolder, doc_.DocumentPath, ProcessEnvironment());
    if (HWND pane = outputPane()) SendMessageW(pane, LB_RESETCONTENT, 0, 0);
    buildLog_.Clear(paths::Folder(doc_.DocumentPath));
    builtProgram_.clear();
    buildSource_ = doc_.DocumentPath;
    ShowOutput(true);
    AddOutputLine(texts::BuildStarting + doc_.DocumentPath);
    std::wstring error;
    if (!build_.Start(Hwnd(), WM_BUILD, command, error)) {
        AddOutputLine(error);
        return;
    }
    EnableMenuItem(GetMenu(Hwnd()), ToolsBase + 7, MF_BYCOMMAND | MF_ENABLED);
}

void frmMain::OnBuildMessage(WPARAM wp, LPARAM lp) {
    if (wp == static_cast<WPARAM>(BuildEvent::Line)) {
        if (auto line = TakeBuildLine(lp)) AddOutputLine(*line);
        return;
    }
    if (wp != static_cast<WPARAM>(BuildEvent::Finished)) return;
    const std::unique_ptr<BuildResult> r = TakeBuildResult(lp);
    EnableMenuItem(GetMenu(Hwnd()), ToolsBase + 7, MF_BYCOMMAND | MF_GRAYED);
    if (!r) return;
    if (r->stopped) {
        AddOutputLine(texts::BuildStopped);
        return;
    }
    wchar_t seconds[32];
    swprintf(seconds, 32, L"%.1f", r->seconds);
    AddOutputLine(texts::BuildFinished + std::to_wstring(r->exitCode) + L" (" + seconds + L" s)");
    if (r->exitCode == 0) builtProgram_ = BuiltProgramOf(buildSource_);
}

void frmMain::RunBuiltProgram() {
    if (!paths::IsFile(builtProgram_)) {
        filePrompts_.Tell(texts::NothingToRun);
        return;
    }
    unsigned long error = 0;
    if (!StartInConsole(MakeRunCommand(builtProgram_, SystemFolder, ProcessEnvironment()), error))
        filePrompts_.Tell(texts::RunCannotStart + builtProgram_ + L"\n\n" + ReasonText(error));
}

void frmMain::GoToDiagnostic(size_t index) {
    buildLog_.SetCurrent(index);
    const Diagnostic& d = buildLog_.At(index);
    if (HWND pane = outputPane()) SendMessageW(pane, LB_SETCURSEL, buildLog_.PaneLineOf(index), 0);
    const std::wstring path = buildLog_.PathOf(d);
    // Another file is opened first, asking about unsaved changes as opening does.
    if (CompareStringOrdinal(path.c_str(), -1, doc_.DocumentPath.c_str(), -1, TRUE) != CSTR_EQUAL &&
        !doc_.Drop(path, InitDirSetting))
        return;
    editarea::GoToPlace(t1(), d.line - 1, d.column > 0 ? d.column - 1 : 0);
    SetFocus(t1());
}

void frmMain::CompileHello() {
    const CompileCommand cmd = MakeCompileCommand(ProgramFolder(), SystemFolder);
    unsigned long error = 0;
    if (StartCompile(cmd, error)) return;
    if (error == ERROR_FILE_NOT_FOUND)
        filePrompts_.Tell(texts::CompileBatchMissing + cmd.batchPath);
    else
        filePrompts_.Tell(texts::CompileCannotStart + cmd.batchPath + L"\n\n" + ReasonText(error));
}

void frmMain::mnuHelp_Click(int index) { mnuHelp_Command(index); }
