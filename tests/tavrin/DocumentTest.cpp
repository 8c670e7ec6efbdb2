// The document's commands against a scripted window: prompts, dialogs, failed reads and writes.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <vector>

#include "Document.h"
#include "Texts.h"

namespace {

class FakeUi : public DocumentUi {
public:
    std::wstring text;
    std::map<std::wstring, std::wstring> files;  // what is on "disk"
    std::deque<PromptAnswer> answers;
    std::deque<std::wstring> openChoices, saveChoices;  // an empty entry is a cancelled dialog
    std::vector<std::wstring> errors;
    std::wstring caption = texts::UntitledCaption;
    bool writesFail = false;
    int prompts = 0, openDialogs = 0, saveDialogs = 0, writes = 0;
    std::wstring lastFolder;

    std::wstring EditorText() override { return text; }
    void ClearEditor() override { text.clear(); }
    bool LoadFile(const std::wstring& path, std::wstring& reason) override {
        auto it = files.find(path);
        if (it == files.end()) { reason = L"missing"; return false; }
        text = it->second;
        return true;
    }
    bool WriteFile(const std::wstring& path, const std::wstring& t, std::wstring& reason) override {
        ++writes;
        if (writesFail) { reason = L"Access denied."; return false; }
        files[path] = t;
        return true;
    }
    PromptAnswer AskSaveChanges() override {
        ++prompts;
        PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool Choose(std::deque<std::wstring>& q, const std::wstring& folder, std::wstring& path, std::wstring& title) {
        lastFolder = folder;
        std::wstring c = q.front();
        q.pop_front();
        if (c.empty()) return false;
        path = c;
        title = Document::FileTitleOf(c);
        return true;
    }
    bool ChooseOpenPath(const std::wstring& f, std::wstring& p, std::wstring& t) override {
        ++openDialogs;
        return Choose(openChoices, f, p, t);
    }
    bool ChooseSavePath(const std::wstring& f, std::wstring& p, std::wstring& t) override {
        ++saveDialogs;
        return Choose(saveChoices, f, p, t);
    }
    void ShowError(const std::wstring& m) override { errors.push_back(m); }
    void SetCaption(const std::wstring& c) override { caption = c; }
};

const std::wstring kDir = L"C:\\Code";

class DocumentTest : public ::testing::Test {
protected:
    FakeUi ui;
    Document doc{ui};

    // A document opened from C:\a.cpp holding "saved", then edited.
    void OpenEdited() {
        ui.files[L"C:\\a.cpp"] = L"saved";
        ui.openChoices.push_back(L"C:\\a.cpp");
        ASSERT_TRUE(doc.Open(kDir));
        ui.text = L"edited";
    }
};

TEST_F(DocumentTest, StartsUntitledAndNotModified) {
    EXPECT_EQ(doc.WindowCaption, L"Untitled - Tavrin");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.QueryClose(kDir));
    EXPECT_EQ(ui.prompts, 0);
}

TEST_F(DocumentTest, OpenLoadsAndSetsPathTitleCaptionAndSnapshot) {
    ui.files[L"C:\\src\\x.cpp"] = L"int x;";
    ui.openChoices.push_back(L"C:\\src\\x.cpp");
    EXPECT_TRUE(doc.Open(kDir));
    EXPECT_EQ(ui.lastFolder, kDir);
    EXPECT_EQ(ui.text, L"int x;");
    EXPECT_EQ(doc.DocumentPath, L"C:\\src\\x.cpp");
    EXPECT_EQ(doc.DocumentTitle, L"x.cpp");
    EXPECT_EQ(ui.caption, L"x.cpp - Tavrin");
    EXPECT_EQ(doc.WindowCaption, L"x.cpp - Tavrin");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, CancelledOpenChangesNothing) {
    OpenEdited();
    ui.answers.push_back(PromptAnswer::No);
    ui.openChoices.push_back(L"");
    EXPECT_FALSE(doc.Open(kDir));
    EXPECT_EQ(ui.text, L"edited");
    EXPECT_EQ(doc.DocumentPath, L"C:\\a.cpp");
    EXPECT_EQ(ui.caption, L"a.cpp - Tavrin");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, OpenOfUnreadableFileReportsAndKeepsDocument) {
    OpenEdited();
    ui.answers.push_back(PromptAnswer::No);
    ui.openChoices.push_back(L"C:\\missing.cpp");
    EXPECT_FALSE(doc.Open(kDir));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], std::wstring(texts::CannotOpen) + L"C:\\missing.cpp\n\nmissing");
    EXPECT_EQ(doc.DocumentPath, L"C:\\a.cpp");
    EXPECT_EQ(ui.text, L"edited");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, OpenOnModifiedDocumentPrompts) {
    OpenEdited();
    // Cancel: no dialog, nothing changes.
    ui.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(doc.Open(kDir));
    EXPECT_EQ(ui.openDialogs, 1);
    EXPECT_TRUE(doc.SaveCancelled);
    EXPECT_EQ(ui.text, L"edited");
    // No: the other file opens, nothing is written.
    ui.files[L"C:\\b.cpp"] = L"b";
    ui.answers.push_back(PromptAnswer::No);
    ui.openChoices.push_back(L"C:\\b.cpp");
    EXPECT_TRUE(doc.Open(kDir));
    EXPECT_EQ(ui.writes, 0);
    EXPECT_EQ(ui.files[L"C:\\a.cpp"], L"saved");
    EXPECT_EQ(doc.DocumentTitle, L"b.cpp");
}

TEST_F(DocumentTest, PromptYesSavesAsThenGoesOn) {
    OpenEdited();
    ui.answers.push_back(PromptAnswer::Yes);
    ui.saveChoices.push_back(L"C:\\kept.cpp");
    ui.files[L"C:\\b.cpp"] = L"b";
    ui.openChoices.push_back(L"C:\\b.cpp");
    EXPECT_TRUE(doc.Open(kDir));
    EXPECT_EQ(ui.saveDialogs, 1);  // Yes shows the Save dialog even with a path
    EXPECT_EQ(ui.files[L"C:\\kept.cpp"], L"edited");
    EXPECT_EQ(ui.writes, 1);
    EXPECT_FALSE(doc.SaveCancelled);
    EXPECT_EQ(ui.text, L"b");
}

TEST_F(DocumentTest, PromptYesWithCancelledOrFailedSaveStops) {
    OpenEdited();
    ui.answers.push_back(PromptAnswer::Yes);
    ui.saveChoices.push_back(L"");
    EXPECT_FALSE(doc.Open(kDir));
    EXPECT_TRUE(doc.SaveCancelled);
    EXPECT_EQ(ui.openDialogs, 1);

    ui.writesFail = true;
    ui.answers.push_back(PromptAnswer::Yes);
    ui.saveChoices.push_back(L"C:\\ro\\x.cpp");
    EXPECT_FALSE(doc.New(kDir));
    EXPECT_EQ(ui.text, L"edited");
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, NewAsksWheneverThereIsText) {
    OpenEdited();
    ui.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(doc.New(kDir));
    EXPECT_EQ(ui.text, L"edited");
    EXPECT_EQ(doc.DocumentPath, L"C:\\a.cpp");

    ui.text = L"saved";  // unchanged text still asks
    ui.answers.push_back(PromptAnswer::No);
    EXPECT_TRUE(doc.New(kDir));
    EXPECT_EQ(ui.prompts, 2);
    EXPECT_EQ(ui.text, L"");
    EXPECT_EQ(doc.DocumentPath, L"");
    EXPECT_EQ(doc.DocumentTitle, L"");
    EXPECT_EQ(ui.caption, L"Untitled - Tavrin");
    EXPECT_EQ(doc.WindowCaption, L"Untitled - Tavrin");
    // The empty new document is not modified: closing asks nothing.
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.QueryClose(kDir));
    EXPECT_EQ(ui.prompts, 2);
}

TEST_F(DocumentTest, NewOnEmptyAreaAsksNothing) {
    EXPECT_TRUE(doc.New(kDir));
    EXPECT_EQ(ui.prompts, 0);
}

TEST_F(DocumentTest, SaveUntitledShowsSaveDialogAndWritesOnce) {
    ui.text = L"abc";
    ui.saveChoices.push_back(L"C:\\x.cpp");
    EXPECT_TRUE(doc.Save(kDir));
    EXPECT_EQ(ui.lastFolder, kDir);
    EXPECT_EQ(ui.writes, 1);
    EXPECT_EQ(ui.files[L"C:\\x.cpp"], L"abc");
    EXPECT_EQ(ui.caption, L"x.cpp - Tavrin");
    EXPECT_FALSE(doc.IsModified());
    // With a path: no dialog.
    ui.text = L"abcd";
    EXPECT_TRUE(doc.Save(kDir));
    EXPECT_EQ(ui.saveDialogs, 1);
    EXPECT_EQ(ui.files[L"C:\\x.cpp"], L"abcd");
}

TEST_F(DocumentTest, FailedSaveReportsAndKeepsDocumentModified) {
    OpenEdited();
    ui.writesFail = true;
    EXPECT_FALSE(doc.Save(kDir));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], std::wstring(texts::CannotSave) + L"C:\\a.cpp\n\nAccess denied.");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.SavedText, L"saved");
    EXPECT_EQ(doc.DocumentPath, L"C:\\a.cpp");
    EXPECT_EQ(ui.caption, L"a.cpp - Tavrin");

    ui.saveChoices.push_back(L"C:\\other.cpp");
    EXPECT_FALSE(doc.SaveAs(kDir));
    EXPECT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(doc.DocumentPath, L"C:\\a.cpp");
    EXPECT_EQ(doc.DocumentTitle, L"a.cpp");
    EXPECT_EQ(ui.caption, L"a.cpp - Tavrin");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, CancelledSaveAsChangesNothing) {
    OpenEdited();
    ui.saveChoices.push_back(L"");
    EXPECT_FALSE(doc.SaveAs(kDir));
    EXPECT_EQ(ui.writes, 0);
    EXPECT_EQ(doc.DocumentPath, L"C:\\a.cpp");
    EXPECT_EQ(ui.caption, L"a.cpp - Tavrin");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, SaveAsMovesDocumentToNewFile) {
    OpenEdited();
    ui.saveChoices.push_back(L"D:\\new\\y.h");
    EXPECT_TRUE(doc.SaveAs(kDir));
    EXPECT_EQ(doc.DocumentPath, L"D:\\new\\y.h");
    EXPECT_EQ(doc.DocumentTitle, L"y.h");
    EXPECT_EQ(doc.WindowCaption, L"y.h - Tavrin");
    EXPECT_EQ(ui.files[L"C:\\a.cpp"], L"saved");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, CloseAndExit) {
    OpenEdited();
    ui.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(doc.QueryClose(kDir));
    ui.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(doc.ConfirmExit(kDir));
    EXPECT_FALSE(doc.ExitConfirmed);

    ui.answers = {PromptAnswer::No};
    EXPECT_TRUE(doc.ConfirmExit(kDir));
    EXPECT_TRUE(doc.ExitConfirmed);
    // The closing sequence then asks nothing more.
    const int asked = ui.prompts;
    EXPECT_TRUE(doc.QueryClose(kDir));
    EXPECT_EQ(ui.prompts, asked);
    EXPECT_EQ(ui.writes, 0);
}

TEST_F(DocumentTest, CloseWithYesSavesFirst) {
    OpenEdited();
    ui.answers = {PromptAnswer::Yes};
    ui.saveChoices.push_back(L"C:\\a.cpp");
    EXPECT_TRUE(doc.QueryClose(kDir));
    EXPECT_EQ(ui.files[L"C:\\a.cpp"], L"edited");
}

TEST_F(DocumentTest, DropAsksFirstWhenModified) {
    OpenEdited();
    ui.files[L"C:\\dir\\d.txt"] = L"dropped";
    ui.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(doc.Drop(L"C:\\dir\\d.txt", kDir));
    EXPECT_EQ(ui.text, L"edited");

    ui.answers = {PromptAnswer::No};
    EXPECT_TRUE(doc.Drop(L"C:\\dir\\d.txt", kDir));
    EXPECT_EQ(ui.text, L"dropped");
    EXPECT_EQ(doc.DocumentTitle, L"d.txt");
    EXPECT_EQ(doc.WindowCaption, L"d.txt - Tavrin");
    EXPECT_FALSE(doc.IsModified());
    // Unmodified: no question.
    EXPECT_TRUE(doc.Drop(L"C:\\a.cpp", kDir));
    EXPECT_EQ(ui.prompts, 2);
    EXPECT_FALSE(doc.Drop(L"", kDir));
}

TEST(DocumentNames, CaptionAndFileTitle) {
    EXPECT_EQ(Document::CaptionFor(L""), L"Untitled - Tavrin");
    EXPECT_EQ(Document::CaptionFor(L"\u00e9t\u00e9.cpp"), L"\u00e9t\u00e9.cpp - Tavrin");
    EXPECT_EQ(Document::FileTitleOf(L"C:\\a\\b.cpp"), L"b.cpp");
    EXPECT_EQ(Document::FileTitleOf(L"b.cpp"), L"b.cpp");
    EXPECT_EQ(Document::FileTitleOf(L"C:/a/c.h"), L"c.h");
}

}  // namespace
