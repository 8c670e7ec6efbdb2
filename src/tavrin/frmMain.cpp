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
#include "ZoomLevel.h"
#include "CompileCommand.h"
#include "HelpMenu.h"
#include "basFindWindows.h"
#include "BuildCommand.h"
#include "CaretPlace.h"
#include "frmGoTo.h"
#include "frmFindInFiles.h"
#include "CodeFolding.h"
#include "frmOptions.h"
#include "frmReplace.h"

namespace {

// Posted after a drop so the prompt does not run inside the drop notification.
constexpr UINT WM_OPEN_DROPPED = WM_APP + 1;
// Wakes the status bar's clock when the minute changes.
constexpr UINT_PTR kClockTimer = 1;
// Writes the recovery file when the typing pauses.
constexpr UINT_PTR kRecoveryTimer = 2;
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

// The editing area's text before the user picks a font: a fixed-pitch face for source text (another
// installed fixed-pitch face where this one is missing).
constexpr const wchar_t* kEditFace = L"Courier New";
constexpr double kEditPoints = 10;

// Gap between the toolbar strip and the editing area (360 - 330 twips at design).
constexpr int kGapTwips = 30;
// The output pane's height when the window has room for it (about eight lines).
constexpr int kPaneTwips = 1800;

}  // namespace

frmMain::frmMain() : filePrompts_(*this), view_(filePrompts_), doc_(view_, filePrompts_, docfile::SystemFiles()) {}

const form::FormDef& frmMain::Definition() const { return kDef; }

HMENU frmMain::CreateMenuBar() {
    HMENU bar = mainmenu::CreateBar();
    using namespace formatchoices;
    recent_.Attach(bar, FileBase + mainmenu::FileRecentFiles);
    MakeSubmenu(bar, FileBase + mainmenu::FileReopenEncoding, texts::ReopenItems, std::size(texts::ReopenItems), ReopenBase);
    MakeSubmenu(bar, ViewBase + mainmenu::ViewZoom, texts::ZoomItems, std::size(texts::ZoomItems), wrapzoom::ZoomBase);
    MakeSubmenu(bar, FormatBase + mainmenu::FormatLineEnds, texts::LineEndItems, std::size(texts::LineEndItems),
                LineEndsBase);
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
    {
        settings::RegistryStore store;
        wordWrap_ = zoom::ReadWordWrap(store);
        wrapzoom::SetWordWrap(t1(), wordWrap_);
        CheckMenuItem(GetMenu(Hwnd()), ViewBase + mainmenu::ViewWordWrap, MF_BYCOMMAND | (wordWrap_ ? MF_CHECKED : MF_UNCHECKED));
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
        editarea::SetBaseFont(edit, fixedface::Installed(kEditFace), DEFAULT_CHARSET, kEditPoints);
        editarea::ShowLineNumbers(edit, true);
        SetFocus(edit);
    }
    // The build's output, shown below the editing area by View > Output and by a build.
    pane_.Create(Hwnd(), IdOutput, fixedface::Installed(kEditFace), kEditPoints);
    pane_.BuildEnded = [this] { EnableMenuItem(GetMenu(Hwnd()), ToolsBase + mainmenu::ToolsStopBuild, MF_BYCOMMAND | MF_GRAYED); };
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
    v.folding = foldingWanted_;
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
    foldingWanted_ = v.folding;
    ApplySyntax();
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
            if (wrapzoom::IsZoomNotice(*h)) ShowZoom();
            if (editarea::OnNotify(t1(), *h)) ShowCaretPlace();
        }
        if (h->idFrom == IdOutput)
            if (auto place = pane_.OnNotify(*h)) GoToPlace(*place);
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
        pane_.Stop();
        outside_.Stop();
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
        return;
    }
    if (id >= formatchoices::LineEndsBase && id < formatchoices::LineEndsBase + 3)
        return mnuLineEnds_Click(id - formatchoices::LineEndsBase);
    if (id >= formatchoices::ReopenBase && id < formatchoices::ReopenBase + 5)
        return mnuReopen_Click(id - formatchoices::ReopenBase);
    if (id >= RecentMenu::FirstId && id <= RecentMenu::ClearId) return mnuRecent_Click(id);
    if (id >= wrapzoom::ZoomBase && id < wrapzoom::ZoomBase + 3) return mnuZoom_Click(id - wrapzoom::ZoomBase);
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
    case mainmenu::FileNew:
        if (doc_.New(InitDirSetting)) ShowFormat(true);
        break;
    case mainmenu::FileOpen: doc_.Open(InitDirSetting); break;
    case mainmenu::FileSave:
    case mainmenu::FileSaveAs:
        if (index == mainmenu::FileSave ? doc_.Save(InitDirSetting) : doc_.SaveAs(InitDirSetting)) {
            outside_.ShowNote(doc_, sbStatusBar());
            ShowFormat(false);
            recent_.Add(doc_.DocumentPath);
        }
        break;
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
    case mainmenu::EditCopy:  // Copy: from the output pane while it has the focus
        clipboard::SetText(Hwnd(), GetFocus() == outputPane() ? pane_.SelectedText() : SelectedText(edit));
        EnablePaste();
        break;
    case mainmenu::EditPaste:  // Paste: no text on the clipboard deletes the selection; line ends become the document's
        editarea::ReplaceSelection(edit, docfile::WithLineEnds(clipboard::GetText(Hwnd()), doc_.Format.lineEnd));
        break;
    case mainmenu::EditSelectAll:  // Select All
        if (GetFocus() == outputPane()) pane_.SelectAll();
        else editarea::SelectAll(edit);
        break;
    case mainmenu::EditFind: form::Single<Form3>().ShowFind(); break;
    case mainmenu::EditFindNext: form::Single<Form3>().ShowFindNext(); break;
    case mainmenu::EditReplace: form::Single<frmReplace>().Show(); break;
    case mainmenu::EditGoTo: GoToLine(); break;
    case mainmenu::EditFindInFiles: FindInFiles(); break;
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
    const bool fits = editarea::Colourable(edit);
    editarea::SetLanguage(edit, on && fits ? syntax::LanguageOf(doc_.DocumentPath, view_.SaveType())
                                           : syntax::Language::None);
    folding::Apply(edit, foldingWanted_ && editarea::Language(edit) != syntax::Language::None);
    CheckMenuItem(GetMenu(Hwnd()), ViewBase + mainmenu::ViewSyntaxColouring, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(GetMenu(Hwnd()), ViewBase + mainmenu::ViewFolding, MF_BYCOMMAND | (foldingWanted_ ? MF_CHECKED : MF_UNCHECKED));
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
    case mainmenu::ViewFolding:
        foldingWanted_ = !foldingWanted_;
        ApplySyntax();
        break;
    case mainmenu::ViewWordWrap:  // Word Wrap, kept for the next start
        wordWrap_ = !wordWrap_;
        wrapzoom::SetWordWrap(t1(), wordWrap_);
        CheckMenuItem(GetMenu(Hwnd()), ViewBase + mainmenu::ViewWordWrap, MF_BYCOMMAND | (wordWrap_ ? MF_CHECKED : MF_UNCHECKED));
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
    bars::UpdateStatusBar(sbStatusBar(), Dpi(), zoomShown_);
    outside_.ShowNote(doc_, sbStatusBar());
    ShowFormat(false);
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
    case mainmenu::ToolsOptions: {
        // The dialog edits a copy of the settings; loaded afresh, it shows them as they stand.
        frmOptions& options = form::Single<frmOptions>();
        if (!options.IsLoaded()) options.Value = CurrentSettings();
        options.Show();
        break;
    }
    case mainmenu::ToolsCompileBorland: CompileHello(); break;
    case mainmenu::ToolsBuild: BuildDocument(); break;
    case mainmenu::ToolsRun: RunBuiltProgram(); break;
    case mainmenu::ToolsStopBuild:
        pane_.Stop();
        filesSearch_.Stop();
        break;
    case mainmenu::ToolsNextError:
    case mainmenu::ToolsPreviousError:
        if (auto place = pane_.Step(index == mainmenu::ToolsNextError)) GoToPlace(*place);
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

void frmMain::BuildDocument() {
    if (pane_.Running()) {
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
    ShowOutput(true);
    std::wstring error;
    if (pane_.Build(MakeBuildCommand(batch, SystemFolder, doc_.DocumentPath, ProcessEnvironment()), doc_.DocumentPath,
                    error))
        EnableMenuItem(GetMenu(Hwnd()), ToolsBase + mainmenu::ToolsStopBuild, MF_BYCOMMAND | MF_ENABLED);
}

void frmMain::RunBuiltProgram() {
    const std::wstring& program = pane_.BuiltProgram();
    if (!paths::IsFile(program)) {
        filePrompts_.Tell(texts::NothingToRun);
        return;
    }
    unsigned long error = 0;
    if (!StartInConsole(MakeRunCommand(program, SystemFolder, ProcessEnvironment()), error))
        filePrompts_.Tell(texts::RunCannotStart + program + L"\n\n" + ReasonText(error));
}

void frmMain::FindInFiles() {
    frmFindInFiles& dialog = form::Single<frmFindInFiles>();
    if (!doc_.DocumentPath.empty()) dialog.Folder = paths::Folder(doc_.DocumentPath);
    else if (dialog.Folder.empty()) dialog.Folder = InitDirSetting;
    dialog.ShowModal(Hwnd());
    std::wstring error;
    const auto pattern = dialog.Accepted ? search::Pattern::Make(dialog.Query, error) : std::nullopt;
    if (!pattern) return;
    pane_.Clear(dialog.Folder);
    ShowOutput(true);
    pane_.Append({texts::FindInFilesStarting + dialog.Query.what + texts::FindInFilesIn + dialog.Folder});
    EnableMenuItem(GetMenu(Hwnd()), ToolsBase + 7, MF_BYCOMMAND | MF_ENABLED);  // Ctrl+Break stops it
    const FilesSearch::Sink sink{[this](std::vector<findfiles::Hit>&& hits) { AddFoundPlaces(hits); },
                                 [this](const std::wstring& summary) {
                                     pane_.Append({summary});
                                     if (!pane_.Running())
                                         EnableMenuItem(GetMenu(Hwnd()), ToolsBase + 7, MF_BYCOMMAND | MF_GRAYED);
                                 }};
    filesSearch_.Start({dialog.Folder, findfiles::SplitTypes(dialog.Types), dialog.Subfolders}, *pattern,
                       [poster = mailbox_.GetPoster()](std::function<void()> task) { return poster.Post(std::move(task)); },
                       sink);
}

void frmMain::AddFoundPlaces(const std::vector<findfiles::Hit>& hits) {
    std::vector<std::wstring> lines;
    std::vector<Diagnostic> places;
    for (const findfiles::Hit& h : hits) {
        lines.push_back(findfiles::ResultLine(h));
        places.push_back({h.path, static_cast<int>(h.line), static_cast<int>(h.column), Severity::Note, h.text});
    }
    pane_.Append(lines, places);
}

void frmMain::GoToPlace(const BuildPane::Place& place) {
    // A file that is not there: said in the status bar, and nothing else changes.
    if (!paths::IsFile(place.path)) {
        const std::wstring note = texts::PlaceFileMissing + place.path;
        SendMessageW(sbStatusBar(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(note.c_str()));
        return;
    }
    // Another file is opened first, asking about unsaved changes as opening does.
    if (CompareStringOrdinal(place.path.c_str(), -1, paths::Full(doc_.DocumentPath).c_str(), -1, TRUE) != CSTR_EQUAL &&
        !doc_.Drop(place.path, InitDirSetting))
        return;
    const int64_t line = place.line - 1;
    editarea::GoToPlace(t1(), line, CharacterOfColumn(editarea::LineText(t1(), line), place.column, place.columns));
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
