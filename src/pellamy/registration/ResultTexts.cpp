#include "ResultTexts.h"

#include <cstdio>

#include "Texts.h"

namespace pellamy {

std::wstring HexCode(uint32_t code) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"0x%08X", static_cast<unsigned>(code));
    return buf;
}

bool IsFailureStatus(uint32_t status) { return (status & 0x80000000u) != 0; }

std::wstring EntryFailedText(uint32_t status, const std::wstring& systemText, FileKind kind) {
    std::wstring s = std::wstring(kind == FileKind::LocalServer ? texts::ServerFailed : texts::EntryFailed) + HexCode(status) + L".";
    if (!systemText.empty()) s += L"\r\n" + systemText;
    // Access denied while writing the registry: the usual cause is a missing elevation.
    if (status == 0x80070005u || status == 0x8002801Cu) s += std::wstring(L"\r\n") + texts::RunAsAdmin;
    return s;
}

std::wstring EntryCrashedText(uint32_t exceptionCode) {
    std::wstring s = std::wstring(texts::EntryCrashed) + HexCode(exceptionCode);
    if (exceptionCode == 0xC0000005u) s += std::wstring(L" ") + texts::AccessViolation;
    return s + L".";
}

std::wstring EntryEndedThreadText(uint32_t exitCode, bool process) {
    return std::wstring(process ? texts::EndedProcess : texts::EntryEndedThread) + HexCode(exitCode) + L".";
}

std::wstring OleFailedText(uint32_t status) { return std::wstring(texts::OleFailed) + HexCode(status) + L")."; }

std::wstring NotRedirectedText(bool busy, uint32_t error, const std::wstring& systemText) {
    if (busy) return texts::RedirectBusy;
    std::wstring reason = systemText.empty() ? std::wstring(texts::LoadErrorPrefix) + std::to_wstring(error) : systemText;
    return std::wstring(texts::RedirectFailed) + reason;
}

namespace {
std::wstring Reason(uint32_t error, const std::wstring& systemText) {
    return systemText.empty() ? std::wstring(texts::LoadErrorPrefix) + std::to_wstring(error) : systemText;
}
}  // namespace

std::wstring WorkerNotStartedText(uint32_t error, const std::wstring& systemText) {
    return std::wstring(texts::WorkerNotStarted) + L"\r\n" + Reason(error, systemText);
}

std::wstring LoadFailedText(uint32_t error, const std::wstring& systemText, FileKind kind) {
    const wchar_t* what = kind == FileKind::LocalServer   ? texts::ServerNotStarted
                          : kind == FileKind::TypeLibrary ? texts::TypeLibLoadFailure
                                                          : texts::LoadFailure;
    return std::wstring(what) + L"\r\n" + Reason(error, systemText);
}

std::wstring OtherBitnessText(Bitness module) {
    return std::wstring(texts::LoadFailure) + L"\r\n" + (module == Bitness::Bits64 ? texts::Is64Bit : texts::Is32Bit) +
           BuildFor(module) + L".";
}

std::wstring OtherProcessorText(uint16_t machine) {
    return std::wstring(texts::LoadFailure) + L"\r\n" + texts::OtherProcessor + MachineName(machine) + L").";
}

std::wstring CurrentUserText(const std::wstring& runMessage, bool completed, bool unregister,
                             const std::vector<std::wstring>& notWritten) {
    std::wstring s = runMessage;
    if (completed)
        s += std::wstring(L"\r\n\r\n") + (unregister ? texts::CurrentUserUnregistered : texts::CurrentUserRegistered) +
             L"\r\n" + texts::ElevatedNote;
    if (!notWritten.empty()) {
        s += std::wstring(L"\r\n\r\n") + texts::NotWrittenForUser;
        for (const std::wstring& k : notWritten) s += L"\r\n    " + k;
    }
    return s;
}

}  // namespace pellamy
