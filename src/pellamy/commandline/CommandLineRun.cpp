#include "CommandLineRun.h"

#include <windows.h>

#include "AppInfo.h"
#include "CommandLine.h"
#include "ExitStatus.h"
#include "Modal.h"
#include "ModuleFile.h"
#include "Paths.h"
#include "PeHeader.h"
#include "RegistrationModes.h"
#include "RegistrationRunner.h"
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
    const Bitness module = PeBitness(head.data(), head.size());
    const Bitness own = sizeof(void*) == 8 ? Bitness::Bits64 : Bitness::Bits32;
    if ((module == Bitness::Bits32 || module == Bitness::Bits64) && module != own)
        return {kExitOtherBitness, OtherBitnessText(module, false)};

    if (!cl.exportTo.empty()) {
        const ExportResult result = ExportRegistration(full, paths::Full(cl.exportTo));
        if (result.Complete()) return {kExitDone, result.summary};
        ExitStatus status = ExitStatusFor(result.run.outcome);
        if (status == kExitDone) status = kExitEntryFailed;  // the run went well, the file did not hold it all
        return {status, result.summary.empty() ? RunMessage(result.run, full) : result.summary};
    }
    if (cl.currentUser) {
        const EntryPoint entry = cl.unregister ? EntryPoint::Unregister : EntryPoint::Register;
        std::vector<std::wstring> notWritten;
        const RunResult result = RunForCurrentUser(full, entry, &notWritten);
        // The window's per-user outcome: where the registration went and what was left out.
        return {ExitStatusFor(result.outcome),
                CurrentUserText(RunMessage(result, full), result.outcome == RunOutcome::Completed,
                                entry == EntryPoint::Unregister, notWritten)};
    }
    const RunResult result =
        RegistrationRunner(full, EntryCallsFor(cl.unregister, cl.install, cl.noRegister, cl.installCmd)).Run();
    return {ExitStatusFor(result.outcome), RunMessage(result, full)};
}

}  // namespace

int RunFromCommandLine(const std::vector<std::wstring>& args) {
    AppTitle = texts::AppName;
    // Modules are loaded by full path with their own folder searched; never from the current folder.
    SetDllDirectoryW(L"");
    const CommandLine cl = ParseCommandLine(args);
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
