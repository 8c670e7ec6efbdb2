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

TEST_F(HelpMenu, HiddenItemsAndOtherIndexesDoNothing) {
    for (int index : {0, 1, 4, 6, 99, -1}) mnuHelp_Command(index);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(CountTopLevel(L"TavrinAboutBox"), 0);
    EXPECT_EQ(CountTopLevel(L"TavrinWebUpdate"), 0);
}

TEST_F(HelpMenu, VisitWebsiteOpensTheProductPageAndWithNoBrowserShowsNothing) {
    mnuHelp_Command(3);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, APP_WEB_PAGE_W);
    EXPECT_EQ(calls[0].operation, L"open");
    EXPECT_EQ(calls[0].showCommand, 1);  // 10 was asked, but without parameters the shell gets 1
    answer = 31;  // no application associated
    Err().Clear();
    mnuHelp_Command(3);
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(Err().Number, static_cast<int32_t>(0x80040437));
    EXPECT_EQ(Err().Source, ExeName() + L".GShell");
}

TEST_F(HelpMenu, AboutAndCheckForUpdateEachShowOneWindow) {
    mnuHelp_Command(5);
    mnuHelp_Command(5);
    EXPECT_EQ(CountTopLevel(L"TavrinAboutBox"), 1);
    EXPECT_EQ(form::Single<frmAbout>().Caption(), L"About Tavrin");
    mnuHelp_Command(2);
    mnuHelp_Command(2);
    EXPECT_EQ(CountTopLevel(L"TavrinWebUpdate"), 1);
    EXPECT_TRUE(IsWindowVisible(form::Single<frmWebUpdate>().Hwnd()));
    EXPECT_TRUE(calls.empty());  // no check until the button is pressed
}

}  // namespace
