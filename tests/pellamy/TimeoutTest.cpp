// A worker that outlives the 10 s wait: the window is usable at once, the module stays loaded
// while the worker runs and is released when it ends, and the next run on the file works.
#include <gtest/gtest.h>

#include <windows.h>

#include "PellamyTestKit.h"
#include "TestEnv.h"
#include "Texts.h"

using kit::Fixture;
using kit::Window;

namespace {

TEST(PellamyTimeout, WorkerPastTheWaitIsReleasedWhenItEnds) {
    kit::DeleteFixtureKey(L"fx_hang");
    SetEnvironmentVariableW(L"PELLAMY_FX_HANG_MS", L"13000");
    const std::wstring dll = Fixture(L"fx_hang.dll");
    Window w;
    bool loadedAtMessage = false;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) {
        w.boxes.push_back({c.text, c.title, c.flags, w.form.MousePointer()});
        loadedAtMessage = kit::IsLoaded(dll);
        return IDOK;
    }});
    w.SetPath(dll);
    w.Click(frmMain::cmdRegister);
    EXPECT_EQ(w.Info(), L"(No Product Version available for this file)");  // blank product version
    const ULONGLONG start = GetTickCount64();
    w.Click(frmMain::cmdProceed);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 9900u);
    EXPECT_LT(waited, 12500u);
    EXPECT_EQ(w.TakeOne(), L"Process failed in signaled state or time-out.");
    EXPECT_TRUE(loadedAtMessage);
    EXPECT_EQ(w.form.LastResult, static_cast<int32_t>(WAIT_TIMEOUT));
    EXPECT_TRUE(w.Idle());  // usable again at once
    EXPECT_TRUE(kit::IsLoaded(dll));  // the worker is still in it
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_hang"));

    // The worker ends, writes its key and lets the module go.
    EXPECT_TRUE(testenv::PumpUntil([&] { return !kit::IsLoaded(dll); }, 8000));
    EXPECT_TRUE(kit::FixtureKeyExists(L"fx_hang"));
    kit::DeleteFixtureKey(L"fx_hang");

    // A second run on the same file.
    SetEnvironmentVariableW(L"PELLAMY_FX_HANG_MS", L"100");
    w.SetPath(dll);
    w.Click(frmMain::cmdRegister);
    w.Click(frmMain::cmdProceed);
    EXPECT_EQ(w.TakeOne(), L"Process completed");
    EXPECT_TRUE(kit::FixtureKeyExists(L"fx_hang"));
    EXPECT_FALSE(kit::IsLoaded(dll));
    kit::DeleteFixtureKey(L"fx_hang");
}

// A module whose start-up code hangs holds the window no longer than an entry point may.
TEST(PellamyTimeout, SlowStartUpCodeIsCutOffAtTheSameLimit) {
    kit::DeleteFixtureKey(L"fx_slowmain");
    SetEnvironmentVariableW(L"PELLAMY_FX_MAIN_MS", L"14000");
    const std::wstring dll = Fixture(L"fx_slowmain.dll");
    Window w;
    w.SetPath(dll);
    w.Click(frmMain::cmdRegister);
    const ULONGLONG start = GetTickCount64();
    w.Click(frmMain::cmdProceed);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 9900u);
    EXPECT_LT(waited, 12500u);
    EXPECT_EQ(w.TakeOne(), L"Process failed in signaled state or time-out.");
    EXPECT_EQ(w.form.LastResult, static_cast<int32_t>(WAIT_TIMEOUT));
    EXPECT_TRUE(w.Idle());  // the window is back while the start-up code still runs

    // When the start-up code ends, the module is let go without running the abandoned registration.
    EXPECT_TRUE(testenv::PumpUntil([&] { return !kit::IsLoaded(dll); }, 8000));
    EXPECT_FALSE(kit::FixtureKeyExists(L"fx_slowmain"));

    SetEnvironmentVariableW(L"PELLAMY_FX_MAIN_MS", L"100");
    w.SetPath(dll);
    w.Click(frmMain::cmdRegister);
    w.Click(frmMain::cmdProceed);
    EXPECT_EQ(w.TakeOne(), L"Process completed");
    EXPECT_TRUE(kit::FixtureKeyExists(L"fx_slowmain"));
    EXPECT_FALSE(kit::IsLoaded(dll));
    kit::DeleteFixtureKey(L"fx_slowmain");
    SetEnvironmentVariableW(L"PELLAMY_FX_MAIN_MS", nullptr);
}

}  // namespace
