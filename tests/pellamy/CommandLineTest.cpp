// The command table, the path box, the command line, the exit status of several files, the run
// texts' fallbacks and the Open dialog's buffers (window-free).
#include <gtest/gtest.h>

#include <tuple>

#include "Command.h"
#include "CommandLine.h"
#include "ExitStatus.h"
#include "OpenDialogText.h"
#include "PathBox.h"
#include "ResultTexts.h"

using namespace pellamy;

namespace {

using Args = std::vector<std::wstring>;

TEST(PellamyCommands, OnlyEmptyAndSingleULetterAreKnownAndQuotedPathsAreAccepted) {
    const std::pair<const wchar_t*, EntryPoint> commands[] = {
        {L"", EntryPoint::Register},  {L"u", EntryPoint::Unregister}, {L"U", EntryPoint::Unregister},
        {L"uu", EntryPoint::Unknown}, {L" u", EntryPoint::Unknown},   {L"unregister", EntryPoint::Unknown}};
    for (const auto& [text, entry] : commands) EXPECT_EQ(EntryForCommand(text), entry) << text;
    const std::pair<const wchar_t*, const wchar_t*> paths[] = {
        {L"  \"C:\\a b\\x.ocx\"  ", L"C:\\a b\\x.ocx"},  // one pair of quotes around it, as "Copy as path" gives
        {L"C:\\x.ocx ", L"C:\\x.ocx "}, {L"\"C:\\x.ocx", L"\"C:\\x.ocx"}, {L"\"a\" \"b\"", L"\"a\" \"b\""},
        {L"\"\"", L""}};  // quotes around nothing: no path
    for (const auto& [box, path] : paths) EXPECT_EQ(PathFromBox(box), path) << box;
}

// What a parsed command line asks for, in one line.
std::wstring Shown(const CommandLine& c) {
    std::wstring s = std::wstring(c.unregister ? L"u " : L"") + (c.silent ? L"s " : L"") +
                     (c.install ? L"i:" + c.installCmd + L" " : L"") + (c.noRegister ? L"n " : L"") +
                     (c.currentUser ? L"user " : L"") + (c.typeLib ? L"tlb " : L"") + (c.exportTo.empty() ? L"" : L"export:" + c.exportTo + L" ");
    for (const std::wstring& f : c.files) s += L"[" + f + L"]";
    return s;
}

TEST(PellamyCommandLine, SwitchesInAnyCaseWithSlashOrDashBadOnesNamedAndSilenceStillKnown) {
    const std::pair<Args, const wchar_t*> rows[] = {
        {{L"a.dll"}, L"[a.dll]"}, {{L"-U", L"a.dll"}, L"u [a.dll]"}, {{L"/i", L"a.dll"}, L"i: [a.dll]"},
        {{L"a.dll", L"/S"}, L"s [a.dll]"},  // after the file too
        {{L"-I:Hello World", L"a.dll"}, L"i:Hello World [a.dll]"}, {{L"/i:x:y", L"a.dll"}, L"i:x:y [a.dll]"},
        {{L"/i:\"a b\"", L"a.dll"}, L"i:a b [a.dll]"},  // quotes kept by the caller
        {{L"/i:a b\"", L"a.dll"}, L"i:a b\" [a.dll]"},  // only a pair of quotes goes
        {{L"/u", L"/n", L"-i", L"/s", L"a.dll"}, L"u s i: n [a.dll]"}, {{L"/USER", L"/u", L"a.dll"}, L"u user [a.dll]"},
        {{L"-TLB", L"a.dll"}, L"tlb [a.dll]"},
        {{L"/Export:C:\\out dir\\x.reg", L"a.dll"}, L"export:C:\\out dir\\x.reg [a.dll]"},
        {{L"-export:\"x.reg\"", L"/s", L"a.dll"}, L"s export:x.reg [a.dll]"},
        {{L"/s", L"a.dll", L"C:\\b c.ocx", L"a.dll"}, L"s [a.dll][C:\\b c.ocx][a.dll]"},
    };
    for (const auto& [args, want] : rows) {
        const CommandLine c = ParseCommandLine(args);
        EXPECT_EQ(c.error, ArgumentError::None) << args.front();
        EXPECT_EQ(Shown(c), want) << args.front();
    }
    // Bad switches are named, and silence is still known.
    using E = ArgumentError;
    const struct {
        Args args;
        ArgumentError error;
        const wchar_t* named;
        bool silent;
    } bad[] = {
        {{L"/s", L"-Q", L"/z", L"a.dll"}, E::UnknownSwitch, L"-Q", true},  // the first one
        {{L"/us", L"a.dll"}, E::UnknownSwitch, L"/us", false}, {{L"/u:", L"a.dll"}, E::UnknownSwitch, L"/u:", false},
        {{L"/export", L"a.dll"}, E::UnknownSwitch, L"/export", false}, {{L"/s"}, E::NoFile, L"/s", true},
        {{L"/u", L"/i:x"}, E::NoFile, L"/i:x", false}, {{L"/s", L"-N", L"/u", L"a.dll"}, E::NeedsInstall, L"-N", true},
        {{L"/user", L"/i", L"a.dll"}, E::Conflict, L"/user", false},
        {{L"/export:x.reg", L"/u", L"a.dll"}, E::Conflict, L"/export:x.reg", false},
        {{L"/export:x.reg", L"/user", L"a.dll"}, E::Conflict, L"/export:x.reg", false},
        {{L"/export:x.reg", L"a.dll", L"b.dll"}, E::ExportOneFile, L"/export:x.reg", false},
        {{L"/export:\"\"", L"/s", L"a.dll"}, E::EmptyValue, L"/export:\"\"", true},
    };
    for (const auto& r : bad) {
        const CommandLine c = ParseCommandLine(r.args);
        EXPECT_EQ(std::tuple(c.error, c.badSwitch, c.silent), std::tuple(r.error, std::wstring(r.named), r.silent)) << r.named;
        EXPECT_NE(ArgumentErrorText(c).find(std::wstring(L"The switch ") + r.named + L" "), std::wstring::npos);
    }
    const std::pair<Args, bool> window[] = {{{}, true},       {{L"C:\\x y\\-a.dll"}, true}, {{L"-"}, true},
                                            {{L"a", L"b"}, false}, {{L"-u", L"a.dll"}, false}, {{L"/x"}, false}};
    for (const auto& [args, opens] : window) EXPECT_EQ(OpensWindow(args), opens) << args.size();
}

TEST(PellamyCommandLine, InstallRunsAfterRegisteringAndBeforeUnregisteringAndTheFirstFailureDecides) {
    const EntryCall reg{EntryPoint::Register, true, L""}, unreg{EntryPoint::Unregister, true, L""},
        install{EntryPoint::Install, true, L"cmd"}, uninstall{EntryPoint::Install, false, L"cmd"};
    const struct {
        bool u, i, n;
        std::vector<EntryCall> calls;
    } rows[] = {{0, 0, 0, {reg}},        {1, 0, 0, {unreg}},   {0, 1, 0, {reg, install}},
                {1, 1, 0, {uninstall, unreg}}, {0, 1, 1, {install}}, {1, 1, 1, {uninstall}}};
    for (const auto& r : rows) EXPECT_EQ(EntryCallsFor(r.u, r.i, r.n, L"cmd"), r.calls) << r.u << r.i << r.n;
    ExitStatusOfFiles all;
    EXPECT_EQ(all.Status(), kExitDone);
    for (ExitStatus s : {kExitDone, kExitEntryFailed, kExitDone, kExitCrashed}) all.Add(s);
    EXPECT_EQ(all.Status(), kExitEntryFailed);
}

// The run texts keep the code when the system has no text, and advise elevation only for access denied.
TEST(PellamyResults, CodesStandInForMissingSystemTexts) {
    EXPECT_FALSE(IsFailureStatus(1));  // S_FALSE is a success
    EXPECT_TRUE(IsFailureStatus(0x80004005u));
    const std::pair<std::wstring, const wchar_t*> texts[] = {
        {EntryFailedText(0x80070005u, L"Access denied."), L"0x80070005.\r\nAccess denied.\r\nRun Pellamy as"},
        {LoadFailedText(126, L""), L"DLL\r\nError 126"},
        {NotRedirectedText(false, 5, L""), L"this run: Error 5"},
        {NotRedirectedText(true, 170, L"Busy."), L"still running with the registry redirected"}};
    for (const auto& [text, part] : texts) EXPECT_NE(text.find(part), std::wstring::npos) << text;
    EXPECT_EQ(EntryFailedText(0x80004005u, L"").find(L"administrator"), std::wstring::npos);
}

// A literal with embedded NULs as a whole string.
template <size_t N>
std::wstring W(const wchar_t (&s)[N]) {
    return std::wstring(s, N - 1);
}

TEST(PellamyFilters, BarsAndColonsBecomeNulsAndPairsAreFoundByIndex) {
    const std::wstring f = ConvertFilter(L"OCX (*.OCX)|*.OCX|Text: plain|*.txt");  // a colon ends an item too
    EXPECT_EQ(f, W(L"OCX (*.OCX)\0*.OCX\0Text\0 plain\0*.txt\0\0"));
    EXPECT_EQ(GetFilterPair(f, 1), W(L"OCX (*.OCX)\0*.OCX"));
    EXPECT_EQ(GetFilterPair(f, 2), W(L"Text\0 plain"));
    for (auto [filter, index] : {std::pair{f, 4}, {f, 0}, {f, -1}, {ConvertFilter(L""), 1}, {std::wstring(L"no nul at all"), 1}})
        EXPECT_EQ(GetFilterPair(filter, index), L"") << index;
    EXPECT_EQ(StripAtNull(W(L"C:\\a.ocx\0\0\0")), L"C:\\a.ocx");
    EXPECT_EQ(StripAtNull(W(L"\0x")), L"");
    EXPECT_EQ(MultiSelectResult(W(L"C:\\dir\0a.ocx\0b.ocx\0\0\0\0")), W(L"C:\\dir\0a.ocx\0b.ocx"));
    EXPECT_EQ(MultiSelectResult(W(L"C:\\one.ocx\0")), L"C:\\one.ocx");
}

}  // namespace
