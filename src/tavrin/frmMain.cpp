#include "frmMain.h"

#include <commctrl.h>

#include <algorithm>
#include <span>
#include <shellapi.h>


#include "AppInfo.h"
#include "Clipboard.h"
#include "Form3.h"
#include "MainLayout.h"
#include "Modal.h"
#include "Paths.h"
#include "EditArea.h"
#include "MainMenus.h"
#include "WindowPlacement.h"
#include "FixedFace.h"
#include "SafeSave.h"
#include "Texts.h"
#include "ToolbarDef.h"
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

const form::FormDef kDef{
    .className = L"TavrinMain",
    .caption = texts::UntitledCaption,
    .clientWidth = 6810,
    .clientHeight = 6360,
    .style = WS_OVERLAPPEDWINDOW,
    .dialogKeys = false,
};

// The editing area's text before the user picks a font: a fixed-pitch face for source text (another
// installed fixed-pitch face where this one is missing).
constexpr const wchar_t* kEditFace = L"Courier New";
constexpr double kEditPoints = 10;

// Gap between the toolbar strip and the editing area (360 - 330 twips at design).
constexpr int kGapTwips = 30;
// The output pane's height when the window has room for it (about eight lines).
constexpr int kPaneTwips = 1800;

}  // namespace

frmMain::frmMain()
    : filePrompts_(*this),
      view_(filePrompts_),
      doc_(view_, filePrompts_, docfile::SystemFiles()),
      build_([this](std::vector<std::wstring>& lines) { for (const std::wstring& l : lines) AddOutputLine(l); },
             [this](const BuildResult& r) { OnBuildFinished(r); }) {}

const form::FormDef& frmMain::Definition() const { return kDef; }

HMENU frmMain::CreateMenuBar() { return mainmenu::CreateBar(); }

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
    view_.OnSaved = [this] { recovery_.Stored(); };  // every save, by whatever route
    recovery_.Attach(Hwnd(), kRecoveryTimer,
                     {[this] { return doc_.IsModified(); }, [this] { return t1() ? editarea::StoredLength(t1()) : size_t{0}; },
                      [this](recovery::Record& r) {
                          r.path = doc_.DocumentPath;
                          r.format = doc_.Format;
                          editarea::CopyStoredText(t1(), r.text);
                      }});
    view_.Attach(Hwnd(), t1());
    accel_.reset(mainmenu::CreateAccelerators());
    SetAccelerators(accel_.get());
    DragAcceptFiles(Hwnd(), TRUE);

    const settings::Values stored = LoadSettings();
    UseSettings(stored);
    placement::Set(Hwnd(), Dpi(), {stored.left, stored.top, stored.width, stored.height});
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
        editarea::SetBaseFont(edit, fixedface::Installed(kEditFace), DEFAULT_CHARSET, kEditPoints);
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

void frmMain::SaveSettingsQuietly() {
    try {
        SaveSettings(CurrentSettings());
    } catch (const VbError&) {
    }
}

void frmMain::OfferRecovery() {
    recovery_.OfferLeftBehind(doc_, InitDirSetting, [this](const std::wstring& m) { filePrompts_.Tell(m); });
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
    // Unless the question was answered, the unsaved text stays for the next start.
    recovery_.SessionEnds(doc_.ExitConfirmed);
    doc_.ExitConfirmed = true;
    Unload();
}

void frmMain::Form_Unload(bool& cancel) {
    // Decided before the settings are written, so a failing write cannot close a window the user kept;
    // a failure on the way (the save raising) keeps the window and its text.
    cancel = true;
    cancel = !doc_.QueryClose(InitDirSetting);
    if (!sessionEnded_) SaveSettings(CurrentSettings());  // the session's end wrote them already
    if (cancel) return;
    recovery_.Closed();
    // The Find dialog works on this window's editing area: it goes with it.
    {
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
    if (IsLoaded()) {
        const placement::Twips t = placement::Get(Hwnd(), Dpi());
        v.left = t.left, v.top = t.top, v.width = t.width, v.height = t.height;
    }
    return v;
}

void frmMain::UseSettings(const settings::Values& v) {
    InitDirSetting = v.initDir;
    DefaultFileTypeSetting = v.defaultFileType;
    LargeFileKBSetting = v.largeFileKB;
    TabWidthSetting = v.tabWidth;
    if (HWND edit = t1()) editarea::SetTabWidth(edit, TabWidthSetting);
}

void frmMain::frmOptions_Apply(const settings::Values& v) {
    UseSettings(v);
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
            if (editarea::OnNotify(t1(), *h)) ShowCaretPlace();
        }
        return false;
    }
    case WM_OPEN_DROPPED: {
        std::wstring path;
        path.swap(pendingDrop_);
        doc_.Drop(path, InitDirSetting);
        result = 0;
        return true;
    }
    case WM_TIMER:
        if (recovery_.OnTimer(wp)) {
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
        build_.Stop();
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
            recovery_.Edited();
        }
        if (control == tbToolbar() && bars::PositionOf(id)) tbToolbar_ButtonClick(bars::KeyOf(id));
        if (id == IdOutput && notifyCode == LBN_DBLCLK) {
            const LRESULT line = SendMessageW(control, LB_GETCURSEL, 0, 0);
            if (line >= 0)
                if (auto d = buildLog_.OnPaneLine(static_cast<size_t>(line))) GoToDiagnostic(*d);
        }
        return;
    }
    size_t menuCount = 0;
    const form::MenuDef* menus = mainmenu::Menus(menuCount);
    for (const form::MenuDef& m : std::span(menus, menuCount)) {
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
    case mainmenu::FileNew: doc_.New(InitDirSetting); break;
    case mainmenu::FileOpen: doc_.Open(InitDirSetting); break;
    case mainmenu::FileSave: doc_.Save(InitDirSetting); break;
    case mainmenu::FileSaveAs: doc_.SaveAs(InitDirSetting); break;
    case mainmenu::FilePrinterSetup: printCommands_.Setup(Hwnd()); break;
    case mainmenu::FilePrintPreview: modal::MsgBox(texts::PrintPreviewMessage, MB_OK, AppTitle, Hwnd()); break;  // hidden
    case mainmenu::FilePrint: printCommands_.WithDialog(PrintJob()); break;
    case mainmenu::FileSend: modal::MsgBox(texts::SendMessageText, MB_OK, AppTitle, Hwnd()); break;  // hidden
    case mainmenu::FileExit:
        // The settings are written once: by the closing sequence, or here when the user stays.
        if (doc_.ConfirmExit(InitDirSetting)) Unload();
        else SaveSettings(CurrentSettings());
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
    case mainmenu::EditUndo:  // Undo: the editing area's own undo
        editarea::Undo(edit);
        break;
    case mainmenu::EditCut:  // Cut: the selection goes only once it is on the clipboard
        clipboard::SetText(Hwnd(), SelectedText(edit));
        editarea::ReplaceSelection(edit, L"");
        EnablePaste();
        break;
    case mainmenu::EditCopy:  // Copy
        clipboard::SetText(Hwnd(), SelectedText(edit));
        EnablePaste();
        break;
    case mainmenu::EditPaste:  // Paste: no text on the clipboard deletes the selection; line ends become the document's
        editarea::ReplaceSelection(edit, docfile::WithLineEnds(clipboard::GetText(Hwnd()), doc_.Format.lineEnd));
        break;
    case mainmenu::EditSelectAll:  // Select All
        editarea::SelectAll(edit);
        break;
    case mainmenu::EditFind: form::Single<Form3>().ShowFind(); break;
    case mainmenu::EditFindNext: form::Single<Form3>().ShowFindNext(); break;
    case mainmenu::EditReplace: form::Single<frmReplace>().Show(); break;
    case mainmenu::EditGoTo: GoToLine(); break;
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
        recovery_.Stored();  // the text it kept is gone by the user's choice
    }
    ApplySyntax();
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
    CheckMenuItem(GetMenu(Hwnd()), ViewBase + mainmenu::ViewSyntaxColouring, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void frmMain::mnuview_Click(int index) {
    switch (index) {
    case mainmenu::ViewStatusBar: {  // Status Bar: the check mark, then the bar follows it
        HMENU bar = GetMenu(Hwnd());
        const bool show = !(GetMenuState(bar, ViewBase + mainmenu::ViewStatusBar, MF_BYCOMMAND) & MF_CHECKED);
        CheckMenuItem(bar, ViewBase + mainmenu::ViewStatusBar, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
        if (HWND sb = sbStatusBar()) {
            if (show) UpdateStatusBar();
            ShowWindow(sb, show ? SW_SHOW : SW_HIDE);
        }
        break;
    }
    case mainmenu::ViewSyntaxColouring:  // Syntax Colouring: for as long as the program runs
        colouringWanted_ = !(GetMenuState(GetMenu(Hwnd()), ViewBase + mainmenu::ViewSyntaxColouring, MF_BYCOMMAND) & MF_CHECKED);
        formatted_ = false;
        ApplySyntax();
        break;
    case mainmenu::ViewLineNumbers: {  // Line Numbers
        HMENU bar = GetMenu(Hwnd());
        const bool show = !(GetMenuState(bar, ViewBase + mainmenu::ViewLineNumbers, MF_BYCOMMAND) & MF_CHECKED);
        CheckMenuItem(bar, ViewBase + mainmenu::ViewLineNumbers, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
        if (HWND edit = t1()) editarea::ShowLineNumbers(edit, show);
        break;
    }
    case mainmenu::ViewOutput: ShowOutput(!OutputShown()); break;  // Output
    default: break;  // Toolbar (hidden): the toolbar always shows
    }
}

void frmMain::mnuformat_Click(int index) {
    // A format given to the text ends its colouring; the View menu follows.
    if (formatCommands_.Run(static_cast<FormatCommands::Item>(index), Hwnd(), t1())) {
        formatted_ = true;
        ApplySyntax();
    }
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
    EnableMenuItem(GetMenu(Hwnd()), EditBase + mainmenu::EditPaste, MF_BYCOMMAND | MF_ENABLED);
    if (HWND bar = tbToolbar()) SendMessageW(bar, TB_ENABLEBUTTON, bars::ButtonId(toolbar::kPastePosition), TRUE);
}

void frmMain::UpdateStatusBar() {
    bars::UpdateStatusBar(sbStatusBar(), Dpi());
    ShowCaretPlace();
}

void frmMain::ArmClock() { SetTimer(Hwnd(), kClockTimer, bars::MsToNextMinute(), nullptr); }

PrintCommands::Job frmMain::PrintJob() {
    return {Hwnd(), t1(), doc_.DocumentTitle.empty() ? texts::UntitledDocument : doc_.DocumentTitle, Text(),
            TabWidthSetting};
}

void frmMain::QuickPrint() { printCommands_.Quick(PrintJob()); }

void frmMain::mnutools_Click(int index) {
    switch (index) {
    case 0: {
        // The dialog edits a copy of the settings; loaded afresh, it shows them as they stand.
        frmOptions& options = form::Single<frmOptions>();
        if (!options.IsLoaded()) options.Value = CurrentSettings();
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
    CheckMenuItem(GetMenu(Hwnd()), ViewBase + mainmenu::ViewOutput, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
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
    if (!build_.Start(command, error)) {
        AddOutputLine(error);
        return;
    }
    EnableMenuItem(GetMenu(Hwnd()), ToolsBase + 7, MF_BYCOMMAND | MF_ENABLED);
}

void frmMain::OnBuildFinished(const BuildResult& r) {
    EnableMenuItem(GetMenu(Hwnd()), ToolsBase + 7, MF_BYCOMMAND | MF_GRAYED);
    if (r.stopped) {
        AddOutputLine(texts::BuildStopped);
        return;
    }
    wchar_t seconds[32];
    swprintf(seconds, 32, L"%.1f", r.seconds);
    AddOutputLine(texts::BuildFinished + std::to_wstring(r.exitCode) + L" (" + seconds + L" s)");
    if (r.exitCode == 0) builtProgram_ = BuiltProgramOf(buildSource_);
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
