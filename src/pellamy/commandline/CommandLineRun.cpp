#include "CommandLineRun.h"

#include <windows.h>

#include "AppInfo.h"
#include "ChildRun.h"
#include "CommandLine.h"
#include "ExitStatus.h"
#include "FileKind.h"
#include "Modal.h"
#include "ModuleFile.h"
#include "Paths.h"
#include "PeHeader.h"
#include "RegistrationModes.h"
#include "ResultTexts.h"
#include "RunMessage.h"
#include "Texts.h"

namespace pellamy {
namespace {

struct FileOutcome {
    ExitStatus status;
    std::wstring message;
};

FileOutcome RunOneFile(const CommandLine& cl, const std::wstring& file) {
    const std::wstring full = paths::Full(file);
    const std::vector<unsigned char> head = ModuleHeader(full);
    const FileKind kind = KindOfFile(full, head.data(), head.size(), cl.typeLib);
    if (kind == FileKind::LocalServer) {
        if (!cl.exportTo.empty()) return {kExitNotRedirected, texts::ServerNoExport};
        // A server has no DllInstall.
        if (cl.install) return {kExitNoEntryPoint, texts::NoEntryPoint};
        const RunResult result = RunServer(full, cl.unregister, cl.currentUser);
        const std::wstring message = RunMessage(result, full, kind);
        return {ExitStatusFor(result.outcome),
                cl.currentUser ? CurrentUserText(message, result.outcome == RunOutcome::Completed, cl.unregister, {}) : message};
    }
    const bool typeLib = kind == FileKind::TypeLibrary;
    if (!cl.exportTo.empty()) {
        const ExportResult result = ExportRegistration(full, paths::Full(cl.exportTo), {}, typeLib);
        if (result.Complete()) return {kExitDone, result.summary};
        ExitStatus status = ExitStatusFor(result.run.outcome);
        if (status == kExitDone) status = kExitEntryFailed;  // the run went well, the file did not hold it all
        return {status, result.summary.empty() ? RunMessage(result.run, full, kind) : result.summary};
    }
    const std::vector<EntryCall> calls = EntryCallsFor(cl.unregister, cl.install, cl.noRegister, cl.installCmd);
    const RunRecord record = RunInChild({full, cl.currentUser ? ChildMode::CurrentUser : ChildMode::Plain, calls, {}, typeLib});
    const std::wstring message = RunMessage(record.result, full, kind);
    if (!cl.currentUser) return {ExitStatusFor(record.result.outcome), message};
    // The window's per-user outcome: where the registration went and what was left out.
    return {ExitStatusFor(record.result.outcome),
            CurrentUserText(message, record.result.outcome == RunOutcome::Completed, cl.unregister, record.notWritten)};
}

}  // namespace

int RunFromCommandLine(const std::vector<std::wstring>& args) {
    AppTitle = texts::AppName;
    // Modules are loaded by full path with their own folder searched; never from the current folder.
    SetDllDirectoryW(L"");
    const CommandLine cl = ParseCommandLine(args);
    if (cl.help) {
        if (!cl.silent) modal::MsgBox(texts::Help, MB_OK);
        return kExitDone;
    }
    if (cl.error != ArgumentError::None) {
        if (!cl.silent) modal::MsgBox(ArgumentErrorText(cl), MB_OK);
        return kExitBadArguments;
    }
    ExitStatusOfFiles status;
    for (const std::wstring& file : cl.files) {
        const FileOutcome outcome = RunOneFile(cl, file);
        status.Add(outcome.status);
        // With several files each box says which one it is about.
        if (!cl.silent) modal::MsgBox(cl.files.size() > 1 ? file + L"\r\n" + outcome.message : outcome.message, MB_OK);
    }
    return status.Status();
}

}  // namespace pellamy
