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

std::wstring EntryFailedText(uint32_t status, const std::wstring& systemText) {
    std::wstring s = std::wstring(texts::kEntryFailed) + HexCode(status) + L".";
    if (!systemText.empty()) s += L"\r\n" + systemText;
    // Access denied while writing the registry: the usual cause is a missing elevation.
    if (status == 0x80070005u || status == 0x8002801Cu) s += std::wstring(L"\r\n") + texts::kRunAsAdmin;
    return s;
}

std::wstring EntryCrashedText(uint32_t exceptionCode) {
    std::wstring s = std::wstring(texts::kEntryCrashed) + HexCode(exceptionCode);
    if (exceptionCode == 0xC0000005u) s += std::wstring(L" ") + texts::kAccessViolation;
    return s + L".";
}

std::wstring EntryEndedThreadText(uint32_t exitCode) {
    return std::wstring(texts::kEntryEndedThread) + HexCode(exitCode) + L".";
}

std::wstring OleFailedText(uint32_t status) { return std::wstring(texts::kOleFailed) + HexCode(status) + L")."; }

std::wstring NotRedirectedText(bool busy, uint32_t error, const std::wstring& systemText) {
    if (busy) return texts::kRedirectBusy;
    std::wstring reason = systemText.empty() ? std::wstring(texts::kLoadErrorPrefix) + std::to_wstring(error) : systemText;
    return std::wstring(texts::kRedirectFailed) + reason;
}

namespace {
std::wstring Reason(uint32_t error, const std::wstring& systemText) {
    return systemText.empty() ? std::wstring(texts::kLoadErrorPrefix) + std::to_wstring(error) : systemText;
}
}  // namespace

std::wstring WorkerNotStartedText(uint32_t error, const std::wstring& systemText) {
    return std::wstring(texts::kWorkerNotStarted) + L"\r\n" + Reason(error, systemText);
}

std::wstring LoadFailedText(uint32_t error, const std::wstring& systemText) {
    return std::wstring(texts::kLoadFailure) + L"\r\n" + Reason(error, systemText);
}

std::wstring OtherBitnessText(Bitness module, bool offer) {
    std::wstring s = std::wstring(texts::kLoadFailure) + L"\r\n" +
                     (module == Bitness::Bits64 ? texts::kIs64Bit : texts::kIs32Bit) + BuildFor(module) + L".";
    if (offer) s += std::wstring(L"\r\n\r\n") + texts::kOpenInOther + BuildFor(module) + L"?";
    return s;
}

std::wstring OtherProcessorText(uint16_t machine) {
    return std::wstring(texts::kLoadFailure) + L"\r\n" + texts::kOtherProcessor + MachineName(machine) + L").";
}

std::wstring CurrentUserText(const std::wstring& runMessage, bool completed, bool unregister,
                             const std::vector<std::wstring>& notWritten) {
    std::wstring s = runMessage;
    if (completed)
        s += std::wstring(L"\r\n\r\n") + (unregister ? texts::kCurrentUserUnregistered : texts::kCurrentUserRegistered) +
             L"\r\n" + texts::kElevatedNote;
    if (!notWritten.empty()) {
        s += std::wstring(L"\r\n\r\n") + texts::kNotWrittenForUser;
        for (const std::wstring& k : notWritten) s += L"\r\n    " + k;
    }
    return s;
}

}  // namespace pellamy
