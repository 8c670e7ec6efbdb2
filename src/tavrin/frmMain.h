// The editor's main window: toolbar strip, editing area `t1`, status bar strip, the menus, the
// document and the closing sequence. It routes: each feature is a room of its own.
#pragma once
#include <string>

#include "Document.h"
#include "DocumentView.h"
#include "FilePrompts.h"
#include "Form.h"
#include "FormatCommands.h"
#include "MainChildren.h"
#include "MainMenus.h"
#include "MainStatus.h"
#include "OutsideChanges.h"
#include "PrintCommands.h"
#include "RecentMenu.h"
#include "RecoveryGuard.h"
#include "SearchCommands.h"
#include "SessionEnd.h"
#include "ToolsCommands.h"
#include "ViewCommands.h"
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
    BuildPane& Pane() { return tools_.Pane(); }
    // Whether the pane is shown (also while the window itself is hidden).
    bool OutputShown() const { return outputPane() && (GetWindowLongPtrW(outputPane(), GWL_STYLE) & WS_VISIBLE); }

    // The document state (DocumentPath, DocumentTitle, SavedText, WindowCaption, ExitConfirmed...).
    Document& Doc() { return doc_; }
    // The editing area's whole text (line ends as held) and its replacement.
    std::wstring Text() const { return view_.Text(); }
    void SetEditorText(const std::wstring& text) { view_.SetText(text); }

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

    // Opens a file given on the command line, as a drop would.
    void OpenStartupFile(const std::wstring& path);
    // At start: offers the unsaved text of a window that ended without saving it.
    void OfferRecovery();
    // Writes the unsaved text's recovery file now (when the document is modified; removes it
    // otherwise); the write itself runs on a worker.
    void WriteRecovery() { recovery_.WriteNow(); }
    recovery::Keeper& Recovery() { return recovery_.Keeper(); }

    // The settings as they stand: InitDir, DefaultFileType, LargeFileKB, TabWidth, Folding and the
    // window's placement.
    settings::Values CurrentSettings() const;

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
    // Options > Apply: the values the dialog reports become the settings, and are written.
    void frmOptions_Apply(const settings::Values& values);
    // Takes the values of the settings (not the placement).
    void UseSettings(const settings::Values& values);
    // The window's placement and options, written as they change; a failure waits for the next time.
    void SaveSettingsQuietly();

    // The layout rule, run on every size change.
    void LayoutControls();
    void UpdateStatusBar() { status_.Update(Dpi(), doc_); }
    void ArmClock();
    void ShowOutput(bool show);
    // Another text or another name: the colouring of its language, the watch, the status bar.
    void DocumentChanged(bool newText);
    // What a print job prints: this document as the editing area shows it.
    PrintCommands::Job PrintJob();
    // Enables Edit > Paste and the toolbar's Paste button, for good (the first Cut or Copy).
    void EnablePaste();
    void OpenDropped(HDROP drop);
    // The session ends now: the last writes, then the window closes.
    void EndSession();

    // In this order: the document asks through the prompts and the view, with the settings.
    FilePrompts filePrompts_;
    settings::Values settings_;
    DocumentView view_;
    Document doc_;
    raii::Accel accel_;
    std::wstring pendingDrop_;

    MainChildren children_;
    MainStatus status_;
    ViewCommands viewMenu_{settings_.folding};
    RecoveryGuard recovery_;
    SessionEnd session_;
    bool wasZoomed_ = false;
    ToolsCommands tools_;  // the build's output pane and Find in Files
    SearchCommands searches_;  // its choices kept for the run; the search dialogs come and go
    PrintCommands printCommands_;
    FormatCommands formatCommands_;
    OutsideChanges outside_;
    RecentMenu recent_;
};
