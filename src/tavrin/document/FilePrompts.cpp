#include "FilePrompts.h"

#include "Modal.h"
#include "Texts.h"

bool FilePrompts::Ask(const std::wstring& question, UINT icon) {
    return modal::MsgBox(question, MB_YESNO | icon, texts::AppName, owner_.Hwnd()) == IDYES;
}

bool FilePrompts::OpenLargeFile(const std::wstring& question) { return Ask(question, MB_ICONQUESTION); }
bool FilePrompts::SaveAsUtf8(const std::wstring& question) { return Ask(question, MB_ICONEXCLAMATION); }
bool FilePrompts::SaveWithMark(const std::wstring& question) { return Ask(question, MB_ICONEXCLAMATION); }
bool FilePrompts::SaveWithChanges(const std::wstring& question) { return Ask(question, MB_ICONEXCLAMATION); }
bool FilePrompts::ReloadChanged(const std::wstring& question) { return Ask(question, MB_ICONQUESTION); }
bool FilePrompts::SaveOverChange(const std::wstring& question) { return Ask(question, MB_ICONEXCLAMATION); }

PromptAnswer FilePrompts::SaveChanges() {
    switch (modal::MsgBox(texts::SaveChangesPrompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION, texts::AppName, owner_.Hwnd())) {
    case IDYES: return PromptAnswer::Yes;
    case IDNO: return PromptAnswer::No;
    default: return PromptAnswer::Cancel;
    }
}

void FilePrompts::Tell(const std::wstring& message) {
    modal::MsgBox(message, MB_OK | MB_ICONEXCLAMATION, texts::AppName, owner_.Hwnd());
}
