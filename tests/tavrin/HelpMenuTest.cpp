// The Help menu's commands, as the main window's mnuHelp_Click runs them.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "AppInfo.h"
#include "BuildInfo.h"
#include "HelpMenu.h"
#include "Modal.h"
#include "frmAbout.h"
#include "frmWebUpdate.h"
#include "mShellExecute.h"

namespace {

int CountTopLevel(const wchar_t* cls) {
    int n = 0;
    for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, cls, nullptr)) != nullptr;) ++n;
    return n;
}

class HelpMenu : public ::testing::Test {
protected:
    std::vector<gshell::Call> calls;
    int64_t answer = 42;
    int boxes = 0;
    std::unique_ptr<modal::ScopedHooks> hooks;
    void SetUp() override {
        AppTitle = L"Tavrin";
        gshell::TestHook() = [this](const gshell::Call& c) {
            calls.push_back(c);
            return answer;
        };
        hooks = std::make_unique<modal::ScopedHooks>(modal::Hooks{.msgBox = [this](const modal::MsgBoxCall&) {
            ++boxes;
            return IDOK;
        }});
    }
    void TearDown() override {
        form::Single<frmAbout>().Unload();
        form::Single<frmWebUpdate>().Unload();
        gshell::TestHook() = nullptr;
    }
};

// Visit Website opens the product page (with no browser, nothing shows); About and Check For
// Update each show one window.
TEST_F(HelpMenu, EachCommandOpensItsPageOrOneWindow) {
    mnuHelp_Command(3);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, APP_WEB_PAGE_W);
    answer = 31;  // no application associated
    mnuHelp_Command(3);
    EXPECT_EQ(boxes, 0);
    for (int twice : {5, 5, 2, 2}) mnuHelp_Command(twice);
    EXPECT_EQ(CountTopLevel(L"TavrinAboutBox"), 1);
    EXPECT_EQ(CountTopLevel(L"TavrinWebUpdate"), 1);
    EXPECT_EQ(calls.size(), 2u);  // no check until the button is pressed
}

}  // namespace
