// A module that outlives the 10 s wait: the window is usable at once, the module stays loaded
// while the worker runs and is released when it ends, and the next run on the file works.
#include <gtest/gtest.h>

#include <windows.h>

#include "PellamyTestKit.h"
#include "TestEnv.h"

namespace {

// Runs `name` with its entry point (inEntry) or its start-up code held for `msVar` ms. A held entry
// point still completes the registration when it ends; held start-up code holds the loader, so the
// module is not asked about while it runs, and the abandoned registration is not run.
void CutOffAtTheLimit(const wchar_t* msVar, const std::wstring& name, bool inEntry) {
    kit::DeleteFixtureKey(name);
    SetEnvironmentVariableW(msVar, L"13000");
    const std::wstring dll = kit::Fixture(name + L".dll");
    kit::Window w;
    bool loadedAtMessage = false;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) {
        w.boxes.push_back({c.text, c.title, c.flags, w.form.MousePointer()});
        loadedAtMessage = inEntry && kit::IsLoaded(dll);
        return IDOK;
    }});
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(w.Run(dll), L"Process failed in signaled state or time-out.");  // usable again at once
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_TRUE(waited >= 9900 && waited < 12500) << waited;
    EXPECT_EQ(loadedAtMessage, inEntry);
    EXPECT_EQ(w.form.LastResult, static_cast<int32_t>(WAIT_TIMEOUT));
    EXPECT_FALSE(kit::FixtureKeyExists(name));
    EXPECT_TRUE(testenv::PumpUntil([&] { return !kit::IsLoaded(dll); }, 8000));  // released when it ends
    EXPECT_EQ(kit::FixtureKeyExists(name), inEntry);
    kit::DeleteFixtureKey(name);
    SetEnvironmentVariableW(msVar, L"100");  // a second run on the same file
    EXPECT_EQ(w.Run(dll), L"Process completed");
    EXPECT_TRUE(kit::FixtureKeyExists(name));
    EXPECT_FALSE(kit::IsLoaded(dll));
    kit::DeleteFixtureKey(name);
    SetEnvironmentVariableW(msVar, nullptr);
}

TEST(PellamyTimeout, WorkerPastTheWaitIsReleasedWhenItEnds) { CutOffAtTheLimit(L"PELLAMY_FX_HANG_MS", L"fx_hang", true); }

// A module whose start-up code hangs holds the window no longer than an entry point may.
TEST(PellamyTimeout, SlowStartUpCodeIsCutOffAtTheSameLimit) {
    CutOffAtTheLimit(L"PELLAMY_FX_MAIN_MS", L"fx_slowmain", false);
}

}  // namespace
