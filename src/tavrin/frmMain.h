// The editor's main window: toolbar strip, editing area `t1`, status bar strip, the menus, the
// document and the closing sequence.
#pragma once
#include <string>

#include "BuildLog.h"
#include "BuildRunner.h"
#include "Document.h"
#include "DocumentView.h"
#include "FilePrompts.h"
#include "Form.h"
#include "MainBars.h"
#include "MenuBar.h"
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
    // Whether the pane is shown (also while the window itself is hidden).
    bool OutputShown() const { return outputPane() && (GetWindowLongPtrW(outputPane(), GWL_STYLE) & WS_VISIBLE); }

    // The document state (DocumentPath, DocumentTitle, SavedText, WindowCaption, ExitConfirmed...).
    Document& Doc() { return doc_; }
    // The editing area's whole text (CR LF line ends) and its replacement.
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
    void OnBuildFinished(const BuildResult& r);
    void RunBuiltProgram();
    void GoToDiagnostic(size_t index);
    void ShowOutput(bool show);
    void AddOutputLine(const std::wstring& line);

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
    RecoveryGuard recovery_;
    bool sessionEnded_ = false;
    bool endSessionConfirmed_ = false;  // the session's end was agreed to with the document modified
    bool wasZoomed_ = false;
    BuildRunner build_;
    BuildLog buildLog_;
    std::wstring buildSource_;   // the document the running or last build compiled
    std::wstring builtProgram_;  // what the last successful build made
    PrintCommands printCommands_;
    FormatCommands formatCommands_;
};
