// Edit > Find in Files in the main window: the dialog, the places streaming into the output pane
// and F4 walking them into another file.
#include "MainWindowFixture.h"

#include <string>
#include <vector>

#include "TestEnv.h"
#include "frmFindInFiles.h"

namespace {

using FindInFilesWindow = testenv::MainWindowTest;

TEST_F(FindInFilesWindow, PlacesStreamIntoThePaneAndF4OpensTheSecondFileAtItsPlace) {
    ASSERT_TRUE(testenv::WriteBytes(dir / L"a.cpp", "int needle;\r\n"));
    ASSERT_TRUE(CreateDirectoryW((dir / L"sub").c_str(), nullptr));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"sub\\b.h", "x\r\n  y = needle;\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"c.txt", "nothing\r\n"));
    modal::ScopedHooks hooks({.modalForm = [&](form::Form& form) {
        auto& d = dynamic_cast<frmFindInFiles&>(form);
        d.SetText(frmFindInFiles::IdWhat, L"needle");
        d.SetText(frmFindInFiles::IdFolder, dir.Path());
        d.cmdFind_Click();
    }});
    f.mnuedit_Click(12);
    ASSERT_TRUE(testenv::PumpUntil([&] { return f.Pane().Lines().size() == 4; }, 10000));
    const std::vector<std::wstring> lines = f.Pane().Lines();
    EXPECT_EQ(lines[3].rfind(L"2 matches in 2 files of 3 searched (", 0), 0u) << lines[3];
    const std::wstring a = dir / L"a.cpp(1,5): int needle;", b = dir / L"sub\\b.h(2,7):   y = needle;";
    EXPECT_TRUE((lines[1] == a && lines[2] == b) || (lines[1] == b && lines[2] == a)) << lines[1] << L" / " << lines[2];
    // F4 twice: the second place, in its own file, at its line and column.
    f.mnutools_Click(8);
    f.mnutools_Click(8);
    const bool bSecond = lines[2] == b;
    EXPECT_EQ(f.Doc().DocumentPath, bSecond ? dir / L"sub\\b.h" : dir / L"a.cpp");
    EXPECT_EQ(Caret(), (bSecond ? std::pair<int64_t, int64_t>{2, 7} : std::pair<int64_t, int64_t>{1, 5}));
}

}  // namespace
