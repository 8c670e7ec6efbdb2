// The command line, the calls it makes and the exit statuses (window-free: runs natively and under Wine).
#include <gtest/gtest.h>

#include "Command.h"
#include "CommandLine.h"
#include "ExitStatus.h"

using namespace pellamy;

namespace {

using Args = std::vector<std::wstring>;

struct Parsed {
    bool u, s, i;
    const wchar_t* cmd;
    bool n, user;
    const wchar_t* exportTo;
    Args files;
};

TEST(PellamyCommandLine, SwitchesInAnyCaseWithSlashOrDash) {
    const std::pair<Args, Parsed> rows[] = {
        {{L"a.dll"}, {false, false, false, L"", false, false, L"", {L"a.dll"}}},
        {{L"/u", L"a.dll"}, {true, false, false, L"", false, false, L"", {L"a.dll"}}},
        {{L"-U", L"a.dll"}, {true, false, false, L"", false, false, L"", {L"a.dll"}}},
        {{L"/S", L"a.dll"}, {false, true, false, L"", false, false, L"", {L"a.dll"}}},
        {{L"/s", L"/u", L"a.dll"}, {true, true, false, L"", false, false, L"", {L"a.dll"}}},
        {{L"a.dll", L"/s"}, {false, true, false, L"", false, false, L"", {L"a.dll"}}},  // after the file too
        {{L"/i", L"a.dll"}, {false, false, true, L"", false, false, L"", {L"a.dll"}}},
        {{L"-I:Hello World", L"a.dll"}, {false, false, true, L"Hello World", false, false, L"", {L"a.dll"}}},
        {{L"/i:\"a b\"", L"a.dll"}, {false, false, true, L"a b", false, false, L"", {L"a.dll"}}},  // quotes kept by the caller
        {{L"/i:", L"a.dll"}, {false, false, true, L"", false, false, L"", {L"a.dll"}}},
        {{L"/i:x:y", L"a.dll"}, {false, false, true, L"x:y", false, false, L"", {L"a.dll"}}},
        {{L"/n", L"/i:user", L"a.dll"}, {false, false, true, L"user", true, false, L"", {L"a.dll"}}},
        {{L"/u", L"/n", L"-i", L"/s", L"a.dll"}, {true, true, true, L"", true, false, L"", {L"a.dll"}}},
        {{L"/USER", L"a.dll"}, {false, false, false, L"", false, true, L"", {L"a.dll"}}},
        {{L"/user", L"/u", L"a.dll"}, {true, false, false, L"", false, true, L"", {L"a.dll"}}},
        {{L"/Export:C:\\out dir\\x.reg", L"a.dll"}, {false, false, false, L"", false, false, L"C:\\out dir\\x.reg", {L"a.dll"}}},
        {{L"-export:\"x.reg\"", L"/s", L"a.dll"}, {false, true, false, L"", false, false, L"x.reg", {L"a.dll"}}},
        {{L"/s", L"a.dll", L"C:\\b c.ocx", L"a.dll"}, {false, true, false, L"", false, false, L"", {L"a.dll", L"C:\\b c.ocx", L"a.dll"}}},
    };
    for (const auto& [args, want] : rows) {
        const CommandLine c = ParseCommandLine(args);
        const std::wstring at = args.front() + L" ...";
        EXPECT_EQ(c.error, ArgumentError::None) << at;
        EXPECT_EQ(c.unregister, want.u) << at;
        EXPECT_EQ(c.silent, want.s) << at;
        EXPECT_EQ(c.install, want.i) << at;
        EXPECT_EQ(c.installCmd, want.cmd) << at;
        EXPECT_EQ(c.noRegister, want.n) << at;
        EXPECT_EQ(c.currentUser, want.user) << at;
        EXPECT_EQ(c.exportTo, want.exportTo) << at;
        EXPECT_EQ(c.files, want.files) << at;
    }
}

TEST(PellamyCommandLine, BadSwitchesAreNamedAndSilenceIsStillKnown) {
    struct Row {
        Args args;
        ArgumentError error;
        const wchar_t* named;
        bool silent;
    };
    const Row rows[] = {
        {{L"/x", L"a.dll"}, ArgumentError::UnknownSwitch, L"/x", false},
        {{L"/s", L"-Q", L"/z", L"a.dll"}, ArgumentError::UnknownSwitch, L"-Q", true},  // the first one
        {{L"/us", L"a.dll"}, ArgumentError::UnknownSwitch, L"/us", false},
        {{L"/u:", L"a.dll"}, ArgumentError::UnknownSwitch, L"/u:", false},
        {{L"/install", L"a.dll"}, ArgumentError::UnknownSwitch, L"/install", false},
        {{L"/export", L"a.dll"}, ArgumentError::UnknownSwitch, L"/export", false},
        {{L"/s"}, ArgumentError::NoFile, L"/s", true},
        {{L"/u", L"/i:x"}, ArgumentError::NoFile, L"/i:x", false},
        {{L"/n", L"a.dll"}, ArgumentError::NeedsInstall, L"/n", false},
        {{L"/s", L"-N", L"/u", L"a.dll"}, ArgumentError::NeedsInstall, L"-N", true},
        {{L"/user", L"/i", L"a.dll"}, ArgumentError::Conflict, L"/user", false},
        {{L"/export:x.reg", L"/u", L"a.dll"}, ArgumentError::Conflict, L"/export:x.reg", false},
        {{L"/export:x.reg", L"/user", L"a.dll"}, ArgumentError::Conflict, L"/export:x.reg", false},
        {{L"/export:x.reg", L"a.dll", L"b.dll"}, ArgumentError::ExportOneFile, L"/export:x.reg", false},
        {{L"/export:", L"a.dll"}, ArgumentError::EmptyValue, L"/export:", false},
        {{L"/export:\"\"", L"/s", L"a.dll"}, ArgumentError::EmptyValue, L"/export:\"\"", true},
    };
    for (const Row& r : rows) {
        const CommandLine c = ParseCommandLine(r.args);
        EXPECT_EQ(c.error, r.error) << r.named;
        EXPECT_EQ(c.badSwitch, r.named);
        EXPECT_EQ(c.silent, r.silent) << r.named;
        const std::wstring text = ArgumentErrorText(c);
        EXPECT_NE(text.find(std::wstring(L"The switch ") + r.named + L" "), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"Usage: Pellamy [/u] [/s]"), std::wstring::npos) << text;
    }
}

TEST(PellamyCommandLine, OnlyOneFileOrNoneWithoutSwitchesOpensTheWindow) {
    const std::pair<Args, bool> rows[] = {
        {{}, true}, {{L"a.dll"}, true}, {{L"C:\\x y\\-a.dll"}, true}, {{L"-"}, true},
        {{L"a.dll", L"b.dll"}, false}, {{L"/s"}, false}, {{L"-u", L"a.dll"}, false}, {{L"/x"}, false},
    };
    for (const auto& [args, window] : rows) EXPECT_EQ(OpensWindow(args), window) << args.size();
}

TEST(PellamyCommandLine, InstallRunsAfterRegisteringAndBeforeUnregistering) {
    const EntryCall reg{EntryPoint::Register, true, L""}, unreg{EntryPoint::Unregister, true, L""};
    struct Row {
        bool u, i, n;
        std::vector<EntryCall> calls;
    };
    const Row rows[] = {
        {false, false, false, {reg}},
        {true, false, false, {unreg}},
        {false, true, false, {reg, {EntryPoint::Install, true, L"cmd"}}},
        {true, true, false, {{EntryPoint::Install, false, L"cmd"}, unreg}},
        {false, true, true, {{EntryPoint::Install, true, L"cmd"}}},
        {true, true, true, {{EntryPoint::Install, false, L"cmd"}}},
    };
    for (const Row& r : rows) EXPECT_EQ(EntryCallsFor(r.u, r.i, r.n, L"cmd"), r.calls) << r.u << r.i << r.n;
    EXPECT_STREQ(EntryPointName(EntryPoint::Install), "DllInstall");
}

TEST(PellamyExitStatus, EachOutcomeHasItsNumberAndTheFirstFailingFileDecides) {
    const std::pair<RunOutcome, int> rows[] = {
        {RunOutcome::Completed, 0},   {RunOutcome::OleFailed, 2},   {RunOutcome::LoadFailed, 3},
        {RunOutcome::NoEntryPoint, 4}, {RunOutcome::Failed, 5},     {RunOutcome::TimedOut, 6},
        {RunOutcome::Crashed, 7},     {RunOutcome::EndedThread, 7}, {RunOutcome::NotRedirected, 9},
    };
    for (const auto& [outcome, status] : rows) EXPECT_EQ(ExitStatusFor(outcome), status) << status;

    const std::pair<std::vector<ExitStatus>, int> runs[] = {
        {{}, 0},
        {{kExitDone, kExitDone}, 0},
        {{kExitDone, kExitOtherBitness, kExitLoadFailed}, 8},
        {{kExitEntryFailed, kExitDone, kExitCrashed}, 5},
    };
    for (const auto& [files, status] : runs) {
        ExitStatusOfFiles all;
        for (ExitStatus s : files) all.Add(s);
        EXPECT_EQ(all.Status(), status) << files.size();
    }
}

}  // namespace
