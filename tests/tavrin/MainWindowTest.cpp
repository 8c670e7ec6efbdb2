// The main window seen from outside: shortcuts, the real prompt, drops, placement, the registry, the
// Options dialog, the Tools menu's compile batch file (awkward names: BuildPaneTest), the program as a
// user starts it; saving that never costs the old file (faults injected, real obstacles), long and
// relative paths, a failure while closing; the file on disk and the window agree (another program's
// change or deletion, encodings and line ends shown and chosen, recent files, the real file dialogs).
#include "MainWindowFixture.h"

#include <winioctl.h>

#include "AppInfo.h"
#include "DialogAnswerer.h"
#include "DocumentStore.h"
#include "FormatChoices.h"
#include "RecentMenu.h"
#include "RecoveryGuard.h"
#include "SaveAsEncoding.h"
#include "Scintilla.h"
#include "Texts.h"

namespace {

using testenv::Choose;
using testenv::MainWindowTest;
using testenv::TempDir;

TEST_F(MainWindowTest, ShortcutsRunNewOpenAndSave) {
    ASSERT_TRUE(testenv::WriteBytes(dir / L"k.cpp", "k\r\n"));
    modal::Hooks h = Recording(IDNO);
    h.openFile = testenv::Choose(dir / L"k.cpp");
    modal::ScopedHooks hooks(h);
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), 'O'));
    EXPECT_EQ(f.Caption(), L"k.cpp - Tavrin");
    Type(L"more");
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), 'S'));
    EXPECT_EQ(testenv::ReadBytes(dir / L"k.cpp"), "k\r\nmore\r\n");
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), 'N'));
    EXPECT_EQ(boxes.size(), 1u);  // New asks whenever there is text
    EXPECT_EQ(f.Caption(), L"Untitled - Tavrin");
    // Big files (Yes to opening them): ASCII written as it is, a code page's character encoded.
    modal::ScopedHooks yes(Recording(IDYES));
    for (const std::string tail : {"end\r\n", "caf\xE9\r\n"}) {
        const std::string big = std::string(4u << 20, 'a') + "\r\n" + tail;
        ASSERT_TRUE(testenv::WriteBytes(dir / L"big.txt", big));
        Open(dir / L"big.txt");
        editarea::Select(f.t1(), 0, 0);
        editarea::ReplaceSelection(f.t1(), L"x");
        EXPECT_TRUE(testenv::PressCtrl(f.t1(), 'S'));
        EXPECT_TRUE(testenv::ReadBytes(dir / L"big.txt") == "x" + big) << tail;
    }
}

TEST_F(MainWindowTest, RealPromptCancelKeepsTheWindowAndStillWritesSettings) {
    Type(L"unsaved");
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDCANCEL)});
        EXPECT_FALSE(f.Unload());
        EXPECT_EQ(answer.One(), L"Tavrin: Would you like to save changes?");
    }
    EXPECT_EQ(f.Text(), L"unsaved");
    EXPECT_EQ(Stored(L"MainWidth").value_or(L""), L"6495");  // 433 px at 96 dpi
    DialogAnswerer answer({DialogAnswerer::Press(IDNO)});
    EXPECT_TRUE(f.Unload());
}

TEST_F(MainWindowTest, ExitEndsAndSaysSoOnceWhenTheSettingsCannotBeWritten) {
    // A key name longer than the registry takes: every write of the settings fails.
    settings::KeyPath = std::wstring(testenv::kScratchRoot) + L"\\" + std::wstring(300, L'k');
    modal::ScopedHooks hooks(Recording());
    SendMessageW(f.Hwnd(), WM_COMMAND, frmMain::FileBase + mainmenu::FileExit, 0);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(MainWindowTest, DroppedFileOpensAfterThePrompt) {
    ASSERT_TRUE(testenv::WriteBytes(dir / L"first.h", "first\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"second.h", "second\r\n"));
    Type(L"unsaved");
    for (int answer : {IDCANCEL, IDNO}) {
        modal::ScopedHooks hooks(Recording(answer));
        SendMessageW(f.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(testenv::DropFiles({dir / L"first.h", dir / L"second.h"})), 0);
        testenv::PumpUntil([&] { return !boxes.empty(); }, 2000);
        boxes.clear();
        EXPECT_EQ(f.Text(), answer == IDNO ? L"first\r\n" : L"unsaved");
    }
    EXPECT_EQ(f.Doc().DocumentPath, dir / L"first.h");
}

using OptionsAndTools = MainWindowTest;

TEST_F(OptionsAndTools, CancelWritesNothingApplyWritesAndStaysOkCloses) {
    frmOptions& options = form::Single<frmOptions>();
    // Loaded hidden once the main window has drawn and the user has paused: not while keys come.
    const bool loadedBefore = options.IsLoaded();
    for (int i = 0; i < 10; ++i) {
        SendMessageW(f.t1(), WM_KEYDOWN, VK_RIGHT, 1);
        testenv::PumpUntil([] { return false; }, 100);
    }
    if (!loadedBefore) {
        EXPECT_FALSE(options.IsLoaded());
    }
    ASSERT_TRUE(testenv::PumpUntil([&] { return options.IsLoaded(); }, 5000));
    EXPECT_FALSE(IsWindowVisible(options.Hwnd()));
    modal::ScopedHooks hooks(Recording());
    f.mnutools_Click(0);
    options.SetText(frmOptions::IdText1, L"Q:\\never");
    SendMessageW(options.Item(frmOptions::IdCancel), BM_CLICK, 0, 0);
    EXPECT_FALSE(options.IsLoaded());
    EXPECT_FALSE(Stored(L"InitDir"));
    f.mnutools_Click(0);  // opened again: loaded afresh with the applied values
    EXPECT_EQ(options.Text(frmOptions::IdText1), f.CurrentSettings().initDir);
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
    EXPECT_EQ(SendMessageW(f.t1(), SCI_GETTABWIDTH, 0, 0), 3);
    // The next Open dialog starts there, with the chosen type.
    std::wstring startFolder;
    {
        modal::ScopedHooks open({.openFile = [&](OPENFILENAMEW& ofn) {
            return startFolder = (ofn.lpstrInitialDir ? ofn.lpstrInitialDir : L"") + std::to_wstring(ofn.nFilterIndex), FALSE;
        }});
        f.mnufile_Click(1);
    }
    EXPECT_EQ(startFolder, L"E:\\work folder2");
    // OK writes the current placement and closes.
    SetWindowPos(f.Hwnd(), nullptr, 30, 45, 600, 500, SWP_NOZORDER);
    SendMessageW(options.Item(frmOptions::IdOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(options.IsLoaded());
    EXPECT_EQ(Stored(L"MainWidth"), std::to_wstring(f.Tw(600)));
}

TEST_F(OptionsAndTools, ToolsMenuRunsTheShippedBatchFileOrReportsItMissingByPath) {
    const std::wstring batch = ProgramFolder() + L"\\code\\compile.bat", moved = batch + L".away";
    ASSERT_TRUE(testenv::Exists(batch));
    wchar_t temp[MAX_PATH];
    const std::wstring log = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"Tavrin-compile.log";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(L"TAVRIN_NOPAUSE", L"1");  // the batch file ends without waiting for a key
    modal::ScopedHooks hooks(Recording());
    f.mnutools_Click(2);  // an untitled, unsaved document: compiled all the same
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(testenv::PumpUntil([&] { return testenv::ReadBytes(log).find("result=") != std::string::npos; },
                                   20000));
    EXPECT_NE(testenv::ReadBytes(log).find("source=hello.cpp"), std::string::npos) << testenv::ReadBytes(log);
    ASSERT_TRUE(MoveFileW(batch.c_str(), moved.c_str()));
    f.mnutools_Click(2);
    MoveFileW(moved.c_str(), batch.c_str());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title + L": " + boxes[0].text, L"Tavrin: " + std::wstring(texts::CompileBatchMissing) + batch);
}

// Unquoted with two blanks in a row, the name opens as typed (a quoted one: the recovery test).
TEST(TavrinProgram, OpensTheFileGivenOnTheCommandLine) {
    testenv::TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"two  blanks.txt", "x\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"two blanks.txt", "wrong\r\n"));
    EXPECT_TRUE(testenv::ShowsAndCloses(testenv::TavrinExe(), dir / L"two  blanks.txt", L"two  blanks.txt - Tavrin"));
}

// Libraries under the names of those the editor uses, placed beside a copy of the program, are
// never loaded: the program starts with the system's editing control and no planted start-up code runs.
TEST(TavrinProgram, LibrariesPlantedBesideItAreNotLoaded) {
    testenv::TempDir dir;
    const std::wstring exe = dir / testenv::TavrinExe().substr(testenv::BinDir().size() + 1);
    ASSERT_TRUE(CopyFileW(testenv::TavrinExe().c_str(), exe.c_str(), FALSE));
    const wchar_t* planted[] = {L"Msftedit.dll", L"riched20.dll", L"WININET.dll", L"WINSPOOL.DRV"};
    for (const wchar_t* name : planted)
        ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\fixtures\\fx_planted.dll").c_str(), (dir / name).c_str(), FALSE));
    EXPECT_TRUE(testenv::ShowsAndCloses(exe, L"", L"Untitled - Tavrin", dir.Path().c_str()));
    for (const wchar_t* name : planted) EXPECT_FALSE(testenv::Exists(dir / name + L".loaded")) << name;
}

// The names in a folder.
std::vector<std::wstring> Listing(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    raii::FindHandle h(FindFirstFileW((safesave::LongPath(dir + L"\\*")).c_str(), &fd));
    if (h)
        do
            if (fd.cFileName != std::wstring(L".") && fd.cFileName != std::wstring(L"..")) names.push_back(fd.cFileName);
        while (FindNextFileW(h.get(), &fd));
    return names;
}

bool Save(const std::wstring& path, std::string_view bytes, unsigned long* error = nullptr,
          const safesave::Verdict& verdict = {}) {
    unsigned long e = 0;
    return safesave::WriteAll(path, {bytes}, error ? *error : e, verdict);
}

DWORD LinkCount(const std::wstring& path) {
    raii::File f(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return f && GetFileInformationByHandle(f.get(), &info) ? info.nNumberOfLinks : 0;
}

// A symbolic link `name` in `dir` to the file `to` there. Wine's CreateSymbolicLinkW reports
// success and makes nothing; there the host's own ln makes the link Wine follows.
bool MakeSymlink(const std::wstring& dir, const std::wstring& name, const std::wstring& to) {
    const std::wstring link = dir + L"\\" + name;
    if (CreateSymbolicLinkW(link.c_str(), to.c_str(), 0x2 /* unprivileged create */) && testenv::Exists(link)) return true;
    testenv::Process ln(L"Z:\\bin\\ln", L"-s " + to + L" " + name, dir.c_str());
    return testenv::PumpUntil([&] { return testenv::Exists(link); }, 5000);
}

unsigned long DiskFullAfter2MB(size_t n) { return n >= 2 * 1024 * 1024 ? ERROR_DISK_FULL : 0; }

TEST_F(MainWindowTest, ALoadKeepsEveryByteAndLeavesNoUndoStep) {
    // Load pieces end inside CR LF pairs and multi-byte characters somewhere in here.
    std::string text;
    for (int i = 0; text.size() < 3u << 20; ++i)
        text += std::string(static_cast<size_t>(i % 41), 'a') + (i % 7 ? "\xF0\x9F\x98\x80" : "\xC3\xA9") + (i % 3 ? "\r\n" : "\n");
    size_t calls = 0, last = 0;
    ASSERT_TRUE(editarea::SetUtf8(f.t1(), text, [&](size_t done, size_t total) { ++calls, last = done + text.size() - total; }));
    EXPECT_TRUE(editarea::StoredText(f.t1()) == text);
    EXPECT_GT(calls, 1u);
    EXPECT_EQ(last, text.size());
    EXPECT_FALSE(SendMessageW(f.t1(), SCI_CANUNDO, 0, 0));
    EXPECT_FALSE(editarea::Modified(f.t1()));
}

// Safe saving, through its fault seam and with real obstacles.
class SafeSaving : public ::testing::Test {
protected:
    TempDir dir;
    std::wstring target = dir / L"t.cpp";
    void SetUp() override { ASSERT_TRUE(testenv::WriteBytes(target, "old\r\n")); }
    void TearDown() override {
        safesave::TestFaults() = safesave::Faults();
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
};

// A failure at any step, a locked, read-only or missing target: the old file stays, no copy is left.
TEST_F(SafeSaving, AFailureOrAnObstacleLeavesTheOldFile) {
    raii::File hold;  // another program's open handle that shares nothing
    const struct {
        safesave::Faults faults;
        unsigned long error;
        std::function<void()> obstacle;
        std::wstring path;
        safesave::Verdict verdict;  // a no before the first piece, or once all are written
    } rows[] = {
        {{}, ERROR_CANCELLED, {}, target, [](bool) { return false; }},
        {{}, ERROR_CANCELLED, {}, target, [](bool wait) { return !wait; }},
        {{.write = DiskFullAfter2MB}, ERROR_DISK_FULL, {}, target},
        // A folder that refuses new files (read-only folders are not enforced for this user under Wine).
        {{.createTemp = [] { return static_cast<unsigned long>(ERROR_ACCESS_DENIED); }}, ERROR_ACCESS_DENIED, {}, target},
        {{.replace = [] { return static_cast<unsigned long>(ERROR_SHARING_VIOLATION); }}, ERROR_SHARING_VIOLATION, {}, target},
        {{}, ERROR_ACCESS_DENIED, [&] { SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY); }, target},
        {{}, ERROR_PATH_NOT_FOUND, {}, dir / L"no such\\x.cpp"},
        {{}, 0, {}, dir.Path()},  // a folder of that name
        {{}, ERROR_SHARING_VIOLATION,
         [&] { hold.reset(CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)); }, target},
    };
    for (const auto& r : rows) {
        safesave::TestFaults() = r.faults;
        if (r.obstacle) r.obstacle();
        unsigned long e = 0;
        EXPECT_FALSE(Save(r.path, std::string(3 * 1024 * 1024 + 5, 'n'), &e, r.verdict)) << r.error;
        if (r.error) {
            EXPECT_EQ(e, r.error);
        }
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        hold.reset();
        EXPECT_EQ(testenv::ReadBytes(target), "old\r\n");
        EXPECT_EQ(Listing(dir.Path()), std::vector<std::wstring>{L"t.cpp"});
    }
}

// A file of more than one piece is read a piece ahead on a thread: the pieces still come in order,
// a stop ends the reading, and a failure comes after the pieces before it.
TEST_F(SafeSaving, PiecesComeInOrderAndAStopOrAFailurePartWayEndsTheReading) {
    std::string bytes;
    for (int i = 0; bytes.size() < 1000; ++i) bytes += std::to_string(i) + ',';
    ASSERT_TRUE(testenv::WriteBytes(target, bytes));
    const size_t no = SIZE_MAX, all = bytes.size();
    const struct { size_t piece, stopAfter, failAt, taken; } rows[] = {
        {4096, no, no, all}, {7, no, no, all}, {7, 3, no, 21}, {7, no, 70, 70}, {4096, no, 0, 0},  // 4096: in turn
    };
    for (const auto& r : rows) {
        safesave::TestFaults().read = [&](size_t before) { return before >= r.failAt ? ERROR_READ_FAULT : 0ul; };
        std::string taken;
        size_t pieces = 0;
        unsigned long e = 0;
        const auto take = [&](std::string_view p) { return taken += p, ++pieces != r.stopAfter; };
        EXPECT_EQ(safesave::ReadPieces(target, r.piece, take, e), r.failAt == no);
        EXPECT_EQ(taken, bytes.substr(0, r.taken)) << r.piece << " " << r.stopAfter << " " << r.failAt;
        EXPECT_EQ(e, r.failAt == no ? 0ul : ERROR_READ_FAULT);
    }
    safesave::TestFaults() = {};
    unsigned long e = 0;
    EXPECT_THROW(safesave::ReadPieces(target, 7, [](std::string_view) -> bool { throw std::bad_alloc(); }, e), std::bad_alloc);
}

TEST_F(SafeSaving, ASaveKilledPartWayLeavesTheOldFileAndTheNextSaveTidiesUp) {
    // Left alone by the tidying: a save running in another program, and a user's file of a like name.
    const std::wstring running = dir / L"~t.cpp.0000beef.tvtmp", users = dir / L"~t.cpp.notes.tvtmp";
    const std::wstring earlier = dir / L"~t.cpp.1234abcd.tvtmp";  // named as earlier versions did
    ASSERT_TRUE(testenv::WriteBytes(users, "mine"));
    ASSERT_TRUE(testenv::WriteBytes(earlier, "stale"));
    raii::File hold(CreateFileW(running.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(hold);
    const std::wstring event = L"TavrinSaveChild" + std::to_wstring(GetCurrentProcessId());
    raii::Handle written(CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
    {
        testenv::Process child(testenv::BinDir() + L"\\tavrin_save_child.exe", L"\"" + target + L"\" " + event);
        ASSERT_EQ(WaitForSingleObject(written.get(), 30000), WAIT_OBJECT_0) << "the child never wrote";
    }  // killed
    EXPECT_EQ(testenv::ReadBytes(target), "old\r\n");
    std::wstring stale;
    for (const std::wstring& n : Listing(dir.Path()))
        if (n != L"t.cpp" && dir / n != running && dir / n != users && dir / n != earlier) stale = n;
    ASSERT_FALSE(stale.empty()) << "the killed save left no temporary file";
    EXPECT_EQ(testenv::ReadBytes(dir / stale).size(), 1u << 20);  // the part it wrote
    ASSERT_TRUE(Save(target, "new"));
    EXPECT_EQ(testenv::ReadBytes(target), "new");
    EXPECT_FALSE(testenv::Exists(dir / stale) || testenv::Exists(earlier));
    EXPECT_TRUE(testenv::Exists(running));
    EXPECT_EQ(testenv::ReadBytes(users), "mine");
}

// The saved file is the same file: its attributes, its streams, its other hard-linked names (also
// when a write fails part-way) and the file a symbolic link names.
TEST_F(SafeSaving, TheTargetStaysTheSameFile) {
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(Save(target, "new"));
    EXPECT_EQ(GetFileAttributesW(target.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    // The mark a browser leaves on downloads; Wine writes a file of that name beside it instead.
    const std::wstring zone = target + L":Zone.Identifier";
    if (testenv::WriteBytes(zone, "[ZoneTransfer]\r\nZoneId=3\r\n") && Listing(dir.Path()).size() == 1) {
        ASSERT_TRUE(Save(target, "new"));
        EXPECT_EQ(testenv::ReadBytes(zone), "[ZoneTransfer]\r\nZoneId=3\r\n");
    }
    DeleteFileW(zone.c_str());
    const std::wstring other = dir / L"t2.cpp";
    ASSERT_TRUE(CreateHardLinkW(other.c_str(), target.c_str(), nullptr));
    ASSERT_TRUE(Save(target, "new\r\n"));
    EXPECT_EQ(testenv::ReadBytes(other), "new\r\n");
    EXPECT_EQ(LinkCount(target), 2u);
    safesave::TestFaults().write = DiskFullAfter2MB;  // the old content back under both names, no copy
    EXPECT_FALSE(Save(other, std::string(3 * 1024 * 1024, 'n')));
    safesave::TestFaults() = {};
    EXPECT_EQ(testenv::ReadBytes(target) + testenv::ReadBytes(other), "new\r\nnew\r\n");
    EXPECT_EQ(Listing(dir.Path()).size(), 2u);
    EXPECT_EQ(LinkCount(other), 2u);
    DeleteFileW(other.c_str());
    ASSERT_TRUE(MakeSymlink(dir.Path(), L"link.cpp", L"t.cpp"));
    ASSERT_TRUE(Save(dir / L"link.cpp", "through the link\r\n"));
    EXPECT_EQ(testenv::ReadBytes(target), "through the link\r\n");
    ASSERT_TRUE(Save(target, "direct\r\n"));  // still a link: a save of the file shows through it
    EXPECT_EQ(testenv::ReadBytes(dir / L"link.cpp"), "direct\r\n");
    EXPECT_EQ(Listing(dir.Path()).size(), 2u);
}

// Names up to 255 characters save in place; paths longer than 260 open and save.
TEST_F(MainWindowTest, LongNamesAndPathsLongerThan260CharactersOpenAndSave) {
    for (size_t length : {200u, 240u, 250u, 255u}) {
        const std::wstring path = dir / (std::wstring(length - 4, L'n') + L".txt");
        ASSERT_TRUE(Save(path, "first") && Save(path, "second")) << length;
        EXPECT_EQ(testenv::ReadBytes(safesave::LongPath(path)), "second") << length;
        DeleteFileW(safesave::LongPath(path).c_str());
    }
    EXPECT_TRUE(Listing(dir.Path()).empty());
    modal::ScopedHooks hooks(Recording());
    std::wstring folder = dir.Path();
    while (folder.size() < 300) {
        folder += L"\\folder with a long name \u0416";
        ASSERT_TRUE(CreateDirectoryW(safesave::LongPath(folder).c_str(), nullptr));
    }
    const std::wstring path = folder + L"\\long name \u4e2d.cpp";
    ASSERT_TRUE(Save(path, "long\n"));
    Open(path);
    EXPECT_EQ(f.Caption(), L"long name \u4e2d.cpp - Tavrin");
    Type(L"er");
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(safesave::LongPath(path)), "long\ner\n");
    EXPECT_TRUE(boxes.empty());
    // The temp folder is removed by name; a tree this deep needs the long form.
    DeleteFileW(safesave::LongPath(path).c_str());
    for (std::wstring p = folder; p.size() > dir.Path().size(); p.resize(p.find_last_of(L'\\')))
        RemoveDirectoryW(safesave::LongPath(p).c_str());
}

TEST_F(MainWindowTest, ARelativePathSavesWhereTheFileWasOpened) {
    modal::ScopedHooks hooks(Recording());
    const std::wstring path = dir / L"notes.txt";
    ASSERT_TRUE(testenv::WriteBytes(path, "old\r\n"));
    std::wstring before(MAX_PATH * 4, L'\0');
    before.resize(GetCurrentDirectoryW(static_cast<DWORD>(before.size()), before.data()));
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    f.OpenStartupFile(L"notes.txt");
    ASSERT_TRUE(SetCurrentDirectoryW(before.c_str()));  // as a file dialog may move it
    Type(L"more");
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), "old\r\nmore\r\n");
    EXPECT_FALSE(testenv::Exists(before + L"\\notes.txt"));
    // The dialogs leave the current folder where it is, and what they give is made complete.
    DWORD openFlags = 0, saveFlags = 0;
    modal::TestHooks().openFile = [&](OPENFILENAMEW& ofn) { return openFlags = ofn.Flags, FALSE; };
    f.mnufile_Click(1);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    modal::TestHooks().saveFile = [&](OPENFILENAMEW& ofn) { return saveFlags = ofn.Flags, Choose(L"other.txt")(ofn); };
    f.mnufile_Click(4);
    ASSERT_TRUE(SetCurrentDirectoryW(before.c_str()));
    EXPECT_TRUE(openFlags & saveFlags & OFN_NOCHANGEDIR);
    EXPECT_EQ(f.Doc().DocumentPath, dir / L"other.txt");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, AFailureWhileSavingOnCloseKeepsTheWindowAndTheText) {
    Type(L"keep me");
    modal::Hooks h = Recording(IDYES);  // save the changes
    h.saveFile = Choose(dir / L"kept.txt");
    modal::ScopedHooks hooks(h);
    safesave::TestFaults().write = [](size_t) -> unsigned long { throw std::bad_alloc(); };
    EXPECT_FALSE(f.Unload());
    ASSERT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.Text(), L"keep me");
    EXPECT_TRUE(f.Doc().IsModified());
    EXPECT_EQ(boxes.size(), 2u);  // the question, then the failure
    EXPECT_FALSE(testenv::Exists(dir / L"kept.txt"));
}

class OnDisk : public testenv::MainWindowTest {
protected:
    std::wstring path = dir / L"doc.txt";

    // Another program writes `line` (and a line end) over the file.
    void WriteElsewhere(const std::wstring& line) {
        testenv::Process cmd(testenv::SystemFolder() + L"\\cmd.exe", L"/c echo " + line + L"> \"" + path + L"\"");
        ASSERT_EQ(cmd.Wait(), 0);
    }
    void Command(int id) { SendMessageW(f.Hwnd(), WM_COMMAND, id, 0); }
};

TEST_F(OnDisk, AnotherProgramsWriteIsAskedOnceOnActivationAndYesReloads) {
    ASSERT_TRUE(testenv::WriteBytes(path, "one\r\ntwo\r\n"));
    Open(path);
    f.Show();
    // Another window in front while the file changes: nothing is asked yet.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    testenv::PumpUntil([&] { return GetForegroundWindow() == other; }, 2000);
    WriteElsewhere(L"theirs");
    DialogAnswerer yes({DialogAnswerer::Press(IDYES)}, 8000);
    testenv::PumpUntil([] { return false; }, 1000);
    EXPECT_EQ(yes.Answered(), 0u);
    SetForegroundWindow(f.Hwnd());
    ASSERT_TRUE(testenv::PumpUntil([&] { return f.Text() == L"theirs\r\n"; }));
    EXPECT_EQ(yes.One(), L"Tavrin: doc.txt" + std::wstring(texts::ChangedOutside));
    SetForegroundWindow(other);  // activated again: the same change is not asked about twice
    SetForegroundWindow(f.Hwnd());
    testenv::PumpUntil([] { return false; }, 500);
    EXPECT_EQ(yes.Seen().size(), 1u);
    DestroyWindow(other);
}

TEST_F(OnDisk, SaveOverAnotherProgramsWriteAsksAndADeletedFileIsWrittenAgain) {
    ASSERT_TRUE(testenv::WriteBytes(path, "mine\r\n"));
    Open(path);
    Type(L"more");
    WriteElsewhere(L"theirs");  // seen only when Save looks: the window is not shown
    {
        DialogAnswerer no({DialogAnswerer::Press(IDNO)});
        f.mnufile_Click(3);
        EXPECT_EQ(no.One(), L"Tavrin: doc.txt" + std::wstring(texts::SaveOverOutsideChange));
    }
    EXPECT_EQ(testenv::ReadBytes(path), "theirs\r\n");
    // Deleted: no question; the text stays modified, the status bar says so, Save writes it again.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    DialogAnswerer none({}, 1500);
    PostMessageW(f.Hwnd(), WM_APP + 20, 0, 0);
    ASSERT_TRUE(testenv::PumpUntil([&] { return Panel(0) == std::wstring(L"doc.txt") + texts::GoneFromDisk; }));
    EXPECT_TRUE(PanelShowsAll(0));
    EXPECT_TRUE(none.Seen().empty());
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), "mine\r\nmore\r\n");
    EXPECT_EQ(Panel(0), texts::StatusPanel);
}

// The timers that run while a question of the save waits do not move the text being written.
TEST_F(OnDisk, TheTextSavedAfterAQuestionIsTheTextShown) {
    std::string lines;
    while (lines.size() < (1900u << 10)) lines += "one line of text\r\n";  // below the size that asks
    ASSERT_TRUE(testenv::WriteBytes(path, "\xEF\xBB\xBF\xFF" + lines));  // a byte that changes: Save asks
    Open(path);
    SendMessageW(f.t1(), SCI_DOCUMENTEND, 0, 0);
    SendMessageW(f.t1(), WM_CHAR, 'x', 1);
    SendMessageW(f.t1(), SCI_DOCUMENTSTART, 0, 0);
    DialogAnswerer yes({[](HWND dlg) { Sleep(300); return DialogAnswerer::Press(IDYES)(dlg); }});
    f.mnufile_Click(3);
    EXPECT_EQ(yes.Answered(), 1u);
    EXPECT_TRUE(testenv::ReadBytes(path) == "\xEF\xBB\xBF\xEF\xBF\xBD" + lines + "x\r\n");  // not EXPECT_EQ: its diff of 2 MB takes minutes
}

BOOL CALLBACK FindCombo(HWND w, LPARAM found) {
    if (GetDlgCtrlID(w) != SaveAsEncoding::IdCombo) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

TEST_F(OnDisk, TheRealOpenDialogConvertingToLfAsOneUndoStepAndTheRealSaveAsWritingTheEncodingChosen) {
    ASSERT_TRUE(testenv::WriteBytes(path, "a\r\nb\nc\r\n"));
    {
        DialogAnswerer open({DialogAnswerer::TypeFileName(path)});  // the real Open dialog
        f.mnufile_Click(1);
    }
    EXPECT_EQ(Panel(bars::kFormatPanel), L"ANSI, Mixed");
    Command(formatchoices::LineEndsBase + 1);  // Unix (LF)
    EXPECT_EQ(f.Text(), L"a\nb\nc\n");
    EXPECT_EQ(Panel(bars::kFormatPanel), L"ANSI, LF");
    f.mnuedit_Click(0);
    EXPECT_EQ(f.Text(), L"a\r\nb\nc\r\n");
    const std::wstring wide = dir / L"wide.txt";
    DialogAnswerer answer({[wide](HWND dlg) {
        HWND combo = nullptr;
        EnumChildWindows(dlg, FindCombo, reinterpret_cast<LPARAM>(&combo));
        if (!combo || SendMessageW(combo, CB_GETCOUNT, 0, 0) != 5) return false;
        SendMessageW(combo, CB_SETCURSEL, 3, 0);  // UTF-16 LE
        return DialogAnswerer::TypeFileName(wide)(dlg);
    }});
    f.mnufile_Click(4);
    EXPECT_EQ(testenv::ReadBytes(wide).substr(0, 6), std::string("\xFF\xFE" "a\0\r\0", 6));
    EXPECT_EQ(Panel(bars::kFormatPanel), L"UTF-16 LE, Mixed");
    EXPECT_EQ(f.Caption(), L"wide.txt - Tavrin");
}

TEST_F(OnDisk, AFileOpenedBeforeOpensFromRecentFilesAndAMissingOneIsRemoved) {
    const std::wstring b = dir / L"b.txt";
    ASSERT_TRUE(testenv::WriteBytes(path, "first\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(b, "second\r\n"));
    Open(path);
    Open(b);
    Command(RecentMenu::FirstId + 1);
    EXPECT_EQ(f.Caption(), L"doc.txt - Tavrin");
    ASSERT_TRUE(DeleteFileW(b.c_str()));  // gone: asked, Yes takes it off the list
    {
        DialogAnswerer yes({DialogAnswerer::Press(IDYES)});
        Command(RecentMenu::FirstId + 1);
        EXPECT_EQ(yes.One(), L"Tavrin: " + b + texts::RecentMissing);
    }
    HMENU file = GetSubMenu(GetMenu(f.Hwnd()), 0), recent = nullptr;
    for (int i = 0; i < GetMenuItemCount(file) && !recent; ++i) recent = GetSubMenu(file, i);  // the first submenu
    SendMessageW(f.Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(recent), 0);
    EXPECT_EQ(GetMenuItemCount(recent), 3);  // doc.txt, a separator, Clear Recent Files
}

TEST_F(OnDisk, AFileAboveWhatThisBuildOpensIsToldBeforeAnythingShownChanges) {
    ASSERT_TRUE(testenv::WriteBytes(path, "kept\r\n"));
    Open(path);
    // A terabyte that takes no disk space.
    const std::wstring huge = dir / L"huge.log";
    {
        raii::File h(CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(h);
        DWORD got = 0;
        DeviceIoControl(h.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &got, nullptr);
        LARGE_INTEGER end{};
        end.QuadPart = 1ll << 40;
        ASSERT_TRUE(SetFilePointerEx(h.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(h.get()));
    }
    DialogAnswerer ok({DialogAnswerer::Press(IDOK)});
    Open(huge);
    const std::wstring seen = ok.One();
    const bool narrow = sizeof(void*) == 4;
    EXPECT_EQ(seen.rfind(L"Tavrin: " + (texts::CannotOpen + huge) + L"\n\n" + texts::TooBig + L"1024.0 GB" +
                             (narrow ? texts::TooBigEnd : texts::TooBigEnd64), 0), 0u) << seen;
    if (narrow) {
        EXPECT_NE(seen.find(texts::TooBigHint), std::wstring::npos);
        // Its limit is a gigabyte or more: the upper half of its address space counts.
        const size_t at = seen.find(texts::TooBigEnd);
        EXPECT_NE(seen.find(L" GB", at), std::wstring::npos) << seen;
    }
    EXPECT_EQ(f.Text(), L"kept\r\n");
    EXPECT_EQ(WindowText(f.Hwnd()), L"doc.txt - Tavrin");
    DeleteFileW(huge.c_str());
}

// A big file is read on a worker while the window keeps its messages going: Esc stops the reading
// and the text shown stays, every line of it in view, as it does when the reading fails part way.
// Read whole, it comes with the control's gap at the caret, the top.
TEST_F(OnDisk, EscOrAFailureWhileABigFileIsReadKeepsTheTextShown) {
    ASSERT_TRUE(testenv::WriteBytes(path, "kept\r\nwhole\r\n"));
    Open(path);
    const std::wstring big = dir / L"big.log";
    const std::string line = std::string(78, 'x') + "\r\n";
    std::string bytes;
    while (bytes.size() < (40u << 20)) bytes += line;
    ASSERT_TRUE(testenv::WriteBytes(big, bytes));
    modal::Hooks h = Recording(IDYES);  // open it all the same
    h.openFile = testenv::Choose(big);
    modal::ScopedHooks hooks(h);
    PostMessageW(f.t1(), WM_KEYDOWN, VK_ESCAPE, 0);  // pressed while it is read
    f.mnufile_Click(1);
    EXPECT_EQ(f.Text(), L"kept\r\nwhole\r\n");
    EXPECT_EQ(SendMessageW(f.t1(), SCI_VISIBLEFROMDOCLINE, 2, 0), 2);  // the last line has its place on screen
    EXPECT_EQ(WindowText(f.Hwnd()), L"doc.txt - Tavrin");
    EXPECT_FALSE(f.Doc().IsModified());
    // A failure part way: told, with its reason, and the text shown stays.
    safesave::TestFaults().read = [](size_t before) { return before >= (8u << 20) ? ERROR_READ_FAULT : 0ul; };
    f.mnufile_Click(1);
    safesave::TestFaults() = {};
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.back().text.find(ReasonText(ERROR_READ_FAULT)), std::wstring::npos) << boxes.back().text;
    EXPECT_EQ(f.Text(), L"kept\r\nwhole\r\n");
    EXPECT_EQ(SendMessageW(f.t1(), SCI_VISIBLEFROMDOCLINE, 2, 0), 2);
    EXPECT_EQ(WindowText(f.Hwnd()), L"doc.txt - Tavrin");
    f.mnufile_Click(1);
    EXPECT_EQ(WindowText(f.Hwnd()), L"big.log - Tavrin");
    EXPECT_EQ(SendMessageW(f.t1(), SCI_GETGAPPOSITION, 0, 0), 0);
    EXPECT_EQ(editarea::StoredText(f.t1()), bytes);
}

LRESULT CALLBACK GuardTimer(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR guard) {
    if (msg == WM_TIMER && reinterpret_cast<RecoveryGuard*>(guard)->OnTimer(wp)) return 0;
    return DefSubclassProc(h, msg, wp, lp);
}

// A big text's recovery copy is made a few parts at each tick; a change between ticks drops it, and
// the file written after the next pause holds the text as it ended, not a mix of the two. Changed
// back to the saved text, of its length, the copy made in parts is what tells, and the file goes.
TEST(RecoveryCopy, AChangeBetweenThePartsIsInTheFileAndTheSavedTextAgainRemovesIt) {
    testenv::ScratchAppData appData;
    const HWND w = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const std::string saved(20 << 20, 'a');
    std::string text = saved;
    textdigest::TextHash savedHash;
    savedHash.Add(saved);
    std::optional<bool> modified = true;
    int parts = 0;
    RecoveryGuard guard;
    guard.Attach(w, 7,
                 {[&] { return modified; },
                  [&](const textdigest::TextHash& h) { return h.Length() == saved.size() && h.Done() == savedHash.Done(); },
                  [&] { return text.size(); }, [](recovery::Record& r) { r.path = L"C:\\big.txt"; },
                  [&](size_t from, size_t to, char* into) {
                      Sleep(3);  // a slow part: the copy takes more than one tick
                      memcpy(into, text.data() + from, to - from);
                      into[to - from] = 0;
                      ++parts;
                  }});
    SetWindowSubclass(w, GuardTimer, 1, reinterpret_cast<DWORD_PTR>(&guard));
    guard.Edited();
    bool changed = false;
    const bool written = testenv::PumpUntil([&] {
        if (parts > 0 && !changed) {  // typed between two ticks of the copy
            changed = true;
            text[0] = 'b';
            guard.Edited();
        }
        return !appData.Files().empty() && guard.Keeper().Idle();
    }, 20000);
    ASSERT_TRUE(written);
    EXPECT_GT(parts, 5);  // copied again
    const recovery::Parsed r = recovery::Load(appData.Files()[0]);
    ASSERT_TRUE(r) << r.failure;
    EXPECT_EQ(r.record.path, L"C:\\big.txt");
    EXPECT_TRUE(r.record.text == text);
    text = saved;
    modified.reset();
    const int before = parts;
    guard.Edited();
    EXPECT_TRUE(testenv::PumpUntil([&] { return appData.Files().empty() && guard.Keeper().Idle(); }, 20000));
    EXPECT_GT(parts - before, 1);
    guard.Closed();
    DestroyWindow(w);  // (the subclass goes with it)
}

}  // namespace
