// The document's commands against a scripted window and files: prompts, dialogs, failed reads and
// writes; and the file policy's questions.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "Document.h"
#include "Paths.h"
#include "basTavrin.h"
#include "RecentFiles.h"
#include "TextConv.h"
#include "Texts.h"

namespace {

// The window, the files and the file questions of a document, scripted. Error 2: a missing file;
// 5: a failed write.
class FakeUi : public DocumentUi, public docfile::Files, public docfile::Questions {
public:
    std::wstring text;
    std::string bytes;  // the text as the area would hand it over
    std::map<std::wstring, std::string> files;  // what is on "disk"
    std::map<std::wstring, unsigned long long> stamps;  // each file's last write
    unsigned long long maxBytes = 1ull << 30;
    std::vector<std::wstring> questions;  // each question asked, in order
    std::deque<bool> questionAnswers;     // Yes when none is left
    std::deque<PromptAnswer> answers;
    std::deque<std::wstring> openChoices, saveChoices;  // an empty entry is a cancelled dialog
    std::vector<std::wstring> errors;
    std::optional<docfile::FileFormat> saveFormat;  // the encoding chosen in Save As
    std::wstring caption = texts::UntitledCaption, lastFolder;
    bool writesFail = false;
    int prompts = 0, openDialogs = 0, saveDialogs = 0, writes = 0;

    std::string_view EditorText() override { return bytes = WideToUtf8(text); }
    void ClearEditor() override { text.clear(); }
    bool ShowText(std::string_view t, docfile::LineEnd, std::wstring&) override { return text = Utf8ToWide(t), true; }
    bool Size(const std::wstring& path, unsigned long long& size, unsigned long& error) override {
        std::string b;
        return Read(path, b, error) && (size = b.size(), true);
    }
    bool Read(const std::wstring& path, std::string& b, unsigned long& error) override {
        auto it = files.find(path);
        return it == files.end() ? (error = 2, false) : (b = it->second, true);
    }
    bool Write(const std::wstring& path, std::string_view b, unsigned long& error) override {
        ++writes;
        return writesFail ? (error = 5, false) : (files[path] = std::string(b), ++stamps[path], true);
    }
    std::wstring Reason(unsigned long error) override { return error == 2 ? L"missing" : L"Access denied."; }
    unsigned long long MaxLoadBytes() override { return maxBytes; }
    filewatch::Identity Identity(const std::wstring& path) override {
        auto it = files.find(path);
        if (it == files.end()) return {};
        return {true, 1, path.size(), it->second.size(), stamps[path]};
    }
    bool Answer(const std::wstring& q) {
        questions.push_back(q);
        const bool a = questionAnswers.empty() || questionAnswers.front();
        if (!questionAnswers.empty()) questionAnswers.pop_front();
        return a;
    }
    bool OpenLargeFile(const std::wstring& q) override { return Answer(q); }
    bool SaveAsUtf8(const std::wstring& q) override { return Answer(q); }
    bool SaveWithMark(const std::wstring& q) override { return Answer(q); }
    bool SaveWithChanges(const std::wstring& q) override { return Answer(q); }
    bool ReloadChanged(const std::wstring& q) override { return Answer(q); }
    bool SaveOverChange(const std::wstring& q) override { return Answer(q); }
    PromptAnswer AskSaveChanges() override {
        ++prompts;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    // "<nothing>": a dialog that says OK and gives no name.
    bool Choose(std::deque<std::wstring>& q, const std::wstring& folder, std::wstring& path, std::wstring& title) {
        lastFolder = folder;
        const std::wstring c = q.front();
        q.pop_front();
        if (c.empty() || c == L"<nothing>") return !c.empty();
        path = c;
        title = paths::Name(c);
        return true;
    }
    bool ChooseOpenPath(const std::wstring& f, std::wstring& p, std::wstring& t) override {
        return ++openDialogs, Choose(openChoices, f, p, t);
    }
    bool ChooseSavePath(const std::wstring& f, std::wstring& p, std::wstring& t, docfile::FileFormat& format) override {
        if (saveFormat) format = *saveFormat;
        return ++saveDialogs, Choose(saveChoices, f, p, t);
    }
    void ShowError(const std::wstring& m) override { errors.push_back(m); }
    void SetCaption(const std::wstring& c) override { caption = c; }
};

const std::wstring kDir = L"C:\\Code";

class DocumentTest : public ::testing::Test {
protected:
    FakeUi ui;
    settings::Values values;
    Document doc{ui, ui, ui, values};

    // A document opened from C:\a.cpp holding "saved", then edited.
    void OpenEdited() {
        ui.files[L"C:\\a.cpp"] = "saved";
        ui.openChoices.push_back(L"C:\\a.cpp");
        ASSERT_TRUE(doc.Open(kDir));
        ui.text = L"edited";
    }
    // The edited document is still C:\a.cpp, modified, as it was.
    void ExpectUnchanged() {
        EXPECT_EQ(ui.text + L"|" + doc.DocumentPath + L"|" + doc.DocumentTitle + L"|" + ui.caption, L"edited|C:\\a.cpp|a.cpp|a.cpp - Tavrin");
        EXPECT_TRUE(doc.IsModified());
    }
};

TEST_F(DocumentTest, StartsUntitledAndOpenSetsPathTitleCaptionAndSnapshot) {
    EXPECT_EQ(doc.WindowCaption, L"Untitled - Tavrin");
    EXPECT_TRUE(doc.New(kDir));  // an empty area asks nothing
    EXPECT_TRUE(doc.QueryClose(kDir));
    EXPECT_EQ(ui.prompts, 0);
    ui.files[L"C:\\src\\x.cpp"] = "int x;";
    ui.openChoices.push_back(L"C:\\src\\x.cpp");
    EXPECT_TRUE(doc.Open(kDir));
    EXPECT_EQ(ui.lastFolder + L"|" + ui.text + L"|" + doc.DocumentPath + L"|" + doc.DocumentTitle + L"|" + ui.caption,
              kDir + L"|int x;|C:\\src\\x.cpp|x.cpp|x.cpp - Tavrin");
    EXPECT_FALSE(doc.IsModified());
    // A text of the same length is a change; typing it back is not.
    ui.text = L"int y;";
    EXPECT_TRUE(doc.IsModified());
    ui.text = L"int x;";
    EXPECT_FALSE(doc.IsModified());
}

TEST(FileWatch, AChangeOnDiskIsRaisedOnceAndAsksByTheTextsState) {
    using filewatch::Verdict;
    const filewatch::Identity read{true, 7, 42, 100, 500}, written{true, 7, 42, 120, 600},
        replaced{true, 7, 43, 100, 500}, gone{}, otherVolume{true, 8, 42, 100, 500};
    struct Row {
        filewatch::Identity known, now, asked;
        bool modified;
        Verdict want;
    } rows[] = {
        {read, read, read, false, Verdict::Same},
        {read, written, read, false, Verdict::AskReload},
        {read, written, read, true, Verdict::AskReloadLosingChanges},
        {read, replaced, read, false, Verdict::AskReload},     // same size and time, another file
        {read, otherVolume, read, true, Verdict::AskReloadLosingChanges},
        {read, written, written, false, Verdict::Same},        // already asked about this change
        {read, replaced, written, false, Verdict::AskReload},  // changed again after the answer
        {read, gone, read, true, Verdict::Gone},
        {read, gone, gone, false, Verdict::Same},              // told once
        {gone, written, gone, false, Verdict::Same},           // never read from disk
    };
    for (const Row& r : rows) EXPECT_EQ(filewatch::Decide(r.known, r.now, r.asked, r.modified), r.want);
    EXPECT_FALSE(filewatch::SaveAsks(read, gone));  // Save writes a deleted file again
    EXPECT_FALSE(filewatch::SaveAsks(gone, written));
    EXPECT_TRUE(filewatch::SaveAsks(read, replaced));
}

TEST_F(DocumentTest, AnotherProgramsChangeWaitsForAWindowThatMayAskAndNoKeepsTheText) {
    OpenEdited();
    ui.files[L"C:\\a.cpp"] = "theirs", ++ui.stamps[L"C:\\a.cpp"];
    EXPECT_EQ(doc.CheckDisk(false), Document::DiskChange::Waiting);  // not active: nothing asked yet
    ui.questionAnswers = {false};
    EXPECT_EQ(doc.CheckDisk(true), Document::DiskChange::Kept);
    EXPECT_EQ(doc.CheckDisk(true), Document::DiskChange::None);
    ExpectUnchanged();
    EXPECT_EQ(ui.questions, std::vector<std::wstring>{std::wstring(L"a.cpp") + texts::ChangedOutsideModified});
}

TEST_F(DocumentTest, ReopenedInAnEncodingThatHoldsForSavesAndSaveAsChoosesOne) {
    ui.files[L"C:\\r.txt"] = "caf\xE9";  // ANSI
    ui.openChoices.push_back(L"C:\\r.txt");
    ASSERT_TRUE(doc.Open(kDir));
    ui.text += L"!";
    ui.answers = {PromptAnswer::No};  // modified: asked first
    ASSERT_TRUE(doc.Reopen(docfile::Encoding::Utf8, kDir));
    EXPECT_EQ(ui.prompts, 1);
    EXPECT_EQ(ui.text, L"caf\xFFFD");
    EXPECT_TRUE(doc.IsModified());  // the bytes it could not decode are not the file's any more
    ui.questionAnswers = {true};
    EXPECT_TRUE(doc.Save(kDir));
    EXPECT_EQ(ui.questions.size(), 1u);  // what the save changes, asked first
    EXPECT_EQ(ui.files[L"C:\\r.txt"], "caf\xEF\xBF\xBD\r\n");
    ui.saveFormat = docfile::FileFormat{docfile::Encoding::Utf16Le, true};
    ui.saveChoices.push_back(L"C:\\w.txt");
    ui.text = L"hi";
    EXPECT_TRUE(doc.SaveAs(kDir));
    EXPECT_EQ(ui.files[L"C:\\w.txt"], std::string("\xFF\xFEh\0i\0\r\0\n\0", 10));
}

TEST(TextDigest, Sha256KnownDigestsAndTheTextRule) {
    auto hex = [](const textdigest::Digest& d) {
        std::string s;
        for (uint8_t b : d) s += "0123456789abcdef"[b >> 4], s += "0123456789abcdef"[b & 15];
        return s;
    };
    EXPECT_EQ(hex(textdigest::Sha256("", 0)), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex(textdigest::Sha256("abc", 3)), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";  // 56 bytes: two blocks
    EXPECT_EQ(hex(textdigest::Sha256(two.data(), two.size())),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::string million(1000000, 'a');
    EXPECT_EQ(hex(textdigest::Sha256(million.data(), million.size())),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    textdigest::TextDigest p("saved");
    EXPECT_TRUE(p.Matches("saved"));
    EXPECT_FALSE(p.Matches("Saved"));
    EXPECT_FALSE(p.Matches("saved\r\n"));
    EXPECT_TRUE(textdigest::TextDigest().Matches(""));
    // Made piece by piece, the hash is the whole text's.
    for (size_t cut : {0u, 1u, 31u, 32u, 33u, 999u}) {
        textdigest::TextHash pieces;
        pieces.Add(std::string_view(million).substr(0, cut));
        pieces.Add(std::string_view(million).substr(cut));
        textdigest::TextDigest d;
        d.Mark(pieces);
        EXPECT_TRUE(d.Matches(million)) << cut;
        EXPECT_FALSE(d.Matches(std::string(999999, 'a') + "b")) << cut;
    }
}

TEST_F(DocumentTest, OpenOnModifiedDocumentWithEachAnswerAndDialogOutcome) {
    OpenEdited();
    // Each way Open stops: Cancel (no dialog), a cancelled dialog, one closed with OK but no name, an
    // unreadable file (reported), Yes with a cancelled Save As.
    const struct {
        PromptAnswer answer;
        const wchar_t* open;
        const wchar_t* save;
    } stops[] = {{PromptAnswer::Cancel, nullptr, nullptr}, {PromptAnswer::No, L"", nullptr},
                 {PromptAnswer::No, L"<nothing>", nullptr}, {PromptAnswer::No, L"C:\\missing.cpp", nullptr},
                 {PromptAnswer::Yes, nullptr, L""}};
    for (const auto& r : stops) {
        ui.answers.push_back(r.answer);
        if (r.open) ui.openChoices.push_back(r.open);
        if (r.save) ui.saveChoices.push_back(r.save);
        EXPECT_FALSE(doc.Open(kDir));
        EXPECT_EQ(doc.SaveCancelled, r.answer != PromptAnswer::No);
    }
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], std::wstring(texts::CannotOpen) + L"C:\\missing.cpp\n\nmissing");
    EXPECT_EQ(ui.openDialogs, 4);
    ExpectUnchanged();
    EXPECT_EQ(ui.writes, 0);
    // Yes: Save As even with a path, then the other file opens.
    ui.files[L"C:\\b.cpp"] = "b";
    ui.answers.push_back(PromptAnswer::Yes);
    ui.saveChoices.push_back(L"C:\\kept.cpp");
    ui.openChoices.push_back(L"C:\\b.cpp");
    EXPECT_TRUE(doc.Open(kDir));
    EXPECT_EQ(ui.files[L"C:\\kept.cpp"], "edited\r\n");
    EXPECT_EQ(ui.writes, 1);
    EXPECT_EQ(ui.text, L"b");
    // No: the other file opens, nothing is written.
    ui.text = L"b edited";
    ui.answers.push_back(PromptAnswer::No);
    ui.openChoices.push_back(L"C:\\a.cpp");
    EXPECT_TRUE(doc.Open(kDir));
    EXPECT_EQ(ui.writes, 1);
    EXPECT_EQ(doc.DocumentTitle, L"a.cpp");
}

TEST_F(DocumentTest, NewAsksWheneverThereIsTextAndLeavesAnUnmodifiedDocument) {
    OpenEdited();
    ui.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(doc.New(kDir));
    ui.writesFail = true;  // Yes with a failed save stops too
    ui.answers.push_back(PromptAnswer::Yes);
    ui.saveChoices.push_back(L"C:\\ro\\x.cpp");
    EXPECT_FALSE(doc.New(kDir));
    EXPECT_EQ(ui.errors.size(), 1u);
    ExpectUnchanged();
    ui.text = L"saved";  // unchanged text still asks
    ui.answers.push_back(PromptAnswer::No);
    EXPECT_TRUE(doc.New(kDir));
    EXPECT_EQ(ui.prompts, 3);
    EXPECT_EQ(ui.text, L"");
    EXPECT_EQ(doc.DocumentPath, L"");
    EXPECT_EQ(ui.caption, L"Untitled - Tavrin");
    EXPECT_FALSE(doc.IsModified());  // the empty new document: closing asks nothing
    EXPECT_TRUE(doc.QueryClose(kDir));
    EXPECT_EQ(ui.prompts, 3);
}

TEST_F(DocumentTest, SaveWritesOnceAndAFailedOrCancelledSaveKeepsTheDocument) {
    ui.text = L"abc";
    ui.saveChoices.push_back(L"C:\\x.cpp");
    EXPECT_TRUE(doc.Save(kDir));  // untitled: the Save dialog
    EXPECT_EQ(ui.lastFolder, kDir);
    EXPECT_EQ(ui.writes, 1);
    EXPECT_EQ(ui.caption, L"x.cpp - Tavrin");
    ui.text = L"abcd";
    EXPECT_TRUE(doc.Save(kDir));  // with a path: no dialog
    EXPECT_EQ(ui.saveDialogs, 1);
    EXPECT_EQ(ui.files[L"C:\\x.cpp"], "abcd\r\n");
    EXPECT_FALSE(doc.IsModified());

    OpenEdited();
    ui.saveChoices = {L"", L"<nothing>"};
    EXPECT_FALSE(doc.SaveAs(kDir));
    EXPECT_FALSE(doc.SaveAs(kDir));
    ui.writesFail = true;
    EXPECT_FALSE(doc.Save(kDir));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], std::wstring(texts::CannotSave) + L"C:\\a.cpp\n\nAccess denied.");
    EXPECT_TRUE(doc.SavedText.Matches("saved"));
    ui.saveChoices.push_back(L"C:\\other.cpp");
    EXPECT_FALSE(doc.SaveAs(kDir));
    EXPECT_EQ(ui.errors.size(), 2u);
    ExpectUnchanged();
    ui.writesFail = false;
    ui.saveChoices.push_back(L"D:\\new\\y.h");
    EXPECT_TRUE(doc.SaveAs(kDir));
    EXPECT_EQ(doc.DocumentPath, L"D:\\new\\y.h");
    EXPECT_EQ(doc.WindowCaption, L"y.h - Tavrin");
    EXPECT_EQ(ui.files[L"C:\\a.cpp"], "saved");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, CloseExitAndDrop) {
    OpenEdited();
    ui.answers = {PromptAnswer::Cancel, PromptAnswer::Cancel};
    EXPECT_FALSE(doc.QueryClose(kDir));
    EXPECT_FALSE(doc.ConfirmExit(kDir));
    EXPECT_FALSE(doc.ExitConfirmed);
    ui.answers = {PromptAnswer::Yes};
    ui.saveChoices.push_back(L"C:\\a.cpp");
    EXPECT_TRUE(doc.QueryClose(kDir));
    EXPECT_EQ(ui.files[L"C:\\a.cpp"], "edited\r\n");
    // A drop on a modified document asks first.
    ui.text = L"edited again";
    ui.files[L"C:\\dir\\d.txt"] = "dropped";
    ui.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(doc.Drop(L"C:\\dir\\d.txt", kDir));
    EXPECT_EQ(ui.text, L"edited again");
    ui.answers = {PromptAnswer::No};
    EXPECT_TRUE(doc.Drop(L"C:\\dir\\d.txt", kDir));
    EXPECT_EQ(ui.text, L"dropped");
    EXPECT_EQ(doc.WindowCaption, L"d.txt - Tavrin");
    EXPECT_TRUE(doc.Drop(L"C:\\a.cpp", kDir));  // unmodified: no question
    EXPECT_EQ(ui.prompts, 5);
    EXPECT_FALSE(doc.Drop(L"", kDir));
    // Exit with No: the closing sequence then asks nothing more.
    ui.text = L"changed";
    ui.answers = {PromptAnswer::No};
    EXPECT_TRUE(doc.ConfirmExit(kDir));
    EXPECT_TRUE(doc.ExitConfirmed);
    EXPECT_TRUE(doc.QueryClose(kDir));
    EXPECT_EQ(ui.prompts, 6);
    EXPECT_EQ(ui.files[L"C:\\a.cpp"], "edited\r\n");
}

// The file policy through the document: what opening and saving ask, and the bytes they write.
class FilePolicy : public DocumentTest {
protected:
    bool OpenFile(const std::wstring& path) {
        ui.answers.push_back(PromptAnswer::No);  // when the earlier text asks
        ui.openChoices.push_back(path);
        const bool ok = doc.Open(kDir);
        ui.answers.clear();
        return ok;
    }
};

TEST_F(FilePolicy, BigFilesAskFirstAboveTheSettingAndTooBigOnesAreRefused) {
    const std::wstring path = L"C:\\big.cpp";
    ui.files[path] = std::string(3000, 'x') + "\r\n";
    values.largeFileKB = 2;
    ui.questionAnswers = {false};
    EXPECT_FALSE(OpenFile(path));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], path + L"\n\n" + texts::LargeFileQuestion + L"3 KB" + texts::LargeFileQuestionEnd);
    EXPECT_TRUE(ui.errors.empty());  // declined: nothing happens, no error on top
    EXPECT_EQ(ui.caption, L"Untitled - Tavrin");
    EXPECT_TRUE(OpenFile(path));  // Yes
    EXPECT_EQ(ui.caption, L"big.cpp - Tavrin");
    EXPECT_EQ(ui.text.size(), 3002u);
    // 0: never asks; below the threshold: never asks.
    for (int kb : {0, 4}) {
        values.largeFileKB = kb;
        EXPECT_TRUE(OpenFile(path));
    }
    EXPECT_EQ(ui.questions.size(), 2u);
    // Above what the editing area can take: refused with both sizes, the text kept.
    ui.maxBytes = 4ull * 1024 * 1024;
    ui.files[L"C:\\huge.log"] = std::string(5 * 1024 * 1024, 'x');
    ui.text = L"kept";
    EXPECT_FALSE(OpenFile(L"C:\\huge.log"));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].rfind(std::wstring(texts::CannotOpen) + L"C:\\huge.log\n\n" + texts::TooBig + L"5.0 MB", 0), 0u);
    EXPECT_NE(ui.errors[0].find(L"4.0 MB"), std::wstring::npos);
    EXPECT_EQ(ui.text, L"kept");
}

// A missing final line end is added without a question.
TEST_F(FilePolicy, TheFinalLineEndIsAddedWithoutAQuestion) {
    ui.files[L"C:\\abc.txt"] = "abc";
    ASSERT_TRUE(OpenFile(L"C:\\abc.txt"));
    ui.text += L"d";
    EXPECT_TRUE(doc.Save(kDir));
    EXPECT_EQ(ui.files[L"C:\\abc.txt"], "abcd\r\n");
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(FilePolicy, WhatSavingWouldChangeIsAskedOnce) {
    // Lone CRs and mixed line ends are held and saved as they are: nothing to ask.
    ui.files[L"C:\\cr.txt"] = "a\rb\r\r\nc";
    ASSERT_TRUE(OpenFile(L"C:\\cr.txt"));
    EXPECT_EQ(ui.text, L"a\rb\r\r\nc");
    EXPECT_TRUE(doc.Save(kDir));
    EXPECT_EQ(ui.files[L"C:\\cr.txt"], "a\rb\r\r\nc\r");  // most lines end with a lone CR
    EXPECT_TRUE(ui.questions.empty());
    // Bytes that are not text in the file's encoding: asked before saving, once.
    const std::wstring path = L"C:\\bad.txt";
    ui.files[path] = "\xEF\xBB\xBF" "a\xFF" "b\r\n";
    ASSERT_TRUE(OpenFile(path));
    ui.questionAnswers = {false};
    EXPECT_FALSE(doc.Save(kDir));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], std::wstring(texts::WillChange) + L"\n\n" + texts::ChangeOtherBytes + L"\n\n" +
                                   texts::SaveAnyway);
    EXPECT_EQ(ui.files[path], "\xEF\xBB\xBF" "a\xFF" "b\r\n");  // No: untouched, nothing to report
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(doc.Save(kDir));
    EXPECT_EQ(ui.files[path], "\xEF\xBB\xBF" "a\xEF\xBF\xBD" "b\r\n");
    EXPECT_TRUE(doc.Save(kDir));  // asked once: the file is now as it is written
    EXPECT_EQ(ui.questions.size(), 2u);
    // NUL bytes: said on opening, kept on saving.
    ui.files[L"C:\\bin.dat"] = std::string("a\0b\r\n", 5);
    ASSERT_TRUE(OpenFile(L"C:\\bin.dat"));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], L"C:\\bin.dat\n\n" + std::wstring(texts::BinaryWarning));
    ui.text += L"c";
    EXPECT_TRUE(doc.Save(kDir));
    EXPECT_EQ(ui.files[L"C:\\bin.dat"], std::string("a\0b\r\nc\r\n", 8));
    EXPECT_EQ(ui.questions.size(), 2u);
}

TEST_F(FilePolicy, CharactersTheCodePageLacksAreOfferedUtf8) {
    ui.text = L"abc \u0416\u4e2d";
    ui.questionAnswers = {false};
    ui.saveChoices = {L"C:\\cyr.txt", L"C:\\cyr.txt"};
    EXPECT_FALSE(doc.SaveAs(kDir));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], std::wstring(texts::Unstorable) + L"ANSI" + texts::UnstorableEnd);
    EXPECT_EQ(ui.files.count(L"C:\\cyr.txt"), 0u);  // No: nothing written, no error on top
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.SaveAs(kDir));
    EXPECT_EQ(ui.files[L"C:\\cyr.txt"], "abc \xD0\x96\xE4\xB8\xAD\r\n");
    EXPECT_EQ(doc.Format.encoding, docfile::Encoding::Utf8);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ui.questions.size(), 2u);
}

TEST_F(FilePolicy, TextThatWouldReopenAsOtherTextIsOfferedAMark) {
    // As ANSI bytes these read back as UTF-8, as UTF-8 with a mark, as UTF-16.
    const std::wstring texts[] = {L"\u00c3\u00a9t\u00c3\u00a9", L"\u00ef\u00bb\u00bfabc", L"\u00ff\u00feab"};
    const std::string utf8[] = {"\xC3\x83\xC2\xA9t\xC3\x83\xC2\xA9", "\xC3\xAF\xC2\xBB\xC2\xBF" "abc", "\xC3\xBF\xC3\xBE" "ab"};
    for (size_t i = 0; i < std::size(texts); ++i) {
        const std::wstring path = L"C:\\t" + std::to_wstring(i) + L".txt";
        ui.answers.push_back(PromptAnswer::No);
        ASSERT_TRUE(doc.New(kDir));
        ui.questions.clear();
        ui.text = texts[i];
        ui.questionAnswers = {false};
        ui.saveChoices = {path, path};
        EXPECT_FALSE(doc.SaveAs(kDir));  // No: nothing saved
        ASSERT_EQ(ui.questions.size(), 1u) << i;
        EXPECT_EQ(ui.questions[0], std::wstring(texts::ReopensAs) + L"ANSI" + texts::ReopensAsEnd);
        EXPECT_EQ(ui.files.count(path), 0u);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_TRUE(doc.SaveAs(kDir));
        EXPECT_EQ(ui.files[path], "\xEF\xBB\xBF" + utf8[i] + "\r\n") << i;
        ASSERT_TRUE(OpenFile(path));
        EXPECT_EQ(ui.text, texts[i] + L"\r\n") << i;
    }
}

}  // namespace

TEST(RecentFiles, AddedToTheTopAtMostTenAndOddValuesNeverShown) {
    std::vector<std::wstring> list;
    for (int i = 1; i <= 12; ++i) recent::Add(list, L"C:\\f" + std::to_wstring(i) + L".txt");
    ASSERT_EQ(list.size(), recent::kMost);
    EXPECT_EQ(list.front(), L"C:\\f12.txt");
    EXPECT_EQ(list.back(), L"C:\\f3.txt");
    recent::Add(list, L"c:\\F5.TXT");  // listed already, in another case: moved up, not repeated
    EXPECT_EQ(list.front(), L"c:\\F5.TXT");
    EXPECT_EQ(list.size(), recent::kMost);
    const std::wstring tooLong = L"C:\\" + std::wstring(32765, L'a');
    const std::vector<std::wstring> clean = recent::Clean({L"C:\\a.cpp", std::nullopt, L"", L"C:\\x\ny.cpp", tooLong,
                                                          L"C:\\A.CPP", L"D:\\b\\c.h", std::wstring(L"C:\\t\tab")});
    EXPECT_EQ(clean, (std::vector<std::wstring>{L"C:\\a.cpp", L"D:\\b\\c.h"}));
    struct Row {
        size_t index;
        std::wstring path, caption;
    } rows[] = {
        {0, L"C:\\src\\R&D\\a.cpp", L"&1 C:\\src\\R&&D\\a.cpp"},
        {9, L"C:\\a.cpp", L"1&0 C:\\a.cpp"},
        {1, L"C:\\" + std::wstring(70, L'd') + L"\\name.cpp", L"&2 C:\\" + std::wstring(45, L'd') + L"...\\name.cpp"},
        {2, L"C:\\" + std::wstring(70, L'n'), L"&3 C:\\" + std::wstring(14, L'n') + L"..." + std::wstring(40, L'n')},
    };
    for (const Row& r : rows) EXPECT_EQ(recent::Caption(r.index, r.path), r.caption);
}
