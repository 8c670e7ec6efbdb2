// File > Recent Files with the real window: a file opened before is opened again from the menu, and
// a file gone since is asked about and removed.
#include "MainWindowFixture.h"

#include "DialogAnswerer.h"
#include "RecentMenu.h"
#include "TestEnv.h"
#include "Texts.h"

namespace {

class RecentFiles : public testenv::MainWindowTest {
protected:
    // The File menu's submenu captioned Recent Files.
    HMENU RecentPopup() {
        HMENU file = GetSubMenu(GetMenu(f.Hwnd()), 0);
        for (int i = 0; i < GetMenuItemCount(file); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(file, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            if (std::wstring(text) == texts::FileRecentFiles) return GetSubMenu(file, i);
        }
        return nullptr;
    }
    void Opening(HMENU menu) { SendMessageW(f.Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0); }
};

TEST_F(RecentFiles, AFileOpenedBeforeOpensFromTheMenuAndAMissingOneIsRemoved) {
    testenv::TempDir dir;
    const std::wstring a = dir / L"a.txt", b = dir / L"b.txt";
    ASSERT_TRUE(testenv::WriteBytes(a, "first\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(b, "second\r\n"));
    Open(a);
    Open(b);
    HMENU recent = RecentPopup();
    ASSERT_TRUE(recent);
    Opening(recent);
    wchar_t caption[MAX_PATH + 8] = {};
    GetMenuStringW(GetMenu(f.Hwnd()), RecentMenu::FirstId + 1, caption, MAX_PATH + 8, MF_BYCOMMAND);
    EXPECT_EQ(caption, L"&2 " + a);
    SendMessageW(f.Hwnd(), WM_COMMAND, RecentMenu::FirstId + 1, 0);
    EXPECT_EQ(f.Text(), L"first\r\n");
    EXPECT_EQ(f.Caption(), L"a.txt - Tavrin");
    // b is gone: asked, Yes takes it off the list.
    ASSERT_TRUE(DeleteFileW(b.c_str()));
    {
        DialogAnswerer yes({DialogAnswerer::Press(IDYES)});
        SendMessageW(f.Hwnd(), WM_COMMAND, RecentMenu::FirstId + 1, 0);
        ASSERT_EQ(yes.Seen().size(), 1u);
        EXPECT_EQ(yes.Seen()[0].text, b + texts::RecentMissing);
    }
    Opening(recent);
    EXPECT_EQ(GetMenuStringW(recent, RecentMenu::FirstId + 1, caption, MAX_PATH + 8, MF_BYCOMMAND), 0);
    SendMessageW(f.Hwnd(), WM_COMMAND, RecentMenu::ClearId, 0);
    Opening(recent);
    EXPECT_EQ(GetMenuItemCount(recent), 1);  // Clear Recent Files alone
    EXPECT_TRUE(GetMenuState(recent, RecentMenu::ClearId, MF_BYCOMMAND) & MF_GRAYED);
}

}  // namespace
