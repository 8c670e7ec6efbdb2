// The shared window-side code seen from outside: the About box as a user meets it (texts, link,
// buttons, closing); GetKeyValue and StartSysInfo against the real registry; GShell against the real
// shell; the worker-to-window hand-over; the one process launcher's passing refusals.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "AppInfo.h"
#include "BuildInfo.h"
#include "ErrRecord.h"
#include "HyperlinkLabel.h"
#include "Launch.h"
#include "Modal.h"
#include "TestEnv.h"
#include "UiTask.h"
#include "frmAbout.h"
#include "GShell.h"

namespace {

// The link opens the product page through the shell (a page that cannot be opened is recorded, not
// shown); Enter (the default OK), Esc and the close box each close it, and it loads afresh when shown
// again. (One instance: WebUpdate.HelpMenuOpensThePageAndOneWindowEach; the form layer's raised
// errors: EditCommands' busy clipboard.)
TEST(AboutBox, ItsLinkAndEveryWayToClose) {
    AppTitle = L"Tavrin";
    std::vector<gshell::Call> calls;
    int64_t answer = 42;
    gshell::TestHook() = [&](const gshell::Call& c) { return calls.push_back(c), answer; };
    int boxes = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall&) { return ++boxes, IDOK; }});
    ShowAboutBox();
    frmAbout& f = form::Single<frmAbout>();
    HWND link = f.Item(frmAbout::IdvbwHyperlink1);
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, APP_WEB_PAGE_W);
    answer = 31;
    Err().Clear();
    EXPECT_FALSE(hyperlink::Follow(link));
    EXPECT_EQ(Err().Number, static_cast<int32_t>(0x80040437));
    EXPECT_EQ(boxes, 0);
    SendMessageW(f.Hwnd(), WM_COMMAND, IDOK, 0);  // Enter
    EXPECT_FALSE(f.IsLoaded());
    AppTitle = L"Pellamy";
    ShowAboutBox();
    EXPECT_EQ(f.Caption(), L"About Pellamy");  // the load step ran again
    SendMessageW(f.Hwnd(), WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_FALSE(f.IsLoaded());
    ShowAboutBox();
    SendMessageW(f.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(testenv::PumpUntil([&] { return !f.IsLoaded(); }, 3000));
    gshell::TestHook() = nullptr;
}

TEST(KeyValue, StringsDwordsMissingAndOtherTypes) {
    const wchar_t* kKey = L"Software\\TavrinTests\\KeyValue";
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    const std::wstring path = L"C:\\Program Files\\Tool\\msinfo32.exe", uni = L"C:\\\u00dcbung\\\u4e2d\u6587",
                       longText(5000, L'x');
    const DWORD small = 0x105, max = 0xFFFFFFFF;  // 05 01 00 00: zero bytes inside must not drop digits
    const BYTE bin[] = {1, 2, 3};
    const struct {
        const wchar_t* name;
        DWORD type;
        const void* data;
        size_t bytes;
        bool found;
        std::wstring value;
    } cases[] = {{L"With", REG_SZ, path.c_str(), (path.size() + 1) * 2, true, path},
                 {L"Without", REG_SZ, path.c_str(), path.size() * 2, true, path},  // no terminator stored
                 {L"Unicode", REG_SZ, uni.c_str(), uni.size() * 2, true, uni},
                 {L"Long", REG_SZ, longText.c_str(), (longText.size() + 1) * 2, true, longText},
                 {L"Small", REG_DWORD, &small, 4, true, L"261"}, {L"Max", REG_DWORD, &max, 4, true, L"4294967295"},
                 {L"Bin", REG_BINARY, bin, sizeof(bin), true, L"as passed"}, {L"Missing", 0, nullptr, 0, false, L""}};
    for (const auto& c : cases) {
        if (c.data) {
            ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, c.name, c.type, c.data, static_cast<DWORD>(c.bytes)), ERROR_SUCCESS);
        }
        std::wstring v = L"as passed";
        EXPECT_EQ(GetKeyValue(HKEY_CURRENT_USER, kKey, c.name, v), c.found) << c.name;
        EXPECT_EQ(v, c.value) << c.name;
    }
    std::wstring v = L"previous";
    EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, L"Software\\TavrinTests\\NoSuchKey", L"X", v));
    EXPECT_EQ(v, L"");
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    // A key every user may read but only administrators may change.
    EXPECT_TRUE(GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuildNumber", v));
    EXPECT_FALSE(v.empty());
}

TEST(SysInfo, StartsTheRegisteredProgramOrSaysUnavailable) {
    const wchar_t* kMsInfo = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const wchar_t* kLocation = L"SOFTWARE\\Microsoft\\Shared Tools Location";
    auto set = [](const wchar_t* key, const wchar_t* name, const std::wstring& value) {
        if (value.empty()) return void(RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key, name));
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, name, REG_SZ, value.c_str(), DWORD(value.size() + 1) * 2);
    };
    testenv::TempDir dir;
    const std::wstring helper = testenv::BinDir() + L"\\about_exit_helper.exe", withBlank = dir / L"sys info.exe";
    ASSERT_TRUE(CopyFileW(helper.c_str(), withBlank.c_str(), FALSE));
    AppTitle = L"Tavrin";
    std::vector<modal::MsgBoxCall> boxes;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) { return boxes.push_back(c), IDOK; }});
    const struct {
        std::wstring path, location, ran;  // ran: the marker the started program leaves; none: unavailable
    } cases[] = {{L"", L"", L""},
                 {withBlank, L"", withBlank + L".ran"},
                 {L"", dir.Path(), L""},  // a location folder without the program
                 {L"", dir.Path(), dir / L"MSINFO32.EXE.ran"}};
    for (const auto& c : cases) {
        set(kMsInfo, L"PATH", c.path);
        set(kLocation, L"MSINFO", c.location);
        if (c.ran == dir / L"MSINFO32.EXE.ran") CopyFileW(helper.c_str(), (dir / L"MSINFO32.EXE").c_str(), FALSE);
        boxes.clear();
        frmAbout().StartSysInfo();
        if (c.ran.empty()) {
            ASSERT_EQ(boxes.size(), 1u) << c.path;
            EXPECT_EQ(boxes[0].text, L"System Information Is Unavailable At This Time");
        } else {
            EXPECT_TRUE(boxes.empty());
            EXPECT_TRUE(testenv::PumpUntil([&] { return testenv::Exists(c.ran); }, 10000)) << c.ran;
        }
    }
    set(kMsInfo, L"PATH", L"");
    set(kLocation, L"MSINFO", L"");
}

TEST(GShell, RealShellFailsForAMissingFileAndStartsAProgramWithParametersAndDirectory) {
    testenv::TempDir dir;
    Err().Clear();
    EXPECT_FALSE(GShell(dir / L"no such file.txt", 1, L"", L"", L"open", nullptr));
    EXPECT_EQ(Err().Number, 53);
    EXPECT_EQ(Err().Description, L"File not found");
    // A program that ends at once.
    const std::wstring exe = dir / L"helper.exe";
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\about_exit_helper.exe").c_str(), exe.c_str(), FALSE));
    Err().Clear();
    EXPECT_TRUE(GShell(exe, 1, L"x", dir.Path(), L"open", nullptr));
    EXPECT_EQ(Err().Number, 0);
    EXPECT_TRUE(testenv::PumpUntil([&] { return testenv::Exists(exe + L".ran"); }, 10000));
}

// A start refused with ERROR_INTERNAL_ERROR is tried twice more; a third, or any other refusal, is
// reported at once.
TEST(Launch, APassingRefusalIsTriedAgainAndAnyOtherIsReported) {
    const struct {
        std::vector<unsigned long> refusals;
        unsigned long error;
        size_t attempts;
    } rows[] = {{{ERROR_INTERNAL_ERROR, ERROR_INTERNAL_ERROR}, 0, 3},
                {{ERROR_INTERNAL_ERROR, ERROR_INTERNAL_ERROR, ERROR_INTERNAL_ERROR}, ERROR_INTERNAL_ERROR, 3},
                {{ERROR_ACCESS_DENIED}, ERROR_ACCESS_DENIED, 1}};
    for (const auto& r : rows) {
        size_t attempts = 0;
        launch::TestFault() = [&] { return attempts < r.refusals.size() ? r.refusals[attempts++] : (++attempts, 0ul); };
        launch::Options o;
        o.application = testenv::SystemFolder() + L"\\cmd.exe";
        o.commandLine = L"cmd.exe /c exit 3";
        o.console = launch::Console::None;
        const launch::Started started = launch::Start(o);
        launch::TestFault() = nullptr;
        EXPECT_EQ(started.error, r.error);
        EXPECT_EQ(attempts, r.attempts);
        EXPECT_EQ(static_cast<bool>(started), r.error == 0);
        DWORD code = 0;
        if (started) {
            EXPECT_EQ(WaitForSingleObject(started.process.get(), 10000), WAIT_OBJECT_0);
            EXPECT_TRUE(GetExitCodeProcess(started.process.get(), &code) && code == 3);
        }
    }
}

// Closures run on the mailbox's thread in the order posted; none runs or stays behind once it is gone.
TEST(UiTask, RunsOnTheOwnersThreadInOrderAndNothingAfterTheMailboxGoes) {
    const DWORD owner = GetCurrentThreadId();
    std::vector<int> ran;
    std::vector<DWORD> threads;
    auto held = std::make_shared<int>(0);  // its use count shows what the closures still hold
    uitask::Poster late;
    {
        uitask::Mailbox box;
        late = box.GetPoster();
        std::thread worker([&, poster = box.GetPoster()] {
            for (int i = 0; i < 1000; ++i)
                poster.Post([&, i] {
                    ran.push_back(i);
                    threads.push_back(GetCurrentThreadId());
                });
        });
        worker.join();
        ASSERT_TRUE(testenv::PumpUntil([&] { return ran.size() == 1000; }, 5000));
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(ran[static_cast<size_t>(i)], i);
        EXPECT_EQ(std::count(threads.begin(), threads.end(), owner), 1000);
        // Still waiting when the mailbox goes: dropped unrun, and what they held is let go.
        box.Post([&, held] { ran.push_back(-1); });
        EXPECT_EQ(held.use_count(), 2);
    }
    EXPECT_EQ(held.use_count(), 1);
    EXPECT_FALSE(late.Post([&, held] { ran.push_back(-2); }));
    EXPECT_EQ(held.use_count(), 1);
    testenv::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ran.size(), 1000u);
}

std::atomic<int> timerTicks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

// Esc stops work that cannot break off at once (a big text's memory being taken): the run reports
// the stop once the worker has let go, and meanwhile the thread's timers and paints go on.
TEST(UiTask, EscStopsWorkAndTheThreadStaysDrawnWhileItWindsUp) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
    std::atomic<int> ticksAtStop{-1};
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    const bool ran = uitask::RunWhileDrawn(
        [&](const std::atomic<bool>& stop) {
            while (!stop) Sleep(1);
            ticksAtStop = timerTicks.load();
            Sleep(400);
        },
        {.escStops = [] { return true; }});
    KillTimer(nullptr, timer);
    EXPECT_FALSE(ran);
    EXPECT_GE(timerTicks - ticksAtStop, 5);  // the worker's 400 ms waited for, ticking
}

}  // namespace
