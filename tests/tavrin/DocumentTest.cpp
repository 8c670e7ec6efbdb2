// The document's commands against a scripted window and files: prompts, dialogs, failed reads and
// writes; and the file policy's questions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <deque>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "Document.h"
#include "Paths.h"
#include "basTavrin.h"
#include "RecentFiles.h"
#include "TextConv.h"
#include "Texts.h"

using namespace std::string_literals;

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
    std::deque<bool> questionAnswers;
    std::deque<PromptAnswer> answers;
    std::deque<std::wstring> openChoices, saveChoices;  // an empty entry is a cancelled dialog
    std::vector<std::wstring> errors;
    std::optional<docfile::FileFormat> saveFormat;  // the encoding chosen in Save As
    std::wstring caption = texts::UntitledCaption, lastFolder;
    bool writesFail = false;
    std::wstring written, lastWritten;  // each file written, in order; the last

    size_t cut = std::string::npos;  // where the control's gap splits the text (inside a character too)
    size_t partWrites = 0;             // files written as the text's own bytes, without an encoded copy
    HeldText EditorText() override {
        const std::string_view all = bytes = WideToUtf8(text);
        const size_t at = std::min(cut == std::string::npos ? all.size() / 2 : cut, all.size());
        return {all.substr(0, at), all.substr(at)};
    }
    void ClearEditor() override { text.clear(); }
    bool ShowText(std::string_view t, docfile::LineEnd, std::wstring&) override { return text = Utf8ToWide(t), true; }
    bool Size(const std::wstring& path, unsigned long long& size, unsigned long& error) override {
        return files.count(path) ? (size = files[path].size(), true) : (error = 2, false);
    }
    bool Read(const std::wstring& path, std::string& b, unsigned long& error) override {
        return files.count(path) ? (b = files[path], true) : (error = 2, false);
    }
    bool Write(const std::wstring& path, std::string_view b, unsigned long& error) override {
        if (writesFail) return error = 5, false;
        return files[path] = std::string(b), ++stamps[path], written += path + L" ", lastWritten = path, true;
    }
    bool WriteParts(const std::wstring& path, const std::vector<std::string_view>& parts, unsigned long& error,
                    const std::function<bool(bool)>& verdict) override {
        ++partWrites;
        return Files::WriteParts(path, parts, error, verdict);
    }
    std::wstring Reason(unsigned long error) override { return error == 2 ? L"missing" : L"Access denied."; }
    unsigned long long MaxLoadBytes() override { return maxBytes; }
    filewatch::Identity Identity(const std::wstring& path) override {
        return files.count(path) ? filewatch::Identity{true, 1, path.size(), files[path].size(), stamps[path]} : filewatch::Identity{};
    }
    bool Answer(const std::wstring& q) {
        questions.push_back(q);
        if (questionAnswers.empty()) return ADD_FAILURE() << "a question nothing was scripted for", false;
        const bool a = questionAnswers.front();
        questionAnswers.pop_front();
        return a;
    }
    bool OpenLargeFile(const std::wstring& q) override { return Answer(q); }
    bool SaveAsUtf8(const std::wstring& q) override { return Answer(q); }
    bool SaveWithMark(const std::wstring& q) override { return Answer(q); }
    bool SaveWithChanges(const std::wstring& q) override { return Answer(q); }
    bool ReloadChanged(const std::wstring& q) override { return Answer(q); }
    bool SaveOverChange(const std::wstring& q) override { return Answer(q); }
    // A question or dialog nothing was scripted for is a failure.
    PromptAnswer AskSaveChanges() override {
        if (answers.empty()) return ADD_FAILURE() << "a prompt nothing was scripted for", PromptAnswer::Cancel;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    // "<nothing>": a dialog that says OK and gives no name.
    bool Choose(std::deque<std::wstring>& q, const std::wstring& folder, std::wstring& path, std::wstring& title) {
        lastFolder = folder;
        if (q.empty()) return ADD_FAILURE() << "a dialog nothing was scripted for", false;
        const std::wstring c = q.front();
        q.pop_front();
        if (c.empty() || c == L"<nothing>") return !c.empty();
        path = c;
        title = paths::Name(c);
        return true;
    }
    bool ChooseOpenPath(const std::wstring& f, std::wstring& p, std::wstring& t) override { return Choose(openChoices, f, p, t); }
    bool ChooseSavePath(const std::wstring& f, std::wstring& p, std::wstring& t, docfile::FileFormat& format) override {
        if (saveFormat) format = *saveFormat;
        return Choose(saveChoices, f, p, t);
    }
    void ShowError(const std::wstring& m) override { errors.push_back(m); }
    void SetCaption(const std::wstring& c) override { caption = c; }
};

const std::wstring kDir = L"C:\\Code";

// A document with its scripted window, files and settings.
struct Desk {
    FakeUi ui;
    settings::Values values;
    Document doc{ui, ui, ui, values};

    // Opened from C:\a.cpp holding `bytes`, then edited.
    void OpenEdited(const std::string& bytes = "saved") {
        ui.files[L"C:\\a.cpp"] = bytes;
        ui.openChoices.push_back(L"C:\\a.cpp");
        ASSERT_TRUE(doc.Open(kDir));
        ui.text = L"edited";
    }
};

class DocumentTest : public ::testing::Test, public Desk {};

TEST_F(DocumentTest, StartsUntitledAndOpenSetsPathTitleCaptionAndSnapshot) {
    EXPECT_EQ(doc.WindowCaption, L"Untitled - Tavrin");
    EXPECT_TRUE(doc.New(kDir));  // an empty area asks nothing
    EXPECT_TRUE(doc.QueryClose(kDir));
    ui.text = L"hi";
    ui.saveChoices.push_back(L"C:\\x.cpp");
    ui.saveFormat = docfile::FileFormat{docfile::Encoding::Utf16Le, true};
    EXPECT_TRUE(doc.Save(kDir));  // untitled: the Save dialog, in the folder given, with the encoding chosen
    EXPECT_EQ(ui.files[L"C:\\x.cpp"], std::string("\xFF\xFEh\0i\0\r\0\n\0", 10));
    EXPECT_EQ(ui.lastFolder + L"|" + ui.caption, kDir + L"|x.cpp - Tavrin");
    ui.files[L"C:\\src\\x.cpp"] = "int x;";
    ui.openChoices.push_back(L"C:\\src\\x.cpp");
    ui.lastFolder.clear();
    EXPECT_TRUE(doc.Open(kDir));
    EXPECT_EQ(ui.lastFolder + L"|" + ui.text + L"|" + doc.DocumentPath + L"|" + doc.DocumentTitle + L"|" + ui.caption,
              kDir + L"|int x;|C:\\src\\x.cpp|x.cpp|x.cpp - Tavrin");
    EXPECT_FALSE(doc.IsModified());
    // A text of the same length is a change; typing it back is not.
    ui.text = L"int y;";
    EXPECT_TRUE(doc.IsModified());
    ui.text = L"int x;";
    EXPECT_FALSE(doc.IsModified());
    // Exit's No holds until the window is loaded again: then it starts untitled and closing asks again.
    ui.answers = {PromptAnswer::No, PromptAnswer::Cancel};
    ui.text = L"int z;";
    EXPECT_TRUE(doc.ConfirmExit(kDir) && doc.QueryClose(kDir));
    doc.Reset();
    EXPECT_EQ(doc.DocumentPath + doc.WindowCaption, L"Untitled - Tavrin");
    EXPECT_FALSE(doc.QueryClose(kDir));
}

// The text in the two runs the control's gap leaves, cut anywhere: a UTF-8 file gets the text's own
// bytes, the same as from one run; a cut inside a character is no reason to encode a copy.
TEST_F(DocumentTest, TextCutAnywhereByTheGapIsSavedAsItsOwnBytes) {
    const std::string file = "\xEF\xBB\xBF" "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80" "b\r\n";
    OpenEdited(file);
    ui.text = Utf8ToWide(file.substr(3));
    const size_t length = file.size() - 3;
    for (ui.cut = 0; ui.cut <= length; ++ui.cut) {
        ASSERT_TRUE(doc.Save(kDir));
        EXPECT_EQ(ui.files[L"C:\\a.cpp"], file) << ui.cut;
    }
    EXPECT_EQ(ui.partWrites, length + 1);
}

// A big text goes out as its own bytes only where they read back; a code page's character encoded.
TEST_F(DocumentTest, ABigTextIsWrittenAsItsOwnBytesOnlyWhereTheyReadBack) {
    const std::string big((4u << 20) + 1000, 'a'), u8 = "caf\xC3\xA9\r\n", cp = "caf\xE9\r\n";
    const std::string rows[][3] = {{cp, big + u8, big + cp}, {cp, u8 + big, cp + big + "\r\n"}, {u8, big + u8, big + u8}};
    for (const auto& [opened, text, saved] : rows) {
        OpenEdited(opened);
        ui.text = Utf8ToWide(text);
        ASSERT_TRUE(doc.Save(kDir));
        EXPECT_TRUE(ui.files[L"C:\\a.cpp"] == saved) << opened;
    }
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
        {read, read, read, false, Verdict::Same}, {read, written, read, false, Verdict::AskReload},
        {read, written, read, true, Verdict::AskReloadLosingChanges},
        {read, otherVolume, read, true, Verdict::AskReloadLosingChanges},
        {read, replaced, read, false, Verdict::AskReload},     // same size and time, another file
        {read, written, written, false, Verdict::Same},        // already asked about this change
        {read, replaced, written, false, Verdict::AskReload},  // changed again after the answer
        {read, gone, read, true, Verdict::Gone},
        {read, gone, gone, false, Verdict::Same},              // told once
        {gone, written, gone, false, Verdict::Same},           // never read from disk
    };
    for (const Row& r : rows) {
        int asked = 0;  // only where it decides: it may compare the whole text
        EXPECT_EQ(filewatch::Decide(r.known, r.now, r.asked, [&] { return ++asked, r.modified; }), r.want);
        EXPECT_EQ(asked, r.want == Verdict::AskReload || r.want == Verdict::AskReloadLosingChanges);
    }
    // Save writes a deleted file again, and asks over another program's change.
    EXPECT_EQ(std::tuple(filewatch::SaveAsks(read, gone), filewatch::SaveAsks(gone, written), filewatch::SaveAsks(read, replaced)),
              std::tuple(false, false, true));
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
    const textdigest::TextDigest p("saved");
    EXPECT_TRUE(p.Matches("saved") && !p.Matches("Saved") && !p.Matches("saved\r\n") && textdigest::TextDigest().Matches(""));
    // Made piece by piece, the hash is the whole text's.
    for (size_t cut : {0u, 1u, 31u, 32u, 33u, 999u}) {
        textdigest::TextHash pieces;
        pieces.Add(std::string_view(million).substr(0, cut));
        pieces.Add(std::string_view(million).substr(cut));
        textdigest::TextDigest d;
        d.Mark(pieces);
        EXPECT_TRUE(d.Matches(million) && !d.Matches(std::string(999999, 'a') + "b")) << cut;
    }
    // Made on another thread (a text past 4 MB, in the gap's two runs), it is the same.
    const std::string big(5u << 20, 'b');
    textdigest::TextDigest d;
    d.Mark(textdigest::HashBeside({std::string_view(big).substr(0, 7), std::string_view(big).substr(7)}).Take());
    EXPECT_TRUE(d.Matches(big) && !d.Matches(big.substr(1) + "a"));
}

// The File commands on a document opened from C:\a.cpp ("saved" unless the row says), each way
// they go on or stop, and what the file policy asks and writes on the way.
TEST(DocumentCommands, EachAnswerAndDialogOutcome) {
    const std::wstring unstorable = texts::Unstorable + std::wstring(L"ANSI") + texts::UnstorableEnd,
                       reopens = texts::ReopensAs + std::wstring(L"ANSI") + texts::ReopensAsEnd,
                       modified = texts::ChangedOutsideModified, unmodified = texts::ChangedOutside,
                       changes = texts::WillChange + std::wstring(L"\n\n") + texts::ChangeOtherBytes + L"\n\n" + texts::SaveAnyway;
    struct Row {
        const char* steps;    // o Open, n New, s Save, a Save As, c close, x Exit, d drop C:\d.txt, e drop "",
                              // r reopen as UTF-8, t another program writes C:\a.cpp, g deletes it, k and K disk
                              // checks by an inactive and an active window
        const char* answers;  // in order: to the save prompt Y, N, C; to the file policy's questions y, n
        std::vector<std::wstring> opens, saves;  // names the dialogs give: "" cancels, "<nothing>" gives none
        std::wstring text;    // in the area before the steps (@ is a NUL)
        bool writesFail;
        const char* results;  // each step's: 1 went through; a disk check's None, Reloaded, Kept, Gone, Waiting
        std::wstring after;   // text|path|modified|files written|errors|flags
        std::string file = "saved", bytes = "";  // C:\a.cpp's bytes; the last file written's
        std::wstring asked = L"";                // the file policy's first question
    } rows[] = {
        {"o", "C", {}, {}, L"edited", false, "0", L"edited|C:\\a.cpp|modified|||cancelled"},  // no dialog
        {"o", "N", {L""}, {}, L"edited", false, "0", L"edited|C:\\a.cpp|modified|||"},
        {"o", "N", {L"<nothing>"}, {}, L"edited", false, "0", L"edited|C:\\a.cpp|modified|||"},
        {"o", "N", {L"C:\\missing.cpp"}, {}, L"edited", false, "0", L"edited|C:\\a.cpp|modified||open C:\\missing.cpp: missing|"},
        {"o", "Y", {}, {L""}, L"edited", false, "0", L"edited|C:\\a.cpp|modified|||cancelled"},
        // Yes: Save As even with a path.
        {"o", "Y", {L"C:\\d.txt"}, {L"C:\\kept.cpp"}, L"edited", false, "1", L"dropped|C:\\d.txt||C:\\kept.cpp ||"},
        {"o", "N", {L"C:\\d.txt"}, {}, L"edited", false, "1", L"dropped|C:\\d.txt||||"},
        {"n", "C", {}, {}, L"edited", false, "0", L"edited|C:\\a.cpp|modified|||cancelled"},
        {"n", "Y", {}, {L"C:\\ro\\x.cpp"}, L"edited", true, "0",
         L"edited|C:\\a.cpp|modified||save C:\\ro\\x.cpp: Access denied.|cancelled"},
        {"nc", "N", {}, {}, L"saved", false, "11", L"|||||"},  // New asks whenever there is text; then nothing to ask
        {"s", "", {}, {}, L"edited", false, "1", L"edited|C:\\a.cpp||C:\\a.cpp ||", "saved", "edited\r\n"},  // no dialog
        {"s", "", {}, {}, L"edited", true, "0", L"edited|C:\\a.cpp|modified||save C:\\a.cpp: Access denied.|"},
        {"aa", "", {}, {L"", L"<nothing>"}, L"edited", false, "00", L"edited|C:\\a.cpp|modified|||"},
        {"a", "", {}, {L"C:\\other.cpp"}, L"edited", true, "0", L"edited|C:\\a.cpp|modified||save C:\\other.cpp: Access denied.|"},
        {"a", "", {}, {L"D:\\new\\y.h"}, L"edited", false, "1", L"edited|D:\\new\\y.h||D:\\new\\y.h ||"},
        {"cx", "CC", {}, {}, L"edited", false, "00", L"edited|C:\\a.cpp|modified|||cancelled"},
        {"c", "Y", {}, {L"C:\\a.cpp"}, L"edited", false, "1", L"edited|C:\\a.cpp||C:\\a.cpp ||", "saved", "edited\r\n"},
        {"xc", "N", {}, {}, L"edited", false, "11", L"edited|C:\\a.cpp|modified|||exit"},  // Exit's No holds for the close
        {"d", "C", {}, {}, L"edited", false, "0", L"edited|C:\\a.cpp|modified|||cancelled"},
        {"d", "N", {}, {}, L"edited", false, "1", L"dropped|C:\\d.txt||||"},
        {"d", "", {}, {}, L"saved", false, "1", L"dropped|C:\\d.txt||||"},  // unmodified: no question
        {"e", "", {}, {}, L"edited", false, "0", L"edited|C:\\a.cpp|modified|||"},
        // Another program's change waits for a window that may ask; No keeps the text, asked once.
        {"tkKK", "n", {}, {}, L"edited", false, "-WKN", L"edited|C:\\a.cpp|modified|||", "saved", "", L"a.cpp" + modified},
        {"tK", "y", {}, {}, L"saved", false, "-R", L"theirs|C:\\a.cpp||||", "saved", "", L"a.cpp" + unmodified},
        {"gkK", "", {}, {}, L"saved", false, "-GN", L"saved|C:\\a.cpp|modified|||"},  // deleted: only the text is left
        // Lone CRs and mixed line ends held and saved as they are, the final line end added: nothing to ask.
        {"s", "", {}, {}, L"a\rb\r\r\ncd", false, "1", L"a\rb\r\r\ncd|C:\\a.cpp||C:\\a.cpp ||", "a\rb\r\r\nc", "a\rb\r\r\ncd\r"},
        // Bytes that are not text in the file's encoding: asked before saving (No writes nothing), once.
        {"sss", "ny", {}, {}, L"a\uFFFDb\r\n", false, "011", L"a\uFFFDb\r\n|C:\\a.cpp||C:\\a.cpp C:\\a.cpp ||",
         "\xEF\xBB\xBF" "a\xFF" "b\r\n", "\xEF\xBB\xBF" "a\xEF\xBF\xBD" "b\r\n", changes},
        // NUL bytes: said on opening, kept on saving.
        {"s", "", {}, {}, L"a@b\r\nc", false, "1", L"a@b\r\nc|C:\\a.cpp||C:\\a.cpp |C:\\a.cpp: binary|", "a\0b\r\n"s,
         "a\0b\r\nc\r\n"s},
        // Reopened in an encoding that cannot decode it: modified (asked first), the save says what changes.
        {"r", "N", {}, {}, L"caf\u00e9!", false, "1", L"caf\uFFFD|C:\\a.cpp|modified|||", "caf\xE9"},
        {"rs", "Ny", {}, {}, L"caf\u00e9!", false, "11", L"caf\uFFFD|C:\\a.cpp||C:\\a.cpp ||", "caf\xE9", "caf\xEF\xBF\xBD\r\n",
         changes},
        // Text the code page lacks is offered UTF-8; text whose ANSI bytes would read back as other
        // text (the encoding tests have each way), UTF-8 with a mark. No writes nothing; Yes reopens the same.
        {"aao", "ny", {L"C:\\t.txt"}, {L"C:\\t.txt", L"C:\\t.txt"}, L"abc \u0416\u4e2d", false, "011",
         L"abc \u0416\u4e2d\r\n|C:\\t.txt||C:\\t.txt ||", "saved", "abc \xD0\x96\xE4\xB8\xAD\r\n", unstorable},
        {"aao", "ny", {L"C:\\t.txt"}, {L"C:\\t.txt", L"C:\\t.txt"}, L"\u00c3\u00a9t\u00c3\u00a9", false, "011",
         L"\u00c3\u00a9t\u00c3\u00a9\r\n|C:\\t.txt||C:\\t.txt ||", "saved", "\xEF\xBB\xBF\xC3\x83\xC2\xA9t\xC3\x83\xC2\xA9\r\n",
         reopens},
    };
    for (const Row& r : rows) {
        Desk d;
        d.OpenEdited(r.file);
        d.ui.files[L"C:\\d.txt"] = "dropped";
        d.ui.text = r.text;
        std::replace(d.ui.text.begin(), d.ui.text.end(), L'@', L'\0');
        for (const char* a = r.answers; *a; ++a) {
            if (*a == 'y' || *a == 'n') d.ui.questionAnswers.push_back(*a == 'y');
            else d.ui.answers.push_back(*a == 'Y' ? PromptAnswer::Yes : *a == 'N' ? PromptAnswer::No : PromptAnswer::Cancel);
        }
        d.ui.openChoices.assign(r.opens.begin(), r.opens.end());
        d.ui.saveChoices.assign(r.saves.begin(), r.saves.end());
        d.ui.writesFail = r.writesFail;
        std::string results;
        const std::wstring aCpp = L"C:\\a.cpp";
        for (const char* s = r.steps; *s; ++s) {
            Document& doc = d.doc;
            if (*s == 't') d.ui.files[aCpp] = "theirs", ++d.ui.stamps[aCpp];
            if (*s == 'g') d.ui.files.erase(aCpp);
            if (*s == 't' || *s == 'g') results += '-';
            else if (*s == 'k' || *s == 'K') results += "NRKGW"[static_cast<int>(doc.CheckDisk(*s == 'K'))];
            else results += (*s == 'o' ? doc.Open(kDir) : *s == 'n' ? doc.New(kDir) : *s == 's' ? doc.Save(kDir)
                             : *s == 'a' ? doc.SaveAs(kDir) : *s == 'c' ? doc.QueryClose(kDir) : *s == 'x' ? doc.ConfirmExit(kDir)
                             : *s == 'r' ? doc.Reopen(docfile::Encoding::Utf8, kDir) : doc.Drop(*s == 'd' ? L"C:\\d.txt" : L"", kDir))
                                ? '1' : '0';
        }
        std::wstring errors;
        for (std::wstring e : d.ui.errors) {
            for (auto [said, shown] : {std::pair{texts::CannotOpen, L"open "}, {texts::CannotSave, L"save "},
                                       {texts::BinaryWarning, L"binary"}})
                if (const size_t at = e.find(said); at != std::wstring::npos) e.replace(at, std::wcslen(said), shown);
            errors += e.replace(e.find(L"\n\n"), 2, L": ");
        }
        std::wstring text = d.ui.text;
        std::replace(text.begin(), text.end(), L'\0', L'@');
        const std::wstring after = text + L"|" + d.doc.DocumentPath + L"|" + (d.doc.IsModified() ? L"modified" : L"") + L"|" +
                                   d.ui.written + L"|" + errors + L"|" + (d.doc.SaveCancelled ? L"cancelled" : L"") +
                                   (d.doc.ExitConfirmed ? L"exit" : L"");
        const std::string id = std::string(r.steps) + " " + r.answers + " " + r.file;
        EXPECT_EQ(results, r.results) << id;
        EXPECT_EQ(after, r.after) << id;
        EXPECT_EQ(d.ui.caption, Document::CaptionFor(d.doc.DocumentTitle)) << id;
        EXPECT_EQ(d.ui.answers.size() + d.ui.questionAnswers.size() + d.ui.openChoices.size() + d.ui.saveChoices.size(), 0u)
            << id;
        // C:\a.cpp as it was, unless written here or by another program.
        if (d.ui.written.find(aCpp) == std::wstring::npos && !std::strpbrk(r.steps, "tg")) {
            EXPECT_EQ(d.ui.files[aCpp], r.file) << id;
        }
        EXPECT_EQ(r.bytes.empty() ? r.bytes : d.ui.files[d.ui.lastWritten], r.bytes) << id;
        EXPECT_EQ(d.ui.questions.empty() ? L"" : d.ui.questions[0], r.asked) << id;
    }
}

TEST_F(DocumentTest, BigFilesAskFirstAboveTheSettingAndTooBigOnesAreRefused) {
    const auto OpenFile = [&](const std::wstring& path) { return ui.openChoices = {path}, doc.Open(kDir); };
    const std::wstring path = L"C:\\big.cpp";
    ui.files[path] = std::string(3000, 'x') + "\r\n";
    // 3 KB asks first above a setting of 2 (No opens nothing and reports nothing); at 0 or below it, never.
    for (auto [kb, yes, asked] : {std::tuple{2, false, 1u}, {2, true, 2u}, {0, true, 2u}, {4, true, 2u}}) {
        values.largeFileKB = kb;
        ui.questionAnswers = {yes};
        EXPECT_EQ(OpenFile(path), yes) << kb;
        EXPECT_EQ(ui.questions.size() + ui.errors.size(), asked) << kb;
        EXPECT_EQ(ui.caption, yes ? L"big.cpp - Tavrin" : L"Untitled - Tavrin") << kb;
    }
    EXPECT_EQ(ui.questions[0], path + L"\n\n" + texts::LargeFileQuestion + L"3 KB" + texts::LargeFileQuestionEnd);
    EXPECT_EQ(ui.text.size(), 3002u);
    // Above what the editing area can take: refused with both sizes, the text kept.
    ui.maxBytes = 4ull * 1024 * 1024;
    ui.files[L"C:\\huge.log"] = std::string(5 * 1024 * 1024, 'x');
    ui.text = L"kept";
    ui.answers = {PromptAnswer::No};
    EXPECT_FALSE(OpenFile(L"C:\\huge.log"));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].rfind(std::wstring(texts::CannotOpen) + L"C:\\huge.log\n\n" + texts::TooBig + L"5.0 MB", 0), 0u);
    EXPECT_NE(ui.errors[0].find(L"4.0 MB"), std::wstring::npos);
    // The 32-bit build names its own limit and the 64-bit build; the 64-bit build, the memory's.
    EXPECT_EQ(ui.errors[0].find(texts::TooBigEnd64) != std::wstring::npos, sizeof(void*) == 8);
    EXPECT_EQ(ui.text, L"kept");
}

}  // namespace

TEST(RecentFiles, AddedToTheTopAtMostTenAndOddValuesNeverShown) {
    std::vector<std::wstring> list;
    for (int i = 1; i <= 12; ++i) recent::Add(list, L"C:\\f" + std::to_wstring(i) + L".txt");
    ASSERT_EQ(list.size(), recent::kMost);
    EXPECT_EQ(list.front(), L"C:\\f12.txt");
    EXPECT_EQ(list.back(), L"C:\\f3.txt");
    recent::Add(list, L"c:\\F5.TXT");  // listed already, in another case: moved up, not repeated
    EXPECT_EQ(list.front() + L"|" + list[8] + L"|" + std::to_wstring(list.size()), L"c:\\F5.TXT|C:\\f4.txt|10");
    const std::wstring tooLong = L"C:\\" + std::wstring(32765, L'a');
    const std::vector<std::wstring> clean = recent::Clean({L"C:\\a.cpp", std::nullopt, L"", L"C:\\x\ny.cpp", tooLong,
                                                          L"C:\\A.CPP", L"D:\\b\\c.h", std::wstring(L"C:\\t\tab")});
    EXPECT_EQ(clean, (std::vector<std::wstring>{L"C:\\a.cpp", L"D:\\b\\c.h"}));
    const std::tuple<size_t, std::wstring, std::wstring> rows[] = {
        {0, L"C:\\src\\R&D\\a.cpp", L"&1 C:\\src\\R&&D\\a.cpp"},
        {9, L"C:\\a.cpp", L"1&0 C:\\a.cpp"},
        {1, L"C:\\" + std::wstring(70, L'd') + L"\\name.cpp", L"&2 C:\\" + std::wstring(45, L'd') + L"...\\name.cpp"},
        {2, L"C:\\" + std::wstring(70, L'n'), L"&3 C:\\" + std::wstring(14, L'n') + L"..." + std::wstring(40, L'n')},
    };
    for (const auto& [index, path, caption] : rows) EXPECT_EQ(recent::Caption(index, path), caption);
}
