#include "frmMain.h"

#include <commctrl.h>

#include <utility>
#include <shellapi.h>

#include "AppInfo.h"
#include "EditArea.h"
#include "EditCommands.h"
#include "FormatChoices.h"
#include "HelpMenu.h"
#include "MainBars.h"
#include "Modal.h"
#include "Paths.h"
#include "Texts.h"
#include "ToolbarDef.h"
#include "WindowPlacement.h"
#include "WrapAndZoom.h"
#include "basFindWindows.h"
#include "frmOptions.h"

namespace {

// Posted after a drop so the prompt does not run inside the drop notification.
constexpr UINT WM_OPEN_DROPPED = WM_APP + 1;
// Wakes the status bar's clock when the minute changes.
constexpr UINT_PTR kClockTimer = 1;
// Writes the recovery file when the typing pauses.
constexpr UINT_PTR kRecoveryTimer = 2;
// Loads the Options dialog hidden once the user pauses: the load holds the window's thread some
// 30 ms, which a key pressed meanwhile would wait for.
constexpr UINT_PTR kOptionsTimer = 3;
constexpr UINT kOptionsPauseMs = 500;
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

}  // namespace

frmMain::frmMain()
    : filePrompts_(*this), view_(filePrompts_, settings_), doc_(view_, filePrompts_, docfile::SystemFiles(), settings_) {}

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
    // Start-up order: caption and document state, title, folders, placement, children, settings,
    // then the window shows.
    doc_.Reset();
    SetCaption(doc_.WindowCaption);
    AppTitle = texts::AppName;
    DefaultCodeFolder = settings::CodeFolderOf(ProgramFolder());
    FindSystemFolder();

    session_.Reset();
    HMENU menu = GetMenu(Hwnd());
    // Placed before the children exist: moving the window later lays them all out again.
    const settings::Values stored = LoadSettings();
    placement::Set(Hwnd(), Dpi(), {stored.left, stored.top, stored.width, stored.height});
    children_.Create(Hwnd(), Dpi(), {IdToolbar, IdT1, IdStatusBar, IdOutput}, tools_.Pane());
    tools_.Attach({Hwnd(), t1(), &doc_, &settings_, ProgramFolder(), SystemFolder,
                   [this](const std::wstring& m) { filePrompts_.Tell(m); }, [this](const std::wstring& m) { status_.Note(m); },
                   [this](bool show) { ShowOutput(show); }});
    status_.Attach(sbStatusBar(), t1(), menu);
    viewMenu_.Attach(menu, t1(), [this] { return syntax::LanguageOf(doc_.DocumentPath, view_.SaveType()); });
    UpdateStatusBar();
    ArmClock();
    view_.OnDocumentChanged = [this](bool newText) { DocumentChanged(newText); };
    view_.OnSaved = [this] { recovery_.Stored(); };  // every save, by whatever route
    recovery_.Attach(Hwnd(), kRecoveryTimer,
                     {[this] { return doc_.ModifiedAtOnce(); }, [this](const textdigest::TextHash& h) { return doc_.SavedText.Matches(h); },
                      [this] { return t1() ? editarea::StoredLength(t1()) : size_t{0}; },
                      [this](recovery::Record& r) {
                          r.path = doc_.DocumentPath;
                          r.format = doc_.Format;
                      },
                      [this](size_t from, size_t to, char* into) { editarea::CopyStoredPart(t1(), from, to, into); }});
    view_.Attach(Hwnd(), t1());
    accel_.reset(mainmenu::CreateAccelerators());
    SetAccelerators(accel_.get());
    DragAcceptFiles(Hwnd(), TRUE);

    UseSettings(stored);
    viewMenu_.LoadWordWrap();
    searches_.Attach({Hwnd(), t1(), [this] { return view_.TextChanges(); }, [this] { return view_.TextChangesCounted(); },
                      [this] { return doc_.Format.lineEnd; }});
    // The Options dialog is loaded hidden after the window has drawn and the user pauses: nothing
    // the first paint does not need goes before it.
    form::Single<frmOptions>().OnApply = [this](const settings::Values& v) { frmOptions_Apply(v); };
    SetTimer(Hwnd(), kOptionsTimer, kOptionsPauseMs, nullptr);
    LayoutControls();
}

void frmMain::OnDpiChanged() {
    children_.OnDpiChanged(Hwnd(), Dpi());
    LayoutControls();
}

void frmMain::LayoutControls() {
    if (!Hwnd() || !t1()) return;
    children_.Layout(Hwnd(), Dpi(), OutputShown());
    UpdateStatusBar();
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
    recovery_.OfferLeftBehind(doc_, settings_.initDir, [this](const std::wstring& m) { filePrompts_.Tell(m); });
}

void frmMain::EndSession() {
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
    cancel = !doc_.QueryClose(settings_.initDir);
    if (!session_.Ended()) SaveSettings(CurrentSettings());  // the session's end wrote them already
    if (cancel) return;
    recovery_.Closed();
    searches_.Detach();
}

settings::Values frmMain::CurrentSettings() const {
    settings::Values v = settings_;
    if (IsLoaded()) {
        const placement::Twips t = placement::Get(Hwnd(), Dpi());
        v.left = t.left, v.top = t.top, v.width = t.width, v.height = t.height;
    }
    return v;
}

void frmMain::UseSettings(const settings::Values& v) {
    settings_ = v;
    if (HWND edit = t1()) editarea::SetTabWidth(edit, settings_.tabWidth);
    viewMenu_.ApplySyntax();
}

void frmMain::frmOptions_Apply(const settings::Values& v) {
    UseSettings(v);
    SaveSettings(CurrentSettings());
}

// A relative path is completed now: later it would name a file in whatever folder is current then.
void frmMain::OpenStartupFile(const std::wstring& path) { doc_.Drop(paths::Full(path), settings_.initDir); }

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
    result = 0;
    switch (msg) {
    case WM_DROPFILES:
        OpenDropped(reinterpret_cast<HDROP>(wp));
        DragFinish(reinterpret_cast<HDROP>(wp));
        return true;
    case WM_NOTIFY: {
        NMHDR& h = *reinterpret_cast<NMHDR*>(lp);
        if (bars::AnswerTooltip(h)) return true;
        if (h.idFrom == IdT1 && wrapzoom::IsZoomNotice(h)) status_.ShowZoom(Dpi(), doc_);
        if (h.idFrom == IdT1 && editarea::OnNotify(t1(), h)) status_.ShowCaretPlace();
        if (h.idFrom == IdOutput) tools_.OnPaneNotify(h);
        return false;
    }
    case WM_INITMENUPOPUP: recent_.OnMenuOpening(reinterpret_cast<HMENU>(wp)); return false;
    case WM_CHECK_DISK:
        outside_.Check(doc_, Hwnd(), t1());
        status_.ShowDiskNote(doc_);
        return true;
    case WM_OPEN_DROPPED: doc_.Drop(std::exchange(pendingDrop_, {}), settings_.initDir); return true;
    case WM_TIMER:
        if (recovery_.OnTimer(wp)) return true;
        if (wp == kOptionsTimer) {
            if (!editarea::QuietFor(t1(), kOptionsPauseMs)) return true;  // asked again
            KillTimer(Hwnd(), kOptionsTimer);
            if (frmOptions& options = form::Single<frmOptions>(); !options.IsLoaded()) {
                options.Value = CurrentSettings();  // its list showing the stored file type
                options.Load();
            }
            return true;
        }
        if (wp != kClockTimer) return false;
        UpdateStatusBar();
        ArmClock();
        return true;
    case WM_QUERYENDSESSION: result = session_.Query(Hwnd(), doc_, settings_.initDir) ? TRUE : FALSE; return true;
    case WM_ENDSESSION:
        if (session_.Ends(wp != 0, doc_)) EndSession();
        return true;
    case WM_EXITSIZEMOVE: SaveSettingsQuietly(); return false;
    case WM_TIMECHANGE:
    case WM_SETTINGCHANGE: UpdateStatusBar(); return false;
    case WM_DESTROY:
        view_.Detach();  // the windows it works on go now
        tools_.Stop();
        outside_.Stop();
        return false;
    case WM_SETFOCUS:
        if (HWND edit = t1()) SetFocus(edit);
        return true;
    default: return false;
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
    const mainmenu::Command c = mainmenu::CommandOf(id);
    switch (c.menu) {
    case mainmenu::Menu::File: return mnufile_Click(c.index);
    case mainmenu::Menu::Edit: return mnuedit_Click(c.index);
    case mainmenu::Menu::View: return mnuview_Click(c.index);
    case mainmenu::Menu::Format: return mnuformat_Click(c.index);
    case mainmenu::Menu::Tools: return mnutools_Click(c.index);
    case mainmenu::Menu::Help: return mnuHelp_Click(c.index);
    case mainmenu::Menu::LineEnds: return mnuLineEnds_Click(c.index);
    case mainmenu::Menu::Reopen: return mnuReopen_Click(c.index);
    case mainmenu::Menu::Recent: return mnuRecent_Click(c.index);
    case mainmenu::Menu::Zoom: return mnuZoom_Click(c.index);
    case mainmenu::Menu::None: return;
    }
}

void frmMain::mnufile_Click(int index) {
    switch (index) {
    case mainmenu::FileNew:
        if (doc_.New(settings_.initDir)) status_.ShowFormat(doc_.Format, true);
        break;
    case mainmenu::FileOpen: doc_.Open(settings_.initDir); break;
    case mainmenu::FileSave:
    case mainmenu::FileSaveAs:
        if (index == mainmenu::FileSave ? doc_.Save(settings_.initDir) : doc_.SaveAs(settings_.initDir)) {
            status_.ShowDiskNote(doc_);
            status_.ShowFormat(doc_.Format, false);
            recent_.Add(doc_.DocumentPath);
        }
        break;
    case mainmenu::FilePrinterSetup: printCommands_.Setup(Hwnd()); break;
    case mainmenu::FilePrintPreview: modal::MsgBox(texts::PrintPreviewMessage, MB_OK, AppTitle, Hwnd()); break;  // hidden
    case mainmenu::FilePrint: printCommands_.WithDialog(PrintJob()); break;
    case mainmenu::FileSend: modal::MsgBox(texts::SendMessageText, MB_OK, AppTitle, Hwnd()); break;  // hidden
    case mainmenu::FileExit:
        // The settings are written once: by the closing sequence, or here when the user stays.
        if (doc_.ConfirmExit(settings_.initDir)) Unload();
        else SaveSettings(CurrentSettings());
        break;
    default: break;
    }
}

void frmMain::mnuedit_Click(int index) {
    if (!t1()) return;
    switch (index) {
    case mainmenu::EditFind: searches_.Find(); break;
    case mainmenu::EditFindNext: searches_.FindNext(); break;
    case mainmenu::EditReplace: searches_.Replace(); break;
    case mainmenu::EditFindInFiles: searches_.FindInFiles(Hwnd(), doc_.DocumentPath, settings_.initDir, tools_); break;
    default:
        if (editcommands::Run(index, {Hwnd(), t1(), &tools_.Pane(), doc_.Format.lineEnd})) EnablePaste();
        break;
    }
}

void frmMain::DocumentChanged(bool newText) {
    if (newText) {
        viewMenu_.NewText();  // another text: colouring as the View menu says
        recovery_.Stored();   // the text it kept is gone by the user's choice
    }
    viewMenu_.ApplySyntax();
    outside_.Follow(Hwnd(), WM_CHECK_DISK, doc_.DocumentPath);
    status_.ShowDiskNote(doc_);
    status_.ShowFormat(doc_.Format, !newText, doc_.KnownEnds());  // the name comes after the text, and the format with it
    if (!newText && !doc_.DocumentPath.empty()) recent_.Add(doc_.DocumentPath);
}

void frmMain::mnuZoom_Click(int index) {
    wrapzoom::Zoom(t1(), index);
    status_.ShowZoom(Dpi(), doc_);  // also told by the control; a zoom already at its limit tells nothing
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
    doc_.Drop(path, settings_.initDir);
}

void frmMain::mnuLineEnds_Click(int index) {
    const docfile::LineEnd style = textformat::LineEndItem(index);
    formatchoices::ConvertLineEnds(t1(), style);
    doc_.Format.lineEnd = style;
    status_.ShowFormat(doc_.Format, true);
}

void frmMain::mnuReopen_Click(int index) {
    doc_.Reopen(textformat::ReopenItem(index), settings_.initDir);  // the status follows its caption
}

void frmMain::mnuview_Click(int index) {
    switch (index) {
    case mainmenu::ViewStatusBar: status_.Toggle(Dpi(), doc_); break;
    case mainmenu::ViewOutput: ShowOutput(!OutputShown()); break;
    default:  // Toolbar (hidden) does nothing: the toolbar always shows
        viewMenu_.Run(index);
        if (index == mainmenu::ViewWordWrap && viewMenu_.WrapHeldBack())
            modal::MsgBox(texts::WordWrapHeldBack, MB_OK | MB_ICONINFORMATION, AppTitle, Hwnd());
        break;
    }
}

void frmMain::mnuformat_Click(int index) {
    // A format given to the text ends its colouring; the View menu follows.
    if (formatCommands_.Run(static_cast<FormatCommands::Item>(index), Hwnd(), t1())) viewMenu_.Formatted();
}

void frmMain::tbToolbar_ButtonClick(const std::wstring& key) {
    const toolbar::Route r = toolbar::RouteKey(key);
    // A failing command ends the click silently; quick print reports its own failures.
    try {
        switch (r.target) {
        case toolbar::Target::FileMenu: mnufile_Click(r.index); break;
        case toolbar::Target::EditMenu: mnuedit_Click(r.index); break;
        case toolbar::Target::QuickPrint: printCommands_.Quick(PrintJob()); break;
        case toolbar::Target::None: break;
        }
    } catch (const VbError&) {
    } catch (const std::exception&) {
    }
}

void frmMain::EnablePaste() {
    EnableMenuItem(GetMenu(Hwnd()), EditBase + mainmenu::EditPaste, MF_BYCOMMAND | MF_ENABLED);
    if (HWND bar = tbToolbar()) SendMessageW(bar, TB_ENABLEBUTTON, bars::ButtonId(toolbar::kPastePosition), TRUE);
}

void frmMain::ArmClock() { SetTimer(Hwnd(), kClockTimer, bars::MsToNextMinute(), nullptr); }

PrintCommands::Job frmMain::PrintJob() {
    return {Hwnd(), t1(), doc_.DocumentTitle.empty() ? texts::UntitledDocument : doc_.DocumentTitle, Text(),
            settings_.tabWidth};
}

void frmMain::mnutools_Click(int index) {
    if (index != mainmenu::ToolsOptions) return tools_.Run(index);
    // The dialog edits a copy of the settings; loaded afresh, it shows them as they stand.
    frmOptions& options = form::Single<frmOptions>();
    if (!options.IsLoaded()) options.Value = CurrentSettings();
    options.Show();
}

void frmMain::ShowOutput(bool show) {
    HWND pane = show ? tools_.Pane().Ensure() : outputPane();
    if (!pane) return;
    ShowWindow(pane, show ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(Hwnd()), ViewBase + mainmenu::ViewOutput, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
    LayoutControls();
}

void frmMain::mnuHelp_Click(int index) { mnuHelp_Command(index); }
