// The editor's main window: toolbar strip, editing area `t1`, status bar strip, the menus, the
// document and the closing sequence.
#pragma once
#include <string>

#include "BuildPane.h"
#include "Document.h"
#include "FilesSearch.h"
#include "UiTask.h"
#include "DocumentView.h"
#include "FilePrompts.h"
#include "FormatChoices.h"
#include "Form.h"
#include "MainBars.h"
#include "MenuBar.h"
#include "OutsideChanges.h"
#include "RecentMenu.h"
#include "WrapAndZoom.h"
#include "FormatCommands.h"
#include "MainMenus.h"
#include "PrintCommands.h"
#include "RecoveryGuard.h"
#include "basTavrin.h"

class frmMain : public form::Form {
public:
    frmMain();

    // Child window ids.
    static constexpr int IdToolbar = 1001;  // tbToolbar
    static constexpr int IdT1 = 1002;       // t1, the editing area
    static constexpr int IdStatusBar = 1003;  // sbStatusBar
    static constexpr int IdOutput = 1004;     // the build's output pane
    // Menu command ids: base + item index (window/MainMenus).
    static constexpr int FileBase = mainmenu::FileBase, EditBase = mainmenu::EditBase, ViewBase = mainmenu::ViewBase,
                         FormatBase = mainmenu::FormatBase, ToolsBase = mainmenu::ToolsBase,
                         HelpBase = mainmenu::HelpBase;

    HWND t1() const { return Item(IdT1); }
    HWND tbToolbar() const { return Item(IdToolbar); }
    HWND sbStatusBar() const { return Item(IdStatusBar); }
    HWND outputPane() const { return Item(IdOutput); }
    BuildPane& Pane() { return pane_; }
    // Whether the pane is shown (also while the window itself is hidden).
    bool OutputShown() const { return outputPane() && (GetWindowLongPtrW(outputPane(), GWL_STYLE) & WS_VISIBLE); }

    // The document state (DocumentPath, DocumentTitle, SavedText, WindowCaption, ExitConfirmed...).
    Document& Doc() { return doc_; }
    // The editing area's whole text (line ends as held) and its replacement.
    std::wstring Text() const { return view_.Text(); }
    void SetEditorText(const std::wstring& text) { view_.SetText(text); }
    // The editing area's change count (DocumentView has it).
    unsigned long long TextChanges() const { return view_.TextChanges(); }
    void NoteTextChanged() { view_.NoteTextChanged(); }
    bool TextChangesCounted() const { return view_.TextChangesCounted(); }

    // Menu handlers: one per menu, by item index.
    void mnufile_Click(int index);
    void mnuedit_Click(int index);
    void mnuview_Click(int index);
    void mnuformat_Click(int index);
    void mnutools_Click(int index);
    void mnuHelp_Click(int index);
    // Format > Line Ends and File > Reopen with Encoding, by item index.
    void mnuLineEnds_Click(int index);
    void mnuReopen_Click(int index);
    // File > Recent Files: an item's command id, or Clear Recent Files.
    void mnuRecent_Click(int id);
    // View > Zoom: In, Out, Restore Default Zoom.
    void mnuZoom_Click(int index);

    // Toolbar click by button key: runs the button's command with its errors suppressed.
    void tbToolbar_ButtonClick(const std::wstring& key);
    // Prints the whole text at once, one copy, in the editing area's face and the selection's
    // colour and size; failures show the printer error message.
    void QuickPrint();
    // Enables Edit > Paste and the toolbar's Paste button, for good (the first Cut or Copy).
    void EnablePaste();
    bool PasteEnabled() const { return pasteEnabled_; }
    // The status bar's panels again (texts, date, time, widths).
    void UpdateStatusBar();
    // Tools > "C++ with Borland Compiler 5.5": starts code\compile.bat hello.cpp beside the program.
    void CompileHello();

    // Opens a file given on the command line, as a drop would.
    void OpenStartupFile(const std::wstring& path);
    // At start: offers the unsaved text of a window that ended without saving it.
    void OfferRecovery();
    // Writes the unsaved text's recovery file now (when the document is modified; removes it
    // otherwise); the write itself runs on a worker.
    void WriteRecovery() { recovery_.WriteNow(); }
    recovery::Keeper& Recovery() { return recovery_.Keeper(); }

    // The settings as they stand: InitDir, DefaultFileType, LargeFileKB and the window's placement.
    settings::Values CurrentSettings() const;
    // Takes the values of the settings (not the placement).
    void UseSettings(const settings::Values& values);

    // The layout rule, run on every size change.
    void LayoutControls();

protected:
    const form::FormDef& Definition() const override;
    HMENU CreateMenuBar() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Form_Resize() override;
    void Form_Activate() override;
    void OnCommand(int id, int notifyCode, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDpiChanged() override;

private:
    // What a print job prints: this document as the editing area shows it.
    PrintCommands::Job PrintJob();
    void ArmClock();

    void CreateChildren();
    void OpenDropped(HDROP drop);
    // Edit > Go To...: the dialog, then the caret to the line asked for.
    void GoToLine();
    // The status bar's "Ln, Col" panel.
    void ShowCaretPlace();
    // The encoding and line ends in the status bar and the Line Ends menu (`count`: the text's line
    // ends counted again).
    void ShowFormat(bool count);
    // The zoom's panel, shown while the zoom is not 100%.
    void ShowZoom();
    // Another text or another name: the colouring of its language, as the View menu says.
    void DocumentChanged(bool newText);
    void ApplySyntax();
    // The end of the session: the save-changes question, then the last writes.
    bool QueryEndSession();
    void EndSession();
    // The window's placement and options, written as they change; a failure waits for the next time.
    void SaveSettingsQuietly();
    // Tools > Build, Run, Next and Previous Error; View > Output.
    void BuildDocument();
    void RunBuiltProgram();
    // F4, Shift+F4 and a double-click in the pane: the file opened (or a note when it is not there)
    // and the caret at the character the compiler meant.
    void GoToPlace(const BuildPane::Place& place);
    // Edit > Find in Files...: the dialog, then the search on a worker, its places into the output pane.
    void FindInFiles();
    void AddFoundPlaces(const std::vector<findfiles::Hit>& hits);
    void ShowOutput(bool show);

    // Options > Apply: the values the dialog reports become the settings, and are written.
    void frmOptions_Apply(const settings::Values& values);

    // In this order: the document asks through the prompts and the view.
    FilePrompts filePrompts_;
    DocumentView view_;
    Document doc_;
    raii::Accel accel_;
    std::wstring pendingDrop_;

    bars::ToolbarIcons imlToolbarIcons_;
    bool pasteEnabled_ = false;
    // View > Syntax Colouring as chosen, and whether a format given to this text turned it off.
    bool colouringWanted_ = true;
    bool formatted_ = false;
    bool foldingWanted_ = true;  // View > Folding, kept as the setting Folding
    RecoveryGuard recovery_;
    bool sessionEnded_ = false;
    bool endSessionConfirmed_ = false;  // the session's end was agreed to with the document modified
    bool wasZoomed_ = false;
    BuildPane pane_;  // the build's output pane
    FilesSearch filesSearch_;
    search::Choices searchChoices_;  // kept for the run; the search dialogs come and go
    uitask::Mailbox mailbox_;  // Find in Files' batches come to the window through it
    PrintCommands printCommands_;
    FormatCommands formatCommands_;
    OutsideChanges outside_;
    RecentMenu recent_;
    bool wordWrap_ = false;
    bool zoomShown_ = false;
    textformat::Ends ends_ = textformat::Ends::CrLf;
};
