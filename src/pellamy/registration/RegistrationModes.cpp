#include "RegistrationModes.h"

#include <memory>

#include "AppInfo.h"
#include "ChildRun.h"
#include "RegCapture.h"
#include "RegistryRedirect.h"
#include "SafeSave.h"
#include "Texts.h"

namespace pellamy {
namespace {

// Runs the entry point with the redirection applied on the worker. The worker shares the
// redirection: one given up on keeps it until it ends and then removes it with the scratch key.
RunResult RunRedirected(const std::shared_ptr<RegistryRedirect>& redirect, const std::wstring& path,
                        const std::vector<EntryCall>& calls, bool perUserTypeLibs, TypeLibRun typeLib) {
    if (redirect->Error()) return {RunOutcome::NotRedirected, redirect->Error()};
    RunHooks hooks;
    hooks.before = [redirect, perUserTypeLibs] {
        if (perUserTypeLibs) EnablePerUserTypeLibraries();
        redirect->Apply();
    };
    hooks.after = [redirect] { redirect->Restore(); };
    const RunResult result = RegistrationRunner(path, calls, std::move(hooks), typeLib).Run(INFINITE);
    // A module that ended the worker itself skipped `after`; only a running worker keeps the redirection.
    if (result.outcome != RunOutcome::TimedOut) redirect->Restore();
    return result;
}

}  // namespace

RunResult RunForCurrentUserHere(const std::wstring& path, const std::vector<EntryCall>& calls,
                                std::vector<std::wstring>* notWritten, bool typeLib) {
    auto redirect = std::make_shared<RegistryRedirect>(RegistryRedirect::Mode::CurrentUser);
    const RunResult result = RunRedirected(redirect, path, calls, true, typeLib ? TypeLibRun::User : TypeLibRun::No);
    if (notWritten) {
        notWritten->clear();
        if (result.outcome != RunOutcome::TimedOut) *notWritten = WrittenKeyPaths(redirect->Captured());
    }
    return result;
}

RunResult CaptureRegistration(const std::wstring& module, std::vector<RegKeyEntry>& captured, bool typeLib) {
    auto redirect = std::make_shared<RegistryRedirect>(RegistryRedirect::Mode::Capture);
    const RunResult result = RunRedirected(redirect, module, {EntryCall{EntryPoint::Register, true, {}}}, false,
                                           typeLib ? TypeLibRun::Machine : TypeLibRun::No);
    if (result.outcome == RunOutcome::Completed) captured = redirect->Captured();
    return result;
}

ExportResult ExportRegistration(const std::wstring& module, const std::wstring& regFile, const std::wstring& childFolder,
                                bool typeLib) {
    ExportResult out;
    RunRecord record =
        RunInChild({module, ChildMode::Export, {EntryCall{EntryPoint::Register, true, {}}}, childFolder, typeLib});
    out.run = record.result;
    if (out.run.outcome != RunOutcome::Completed) return out;
    std::vector<RegKeyEntry> keys = std::move(record.captured);
    out.leftOut = TakeUnfitNames(keys);
    // Through a temporary file beside it: a failed write leaves the user's earlier file as it was.
    unsigned long error = 0;
    if (!safesave::WriteAll(regFile, RegFileBytes(keys), error)) {
        std::wstring reason = SystemErrorText(error, regFile);
        if (reason.empty()) reason = std::wstring(texts::LoadErrorPrefix) + std::to_wstring(error);
        out.summary = std::wstring(texts::ExportWriteFailed) + regFile + L"\r\n" + reason;
        return out;
    }
    out.written = true;
    out.summary = ExportSummaryText(Summarize(keys), regFile, out.leftOut);
    return out;
}

}  // namespace pellamy
