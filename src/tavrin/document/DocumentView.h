// The document's window side: the editing area's text and its change count, the load progress
// bar, the file dialogs, the prompts (through FilePrompts) and the caption of the owner window.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Document.h"
#include "FilePrompts.h"

class DocumentView : public DocumentUi {
public:
    // `settings`: the owner's, as they stand at each dialog (DefaultFileType).
    DocumentView(FilePrompts& prompts, const settings::Values& settings) : prompts_(prompts), settings_(settings) {}

    // The windows worked on, while they exist: the owner (caption, dialogs, progress bar) and its
    // editing area. Without them the text is empty and nothing is shown.
    void Attach(HWND owner, HWND edit);
    void Detach() { Attach(nullptr, nullptr); }

    // The editing area's whole text (line ends as held) and its replacement.
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // Counts the editing area's changes (its change notifications and whole-text replacements), so
    // a copy of the text knows when it is out of date.
    unsigned long long TextChanges() const { return textChanges_; }
    void NoteTextChanged() { ++textChanges_; }
    // Whether the count sees every change: only while the change notifications are on.
    bool TextChangesCounted() const;
    // Told when another text is shown (true) or the document got another name (false).
    std::function<void(bool newText)> OnDocumentChanged;
    // Told after every save.
    std::function<void()> OnSaved;
    // The type chosen in the last Save As dialog (its index in the list) for the text shown; -1: none.
    int SaveType() const { return saveType_; }

    // DocumentUi
    HeldText EditorText() override;
    void HoldEditor(bool hold) override;
    unsigned long long MarkEditor() override;
    bool EditorUnchangedSince(unsigned long long mark) override;
    void ClearEditor() override;
    bool ShowText(std::string_view text, docfile::LineEnd newLines, std::wstring& reason) override;
    std::unique_ptr<TextLoad> StartLoad(unsigned long long bytes) override;
    // A big file on a worker, the window drawn meanwhile and Esc stopping it.
    bool RunRead(const std::function<void(const std::atomic<bool>& stop)>& read) override;
    PromptAnswer AskSaveChanges() override { return prompts_.SaveChanges(); }
    bool ChooseOpenPath(const std::wstring& folder, std::wstring& path, std::wstring& title) override;
    bool ChooseSavePath(const std::wstring& folder, std::wstring& path, std::wstring& title,
                        docfile::FileFormat& format) override;
    void ShowError(const std::wstring& message) override { prompts_.Tell(message); }
    void SetCaption(const std::wstring& caption) override;
    void Saved() override {
        if (OnSaved) OnSaved();
    }

private:
    class AreaLoad;
    bool ChooseFile(bool save, const std::wstring& folder, std::wstring& path, std::wstring& title,
                    docfile::FileFormat* format);
    void ShowLoadProgress();
    void EndLoadProgress();
    // The text just loaded is shown.
    void Shown(docfile::LineEnd newLines);

    FilePrompts& prompts_;
    const settings::Values& settings_;
    HWND owner_ = nullptr;
    HWND edit_ = nullptr;
    HWND progress_ = nullptr;
    AreaLoad* load_ = nullptr;  // the text going in
    unsigned long long textChanges_ = 0;
    int saveType_ = -1;
};
