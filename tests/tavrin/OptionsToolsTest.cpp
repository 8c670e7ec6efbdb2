// The Options dialog and the Tools menu seen from outside: the dialog's controls, the registry,
// and the compile batch file really started.
#include <gtest/gtest.h>

#include <windows.h>

#include "AppInfo.h"
#include "CompileCommand.h"
#include "MainWindowFixture.h"
#include "Raii.h"
#include "Scintilla.h"
#include "TestEnv.h"
#include "Texts.h"

namespace {

using testenv::TempDir;

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
    for (const wchar_t* bad : {L"", L"0", L"17"}) {  // refused, and nothing is written
        options.SetText(frmOptions::IdText3, bad);
        SendMessageW(options.Item(frmOptions::IdOK), BM_CLICK, 0, 0);
    }
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, texts::OptionsTabWidthInvalid);
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

// The shipped batch file copied into folders whose names, and with source files whose names, hold
// characters that cmd reads as commands: nothing in a name runs, and the log names both exactly.
TEST(CompileBatch, NamesWithCommandCharactersAreOnlyNames) {
    struct Row {
        const wchar_t* folder;
        const wchar_t* source;
        bool percent;  // Wine's cmd drops a lone % when it expands %~dp0 or %~1: checked for injection only there
    } rows[] = {
        {L"p & mkdir INJECTED & rem", L"hello.cpp", false},
        {L"a^b (x) !y! & mkdir INJECTED)", L"hello.cpp", false},
        {L"plain", L"s & mkdir INJECTED & rem.cpp", false},
        {L"f & mkdir INJECTED ^ (1)", L"a&b^c(e)!f! & mkdir INJECTED.cpp", false},
        {L"ends in 2", L"x (2).cpp", false},  // a digit before a redirection is not a handle number
        {L"50% (x) %off% & mkdir INJECTED", L"hello.cpp", true},
        {L"plain", L"c%d%e ^ & mkdir INJECTED.cpp", true},
    };
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    wchar_t sys[MAX_PATH], temp[MAX_PATH];
    GetSystemDirectoryW(sys, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"Tavrin-compile.log";
    SetEnvironmentVariableW(L"TAVRIN_NOPAUSE", L"1");
    auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };  // ASCII names
    for (const Row& r : rows) {
        TempDir dir;
        const std::wstring folder = dir / r.folder, code = folder + L"\\code";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << r.folder;
        ASSERT_TRUE(CreateDirectoryW(code.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\code\\compile.bat").c_str(), (code + L"\\compile.bat").c_str(), FALSE));
        ASSERT_TRUE(testenv::WriteBytes(code + L"\\" + r.source, "int main() { return 0; }\r\n"));
        DeleteFileW(log.c_str());
        // Started as Tools > Compile starts it, with the source file's name in place of hello.cpp.
        const CompileCommand cmd = MakeCompileCommand(folder, sys);
        testenv::Process cmdExe(cmd.application, L"/c \"\"" + cmd.batchPath + L"\" \"" + r.source + L"\"\"", dir.Path().c_str());
        ASSERT_NE(cmdExe.Wait(30000), -1) << r.folder;
        const std::string got = testenv::ReadBytes(log);
        if (!(r.percent && wine)) {
            EXPECT_EQ(got.substr(0, got.find("result=")),
                      "source=" + narrow(r.source) + "\r\nfolder=" + narrow(code) + "\r\n")
                << got;
        }
        EXPECT_NE(got.find("result="), std::string::npos) << got;
        for (const std::wstring& where : {dir.Path(), folder, code})
            EXPECT_FALSE(testenv::Exists(where + L"\\INJECTED")) << r.folder << L" / " << r.source;
    }
}

}  // namespace
