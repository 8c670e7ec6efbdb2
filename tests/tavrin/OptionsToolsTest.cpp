// The Options dialog and the Tools menu seen from outside: the dialog's controls, the registry,
// and the compile batch file really started (awkward names reaching it: BuildRunnerTest).
#include <gtest/gtest.h>

#include <windows.h>

#include "AppInfo.h"
#include "MainWindowFixture.h"
#include "Scintilla.h"
#include "TestEnv.h"
#include "Texts.h"

namespace {

class OptionsAndTools : public testenv::MainWindowTest {
protected:
    frmMain& main = f;
    frmOptions& options = form::Single<frmOptions>();
};

TEST_F(OptionsAndTools, CancelWritesNothingApplyWritesAndStaysOkCloses) {
    modal::ScopedHooks hooks(Recording());
    main.mnutools_Click(0);
    options.SetText(frmOptions::IdText1, L"Q:\\never");
    SendMessageW(options.Item(frmOptions::IdCancel), BM_CLICK, 0, 0);
    EXPECT_FALSE(options.IsLoaded());
    EXPECT_FALSE(Stored(L"InitDir"));
    main.mnutools_Click(0);  // opened again: loaded afresh with the applied values
    EXPECT_EQ(options.Text(frmOptions::IdText1), main.CurrentSettings().initDir);
    options.SetText(frmOptions::IdText1, L"E:\\work folder");
    options.SetCombo1Index(1);
    options.SetText(frmOptions::IdText3, L"17");  // refused, and nothing is written
    SendMessageW(options.Item(frmOptions::IdOK), BM_CLICK, 0, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, texts::OptionsTabWidthInvalid);
    EXPECT_FALSE(Stored(L"InitDir"));
    options.SetText(frmOptions::IdText3, L"3");
    options.SetText(frmOptions::IdText2, L"2048");
    SendMessageW(options.Item(frmOptions::IdApply), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(options.Hwnd()));
    EXPECT_EQ(Stored(L"LargeFileKB").value_or(L"") + L"|" + Stored(L"InitDir").value_or(L"") + L"|" +
                  Stored(L"DefaultFileType").value_or(L"") + L"|" + Stored(L"TabWidth").value_or(L""),
              L"2048|E:\\work folder|1|3");
    EXPECT_EQ(SendMessageW(main.t1(), SCI_GETTABWIDTH, 0, 0), 3);
    // The next Open dialog starts there, with the chosen type.
    std::wstring startFolder;
    {
        modal::ScopedHooks open({.openFile = [&](OPENFILENAMEW& ofn) {
            return startFolder = (ofn.lpstrInitialDir ? ofn.lpstrInitialDir : L"") + std::to_wstring(ofn.nFilterIndex), FALSE;
        }});
        main.mnufile_Click(1);
    }
    EXPECT_EQ(startFolder, L"E:\\work folder2");
    // OK writes the current placement and closes.
    SetWindowPos(main.Hwnd(), nullptr, 30, 45, 600, 500, SWP_NOZORDER);
    SendMessageW(options.Item(frmOptions::IdOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(options.IsLoaded());
    EXPECT_EQ(Stored(L"MainWidth"), std::to_wstring(main.Tw(600)));
}

TEST_F(OptionsAndTools, ToolsMenuRunsTheShippedBatchFileOrReportsItMissingByPath) {
    const std::wstring batch = ProgramFolder() + L"\\code\\compile.bat", moved = batch + L".away";
    ASSERT_TRUE(testenv::Exists(batch));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"Tavrin-compile.log";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(L"TAVRIN_NOPAUSE", L"1");  // the batch file ends without waiting for a key
    modal::ScopedHooks hooks(Recording());
    main.mnutools_Click(2);  // an untitled, unsaved document: compiled all the same
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(testenv::PumpUntil([&] { return testenv::ReadBytes(log).find("result=") != std::string::npos; },
                                   20000));
    EXPECT_NE(testenv::ReadBytes(log).find("source=hello.cpp"), std::string::npos) << testenv::ReadBytes(log);
    ASSERT_TRUE(MoveFileW(batch.c_str(), moved.c_str()));
    main.mnutools_Click(2);
    MoveFileW(moved.c_str(), batch.c_str());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title + L": " + boxes[0].text, L"Tavrin: " + std::wstring(texts::CompileBatchMissing) + batch);
}

}  // namespace
