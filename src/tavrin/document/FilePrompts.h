// The file policy's questions, the save-changes prompt and the file messages as message boxes owned
// by a window (the main window's).
#pragma once
#include "Document.h"
#include "DocumentStore.h"
#include "Form.h"

class FilePrompts : public docfile::Questions {
public:
    explicit FilePrompts(const form::Form& owner) : owner_(owner) {}

    bool OpenLargeFile(const std::wstring& question) override;
    bool SaveAsUtf8(const std::wstring& question) override;
    bool SaveWithMark(const std::wstring& question) override;
    bool SaveWithChanges(const std::wstring& question) override;
    bool ReloadChanged(const std::wstring& question) override;
    bool SaveOverChange(const std::wstring& question) override;

    // "Save changes?" with Yes, No and Cancel.
    PromptAnswer SaveChanges();
    // A message about a file (a failure, or binary data just opened).
    void Tell(const std::wstring& message);

private:
    bool Ask(const std::wstring& question, UINT icon);
    const form::Form& owner_;
};
