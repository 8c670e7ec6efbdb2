// The editor's main window: toolbar strip, editing area `t1`, status bar strip, the menus, the
// document and the closing sequence.
#pragma once
#include <string>

#include "Document.h"
#include "FilePrompts.h"
#include "Form.h"
#include "MainBars.h"
#include "MenuBar.h"
#include "Printing.h"
#include "basTavrin.h"

class frmMain : public form::Form, private DocumentUi {
public:
    frmMain();

    // Child window ids.
    static constexpr int IdToolbar = 1001;  // tbToolbar
    static constexpr int IdT1 = 1002;       // t1, the editing area
    static constexpr int IdStatusBar = 1003;  // sbStatusBar
    // Menu command ids: base + item index.
    static constexpr int FileBase = 100, EditBase = 200, ViewBase = 300, FormatBase = 400, ToolsBase = 500,
                         HelpBase = 600;
    // The menus as tables (hidden items keep their index).
    static const form::MenuDef* Menus(size_t& count);

    HWND t1() const { return Item(IdT1); }
    HWND tbToolbar() const { return Item(IdToolbar); }
    HWND sbStatusBar() const { return Item(IdStatusBar); }

    // The document state (DocumentPath, DocumentTitle, SavedText, WindowCaption, ExitConfirmed...).
    Document& Doc() { return doc_; }
    // The editing area's whole text (CR LF line ends) and its replacement.
    std::wstring Text() const;
    void SetEditorText(const std::wstring& text);
    // Counts the editing area's changes (its change notifications and whole-text replacements), so
    // a copy of the text knows when it is out of date.
    unsigned long long TextChanges() const { return textChanges_; }
    void NoteTextChanged() { ++textChanges_; }
    // Whether the count sees every change: only while the change notifications are on.
    bool TextChangesCounted() const;

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

    // The window's outer placement in twips: its normal (restored) placement also while minimised
    // or maximised.
    void GetPlacementTwips(int& left, int& top, int& width, int& height) const;
    // Places the window (outer, twips), moved onto the nearest monitor if it lies off every one.
    void SetPlacementTwips(int left, int top, int width, int height);

    // The settings as they stand: InitDir, DefaultFileType, LargeFileKB and the window's placement.
    settings::Values CurrentSettings() const;
    // Takes settings as read at start: the values and the window's placement.
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
    // DocumentUi
    std::wstring EditorText() override { return Text(); }
    unsigned long long MarkEditor() override;
    bool EditorUnchangedSince(unsigned long long mark) override;
    void ClearEditor() override;
    bool ShowText(const std::wstring& text, std::wstring& held, std::wstring& reason) override;
    PromptAnswer AskSaveChanges() override;
    bool ChooseOpenPath(const std::wstring& folder, std::wstring& path, std::wstring& title) override;
    bool ChooseSavePath(const std::wstring& folder, std::wstring& path, std::wstring& title) override;
    void ShowError(const std::wstring& message) override;
    void SetCaption(const std::wstring& caption) override;

    void PrinterSetup();
    // False, after saying so, when no printer is installed.
    bool PrinterInstalled();
    void PrintWithDialog();
    void ChooseTextFont();
    bool ChooseColour();
    void ArmClock();

    bool ChooseFile(bool save, const std::wstring& folder, std::wstring& path, std::wstring& title);
    void CreateChildren();
    void OpenDropped(HDROP drop);

    void ShowLoadProgress(size_t done, size_t total);
    // Options > Apply: the values the dialog reports become the settings, and are written.
    void frmOptions_Apply(const settings::Values& values);

    FilePrompts filePrompts_;  // before doc_, which asks through it
    Document doc_;
    HWND progress_ = nullptr;
    unsigned long long lastProgress_ = 0;
    raii::Accel accel_;
    raii::Font editFont_;
    std::wstring pendingDrop_;
    unsigned long long textChanges_ = 0;

    bars::ToolbarIcons imlToolbarIcons_;
    bool pasteEnabled_ = false;
    printing::PrinterChoice printer_;
    // What the font and colour dialogs last held: each opens on its previous values.
    LOGFONTW dlgFont_{};
    bool dlgFontSet_ = false;
    COLORREF dlgColor_ = RGB(0, 0, 0);
    COLORREF dlgCustomColors_[16] = {};
};
