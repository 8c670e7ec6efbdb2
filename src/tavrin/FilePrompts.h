// The file policy's questions as message boxes owned by a window (the main window's).
#pragma once
#include "DocumentStore.h"
#include "Form.h"

class FilePrompts : public docfile::Questions {
public:
    explicit FilePrompts(const form::Form& owner) : owner_(owner) {}

    bool OpenLargeFile(const std::wstring& question) override;
    bool SaveAsUtf8(const std::wstring& question) override;
    bool SaveWithMark(const std::wstring& question) override;
    bool SaveWithChanges(const std::wstring& question) override;

private:
    bool Ask(const std::wstring& question, UINT icon);
    const form::Form& owner_;
};
