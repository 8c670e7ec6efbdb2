// Saving that never costs the old file (SafeSave with injected faults and real obstacles), and the
// main window's file routes: a failed save, long and relative paths, a failure while closing.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "MainWindowFixture.h"
#include "Raii.h"
#include "Scintilla.h"
#include "TestEnv.h"
#include "Texts.h"

namespace {

using testenv::Choose;
using testenv::TempDir;

// The names in a folder.
std::vector<std::wstring> Listing(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((safesave::LongPath(dir + L"\\*")).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.push_back(n);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

std::string ReadLong(const std::wstring& path) {
    std::string bytes;
    unsigned long e = 0;
    safesave::ReadAll(path, bytes, e);
    return bytes;
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
    if (CreateSymbolicLinkW(link.c_str(), to.c_str(), 0x2 /* unprivileged create */) &&
        GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    std::wstring cmd = L"ln -s " + to + L" " + name;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"Z:\\bin\\ln", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi))
        return false;
    raii::Handle process(pi.hProcess), thread(pi.hThread);
    for (int i = 0; i < 100 && GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class FileSafety : public testenv::MainWindowTest {
protected:
    std::vector<modal::MsgBoxCall> shown;
    int answer = IDYES;
    modal::ScopedHooks hooks{{.msgBox = [this](const modal::MsgBoxCall& c) { return shown.push_back(c), answer; }}};
};

TEST_F(FileSafety, ALoadKeepsEveryByteAndLeavesNoUndoStep) {
    // Load pieces end inside CR LF pairs and multi-byte characters somewhere in here.
    std::string text;
    for (int i = 0; text.size() < 3u << 20; ++i)
        text += std::string(static_cast<size_t>(i % 41), 'a') + (i % 7 ? "\xF0\x9F\x98\x80" : "\xC3\xA9") + (i % 3 ? "\r\n" : "\n");
    size_t calls = 0, last = 0;
    ASSERT_TRUE(editarea::SetUtf8(f.t1(), text, [&](size_t done, size_t total) { ++calls; last = done; EXPECT_EQ(total, text.size()); }));
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
    void TearDown() override { safesave::TestFaults() = safesave::Faults(); }
    void ExpectOldIntact() {
        EXPECT_EQ(testenv::ReadBytes(target), "old\r\n");
        EXPECT_EQ(Listing(dir.Path()), std::vector<std::wstring>{L"t.cpp"});  // no temporary file left
    }
};

TEST_F(SafeSaving, AFailureAtAnyStepLeavesTheOldFile) {
    using F = safesave::Faults;
    const struct {
        F faults;
        unsigned long error;
    } rows[] = {
        {{.write = [](size_t n) -> unsigned long { return n >= 2 * 1024 * 1024 ? ERROR_DISK_FULL : 0; }}, ERROR_DISK_FULL},
        // A folder that refuses new files (read-only folders are not enforced for this user under Wine).
        {{.createTemp = [] { return static_cast<unsigned long>(ERROR_ACCESS_DENIED); }}, ERROR_ACCESS_DENIED},
        {{.replace = [] { return static_cast<unsigned long>(ERROR_SHARING_VIOLATION); }}, ERROR_SHARING_VIOLATION},
    };
    for (const auto& r : rows) {
        safesave::TestFaults() = r.faults;
        unsigned long e = 0;
        EXPECT_FALSE(safesave::WriteAll(target, std::string(3 * 1024 * 1024 + 5, 'n'), e));
        EXPECT_EQ(e, r.error);
        ExpectOldIntact();
    }
}

TEST_F(SafeSaving, ALockedOrReadOnlyTargetIsLeftAlone) {
    unsigned long e = 0;
    {
        raii::File hold(CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(hold);
        EXPECT_FALSE(safesave::WriteAll(target, "new", e));
        EXPECT_EQ(e, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    }
    ExpectOldIntact();
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(safesave::WriteAll(target, "new", e));
    EXPECT_EQ(e, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    ExpectOldIntact();
    // A folder of that name.
    EXPECT_FALSE(safesave::WriteAll(dir.Path(), "new", e));
    // A folder that does not exist.
    EXPECT_FALSE(safesave::WriteAll(dir / L"no such\\x.cpp", "new", e));
    EXPECT_EQ(e, static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
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
    std::wstring cmd = L"\"" + testenv::BinDir() + L"\\tavrin_save_child.exe\" \"" + target + L"\" " + event;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi));
    raii::Handle child(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(WaitForSingleObject(written.get(), 30000), WAIT_OBJECT_0) << "the child never wrote";
    TerminateProcess(child.get(), 9);
    WaitForSingleObject(child.get(), 10000);

    EXPECT_EQ(testenv::ReadBytes(target), "old\r\n");
    std::wstring stale;
    for (const std::wstring& n : Listing(dir.Path()))
        if (n != L"t.cpp" && dir / n != running && dir / n != users && dir / n != earlier) stale = n;
    ASSERT_FALSE(stale.empty()) << "the killed save left no temporary file";
    EXPECT_EQ(testenv::ReadBytes(dir / stale).size(), 1u << 20);  // the part it wrote

    unsigned long e = 0;
    ASSERT_TRUE(safesave::WriteAll(target, "new", e));
    EXPECT_EQ(testenv::ReadBytes(target), "new");
    EXPECT_FALSE(testenv::Exists(dir / stale));
    EXPECT_FALSE(testenv::Exists(earlier));
    EXPECT_TRUE(testenv::Exists(running));
    EXPECT_EQ(testenv::ReadBytes(users), "mine");
}

TEST_F(SafeSaving, TheTargetKeepsItsAttributes) {
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    unsigned long e = 0;
    ASSERT_TRUE(safesave::WriteAll(target, "new", e));
    EXPECT_EQ(GetFileAttributesW(target.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(testenv::ReadBytes(target), "new");
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SafeSaving, EveryHardLinkedNameSeesTheSave) {
    const std::wstring other = dir / L"t2.cpp";
    ASSERT_TRUE(CreateHardLinkW(other.c_str(), target.c_str(), nullptr));
    unsigned long e = 0;
    ASSERT_TRUE(safesave::WriteAll(target, "new\r\n", e)) << e;
    EXPECT_EQ(testenv::ReadBytes(other), "new\r\n");
    EXPECT_EQ(testenv::ReadBytes(target), "new\r\n");
    EXPECT_EQ(LinkCount(target), 2u);
    // A write failing part-way puts the old content back under both names, and leaves no copy.
    safesave::TestFaults().write = [](size_t written) -> unsigned long { return written >= 2 * 1024 * 1024 ? ERROR_DISK_FULL : 0; };
    EXPECT_FALSE(safesave::WriteAll(other, std::string(3 * 1024 * 1024, 'n'), e));
    EXPECT_EQ(e, static_cast<unsigned long>(ERROR_DISK_FULL));
    EXPECT_EQ(testenv::ReadBytes(target), "new\r\n");
    EXPECT_EQ(testenv::ReadBytes(other), "new\r\n");
    EXPECT_EQ(Listing(dir.Path()).size(), 2u);
    EXPECT_EQ(LinkCount(other), 2u);
}

TEST_F(SafeSaving, ASymbolicLinkSavesIntoTheFileItNames) {
    ASSERT_TRUE(MakeSymlink(dir.Path(), L"link.cpp", L"t.cpp"));
    const std::wstring link = dir / L"link.cpp";
    unsigned long e = 0;
    ASSERT_TRUE(safesave::WriteAll(link, "through the link\r\n", e)) << e;
    EXPECT_EQ(testenv::ReadBytes(target), "through the link\r\n");
    // Still a link: a save of the file shows through it.
    ASSERT_TRUE(safesave::WriteAll(target, "direct\r\n", e)) << e;
    EXPECT_EQ(testenv::ReadBytes(link), "direct\r\n");
    EXPECT_EQ(Listing(dir.Path()).size(), 2u);
}

TEST_F(SafeSaving, TheTargetKeepsItsStreams) {
    // The mark a browser leaves on downloads; file systems without streams (Wine's) skip this.
    const std::wstring zone = target + L":Zone.Identifier";
    // (Wine writes a file of that name beside it instead.)
    if (!testenv::WriteBytes(zone, "[ZoneTransfer]\r\nZoneId=3\r\n") || Listing(dir.Path()).size() != 1)
        GTEST_SKIP() << "no alternate data streams here";
    unsigned long e = 0;
    ASSERT_TRUE(safesave::WriteAll(target, "new", e)) << e;
    EXPECT_EQ(testenv::ReadBytes(target), "new");
    EXPECT_EQ(testenv::ReadBytes(zone), "[ZoneTransfer]\r\nZoneId=3\r\n");
}

TEST_F(SafeSaving, NamesUpTo255CharactersSaveInPlace) {
    for (size_t length : {200u, 240u, 250u, 255u}) {
        const std::wstring path = dir / (std::wstring(length - 4, L'n') + L".txt");
        unsigned long e = 0;
        ASSERT_TRUE(safesave::WriteAll(path, "first", e)) << length << " " << e;
        ASSERT_TRUE(safesave::WriteAll(path, "second", e)) << length << " " << e;
        EXPECT_EQ(ReadLong(path), "second") << length;
        DeleteFileW(safesave::LongPath(path).c_str());
    }
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::wstring>{L"t.cpp"});
}

TEST_F(FileSafety, PathsLongerThan260CharactersOpenAndSave) {
    TempDir dir;
    std::wstring folder = dir.Path();
    while (folder.size() < 300) {
        folder += L"\\folder with a long name \u0416";
        ASSERT_TRUE(CreateDirectoryW(safesave::LongPath(folder).c_str(), nullptr));
    }
    const std::wstring path = folder + L"\\long name \u4e2d.cpp";
    unsigned long e = 0;
    ASSERT_TRUE(safesave::WriteAll(path, "long\n", e)) << e;
    Open(path);
    EXPECT_EQ(f.Caption(), L"long name \u4e2d.cpp - Tavrin");
    Type(L"er");
    f.mnufile_Click(3);
    EXPECT_EQ(ReadLong(path), "long\ner\n");
    EXPECT_TRUE(shown.empty());
    // The temp folder is removed by name; a tree this deep needs the long form.
    DeleteFileW(safesave::LongPath(path).c_str());
    for (std::wstring p = folder; p.size() > dir.Path().size(); p.resize(p.find_last_of(L'\\')))
        RemoveDirectoryW(safesave::LongPath(p).c_str());
}

TEST_F(FileSafety, ARelativePathSavesWhereTheFileWasOpened) {
    TempDir dir;
    const std::wstring path = dir / L"notes.txt";
    ASSERT_TRUE(testenv::WriteBytes(path, "old\r\n"));
    std::wstring before(MAX_PATH * 4, L'\0');
    before.resize(GetCurrentDirectoryW(static_cast<DWORD>(before.size()), before.data()));
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    f.OpenStartupFile(L"notes.txt");
    ASSERT_TRUE(SetCurrentDirectoryW(before.c_str()));  // as a file dialog may move it
    EXPECT_EQ(f.Doc().DocumentPath, path);
    Type(L"more");
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), "old\r\nmore\r\n");
    const std::wstring stray = before + L"\\notes.txt";
    EXPECT_FALSE(testenv::Exists(stray));
    DeleteFileW(stray.c_str());
    // The dialogs leave the current folder where it is, and what they give is made complete.
    DWORD openFlags = 0, saveFlags = 0;
    modal::TestHooks().openFile = [&](OPENFILENAMEW& ofn) { openFlags = ofn.Flags; return FALSE; };
    f.mnufile_Click(1);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    modal::TestHooks().saveFile = [&](OPENFILENAMEW& ofn) {
        saveFlags = ofn.Flags;
        return Choose(L"other.txt")(ofn);
    };
    f.mnufile_Click(4);
    ASSERT_TRUE(SetCurrentDirectoryW(before.c_str()));
    EXPECT_TRUE(openFlags & OFN_NOCHANGEDIR);
    EXPECT_TRUE(saveFlags & OFN_NOCHANGEDIR);
    EXPECT_EQ(f.Doc().DocumentPath, dir / L"other.txt");
    EXPECT_TRUE(shown.empty());
}

TEST_F(FileSafety, AFailureWhileSavingOnCloseKeepsTheWindowAndTheText) {
    TempDir dir;
    Type(L"keep me");
    modal::TestHooks().saveFile = Choose(dir / L"kept.txt");
    safesave::TestFaults().write = [](size_t) -> unsigned long { throw std::bad_alloc(); };
    answer = IDYES;  // save the changes
    EXPECT_FALSE(f.Unload());
    ASSERT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.Text(), L"keep me");
    EXPECT_TRUE(f.Doc().IsModified());
    ASSERT_EQ(shown.size(), 2u);  // the question, then the failure
    EXPECT_FALSE(testenv::Exists(dir / L"kept.txt"));
}

}  // namespace
