#include "RunMessage.h"

#include <windows.h>

#include <vector>

#include "AppInfo.h"
#include "ModuleFile.h"
#include "PeHeader.h"
#include "ResultTexts.h"
#include "Texts.h"

namespace pellamy {
namespace {

// The system's text for a status; HRESULTs that wrap a Windows error fall back to that error's text.
std::wstring StatusText(uint32_t status, const std::wstring& module) {
    std::wstring text = SystemErrorText(status, module);
    if (text.empty() && HRESULT_FACILITY(status) == FACILITY_WIN32)
        text = SystemErrorText(HRESULT_CODE(status), module);
    return text;
}

}  // namespace

std::wstring RunMessage(const RunResult& result, const std::wstring& fullPath, FileKind kind) {
    switch (result.outcome) {
    case RunOutcome::Completed: return texts::Completed;
    case RunOutcome::Failed: return EntryFailedText(result.code, StatusText(result.code, fullPath), kind);
    case RunOutcome::Crashed: return EntryCrashedText(result.code);
    case RunOutcome::EndedThread: return EntryEndedThreadText(result.code);
    case RunOutcome::EndedProcess: return EntryEndedThreadText(result.code, true);
    case RunOutcome::TimedOut: return texts::TimedOut;
    case RunOutcome::NoEntryPoint: return texts::NoEntryPoint;
    case RunOutcome::NotStarted: return WorkerNotStartedText(result.code, SystemErrorText(result.code));
    case RunOutcome::OleFailed: return OleFailedText(result.code);
    case RunOutcome::NotRedirected:
        return NotRedirectedText(result.code == ERROR_BUSY, result.code, SystemErrorText(result.code));
    case RunOutcome::LoadFailed:
    case RunOutcome::NoBuild: break;
    }
    const std::vector<unsigned char> head = ModuleHeader(fullPath);
    if (result.outcome == RunOutcome::NoBuild) return OtherBitnessText(PeBitness(head.data(), head.size()));
    if (PeBitness(head.data(), head.size()) == Bitness::OtherProcessor)
        return OtherProcessorText(PeMachine(head.data(), head.size()));
    return LoadFailedText(result.code, StatusText(result.code, fullPath), kind);
}

}  // namespace pellamy
