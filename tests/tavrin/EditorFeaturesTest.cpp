// The programmer's editor in the main window: colouring, line numbers, the caret's place, Go To,
// Replace and auto-indent.
#include "MainWindowFixture.h"

#include <string>
#include <vector>

#include "Scintilla.h"
#include "SyntaxScheme.h"
#include "TestEnv.h"
#include "frmGoTo.h"
#include "frmReplace.h"

namespace {

using syntax::Role;

class Editor : public testenv::MainWindowTest {
protected:
    void TearDown() override {
        form::Single<frmReplace>().Unload();
        MainWindowTest::TearDown();
    }
    HWND ed() { return f.t1(); }
    LRESULT Sci(UINT m, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(ed(), m, w, l); }
    std::wstring OpenFile(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = dir / name;
        EXPECT_TRUE(testenv::WriteBytes(path, bytes));
        Open(path);
        Sci(SCI_COLOURISE, 0, -1);
        return path;
    }
    // The colour the text shows at the first occurrence of `needle`.
    COLORREF ForeAt(const std::string& needle) {
        const size_t p = editarea::StoredText(ed()).find(needle);
        EXPECT_NE(p, std::string_view::npos) << needle;
        return static_cast<COLORREF>(Sci(SCI_STYLEGETFORE, Sci(SCI_GETSTYLEAT, p)));
    }
    static COLORREF Light(Role r) { return syntax::LookOf(r, false).fore; }
    static COLORREF Uncoloured() { return GetSysColor(COLOR_WINDOWTEXT); }
    bool ViewChecked(int item) { return Checked(frmMain::ViewBase + item); }
};

// Where the default face is not installed, another fixed-pitch face keeps the columns in line.
TEST_F(Editor, SourceTextIsDrawnInAFixedPitchFace) {
    for (int style : {STYLE_DEFAULT, STYLE_LINENUMBER})
        EXPECT_EQ(Sci(SCI_TEXTWIDTH, style, reinterpret_cast<LPARAM>("iiii")),
                  Sci(SCI_TEXTWIDTH, style, reinterpret_cast<LPARAM>("MMMM")))
            << style;
}

TEST_F(Editor, ColoursFollowTheLanguageOfTheFile) {
    struct Row {
        const wchar_t* file;
        const char* needle;
        COLORREF want;
        const char* own = nullptr;  // a text of its own instead of the shared one
    } rows[] = {
        {L"demo.cpp", "int main", Light(Role::Keyword)},
        {L"demo.cpp", "closed ten", Light(Role::Comment)},  // a comment opened ten lines above
        {L"demo.cpp", "total", Light(Role::Plain)},
        {L"page.html", "p class", Light(Role::Tag)},
        {L"page.html", "function", Light(Role::Keyword)},  // the script inside the page
        {L"s.css", "color", Light(Role::Keyword), "p { color: red; }\n"},
        {L"run.vbs", "' a", Light(Role::Comment)},
        {L"notes.txt", "int", Uncoloured()},
    };
    const std::string body = "/* opened\n1\n2\n3\n4\n5\n6\n7\n8\n9\n closed ten */\nint main() {\n"
                             "  const char* s = \"say \\\"int\\\" twice\"; return total;\n}\n"
                             "<p class=\"x\">Hi</p><script>function go() { var n = 'str'; }</script>\n"
                             "Dim total ' a comment\n";
    for (const Row& r : rows) {
        OpenFile(r.file, r.own ? r.own : body);
        EXPECT_EQ(ForeAt(r.needle), r.want) << r.needle;
    }
    // A new document saved without an extension takes the type chosen in Save As.
    modal::Hooks h = modal::TestHooks();
    h.msgBox = [](const modal::MsgBoxCall&) { return IDNO; };
    h.saveFile = [&](OPENFILENAMEW& ofn) {
        testenv::Choose(dir / L"prog")(ofn);
        ofn.nFilterIndex = 1;  // C++ Files
        return TRUE;
    };
    modal::ScopedHooks hooks(h);
    f.mnufile_Click(0);
    Type(L"int x;");
    f.mnufile_Click(4);
    Sci(SCI_COLOURISE, 0, -1);
    EXPECT_EQ(ForeAt("int"), Light(Role::Keyword));
}

// View > Syntax Colouring leaves the text, its undo and its place alone; a colour given to part of
// the text turns colouring off for that document only; a dark background takes the dark variant,
// its caret included.
TEST_F(Editor, ColouringKeepsTheTextAFormatTurnsItOffAndADarkBackgroundTakesTheDarkScheme) {
    std::string big;
    for (int i = 0; i < 300; ++i) big += "int v" + std::to_string(i) + " = " + std::to_string(i) + "; // n\r\n";
    const std::wstring path = OpenFile(L"big.cpp", big);
    Sci(SCI_SETSEL, 2000, 2010);
    Sci(SCI_SETFIRSTVISIBLELINE, 120);
    for (int item : {2, 2, 2}) f.mnuview_Click(item);  // off, on, off
    EXPECT_EQ(ForeAt("int"), Uncoloured());
    f.mnuview_Click(2);
    Sci(SCI_COLOURISE, 0, -1);
    EXPECT_EQ(ForeAt("int"), Light(Role::Keyword));
    EXPECT_EQ(Sci(SCI_GETFIRSTVISIBLELINE), 120);
    EXPECT_EQ(Sci(SCI_GETSELECTIONSTART) * 10000 + Sci(SCI_GETSELECTIONEND), 2000 * 10000 + 2010);
    EXPECT_FALSE(Sci(SCI_CANUNDO));
    EXPECT_FALSE(f.Doc().IsModified());
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), big);

    COLORREF pick = RGB(255, 0, 0);
    modal::ScopedHooks hooks({.chooseColor = [&](CHOOSECOLORW& cc) { return cc.rgbResult = pick, TRUE; }});
    OpenFile(L"a.cpp", "int main(); // c\n");
    Sci(SCI_SETSEL, 4, 8);
    f.mnuformat_Click(1);
    EXPECT_FALSE(ViewChecked(2));
    EXPECT_EQ(ForeAt("int"), Uncoloured());
    COLORREF given = 0;
    ASSERT_TRUE(editarea::SelectionColor(ed(), given));
    EXPECT_EQ(given, RGB(255, 0, 0));
    OpenFile(L"b.cpp", "int b; // c\n");
    EXPECT_TRUE(ViewChecked(2));
    pick = RGB(0, 0, 0);
    f.mnuformat_Click(2);
    EXPECT_EQ(ForeAt("int"), syntax::LookOf(Role::Keyword, true).fore);
    EXPECT_EQ(ForeAt("// c"), syntax::LookOf(Role::Comment, true).fore);
    EXPECT_NE(Sci(SCI_GETCARETFORE), Sci(SCI_STYLEGETBACK, STYLE_DEFAULT));  // the caret stays visible
    f.mnuview_Click(2);  // the View menu's own choice lasts into the next file
    OpenFile(L"c.cpp", "int c;\n");
    EXPECT_FALSE(ViewChecked(2));
    EXPECT_EQ(ForeAt("int"), Uncoloured());
}

TEST_F(Editor, LineNumbersTheCaretsPlaceAndGoTo) {
    const LRESULT small = Sci(SCI_GETMARGINWIDTHN, 0);
    EXPECT_GT(small, 0);
    std::string lines = "ab\r\n\tcd\r\n\xF0\x9F\x98\x80x\r\n";
    for (int i = 0; i < 12000; ++i) lines += "x\r\n";
    OpenFile(L"n.txt", lines);
    EXPECT_GT(Sci(SCI_GETMARGINWIDTHN, 0), small);
    f.mnuview_Click(3);
    EXPECT_EQ(Sci(SCI_GETMARGINWIDTHN, 0), 0);
    // Columns count characters: a tab and a character outside the basic plane are one each.
    for (auto [pos, want] : {std::pair<size_t, const wchar_t*>{2, L"Ln 1, Col 3"}, {6, L"Ln 2, Col 3"}, {11, L"Ln 3, Col 2"}}) {
        editarea::Select(ed(), pos, pos);
        testenv::PumpUntil([] { return false; }, 50);
        EXPECT_EQ(Panel(1), want);
    }
    // Go To starts at the caret's line; Cancel stays (the entries' rules: CaretPlace.GoToTargetsAndTheStatusText).
    struct Row {
        const wchar_t* entry;
        bool ok;
        int64_t wantLine;
    } rows[] = {{L"3", true, 3}, {L"1", false, 3}, {L"2", true, 2}};
    for (const Row& r : rows) {
        const int64_t before = Caret().first;
        int64_t shown = 0;
        modal::ScopedHooks hooks({.modalForm = [&](form::Form& form) {
            auto& dialog = dynamic_cast<frmGoTo&>(form);
            shown = std::stoll(dialog.Text(frmGoTo::IdLine));
            dialog.SetText(frmGoTo::IdLine, r.entry);
            r.ok ? dialog.cmdOK_Click() : dialog.cmdCancel_Click();
        }});
        f.mnuedit_Click(11);
        EXPECT_EQ(shown, before);
        EXPECT_EQ(Caret(), std::make_pair(r.wantLine, int64_t{1})) << r.entry;
    }
}

// What matches is the search's own (native Replace and SearchPattern tables); here the window's part.
TEST_F(Editor, ReplaceAllIsOneUndoStepAndKeepsToASelectionOfSeveralLines) {
    frmReplace& d = form::Single<frmReplace>();
    modal::ScopedHooks hooks(Recording());
    struct Row {
        const wchar_t *text, *what, *with;
        size_t selFrom, selTo;
        const wchar_t *want, *said;
        bool regex = false;
    } rows[] = {
        {L"aaaa abab", L"aa", L"b", 0, 0, L"bb abab", L"2 replacements."},
        {L"x x\r\nx\r\nx\r\nx", L"x", L"yy", 2, 11, L"x yy\r\nyy\r\nyy\r\nx", L"3 replacements."},
        {L"x x\r\nx", L"x", L"z", 0, 1, L"z z\r\nz", L"3 replacements."},  // within one line: all
        {L"a=1\r\nb=2\nc=3", L"^(\\w)=(\\d)$", L"$2=\\1", 0, 0, L"1=a\r\n2=b\n3=c", L"3 replacements.", true},
    };
    for (const Row& r : rows) {
        f.SetEditorText(r.text);
        editarea::Select(ed(), r.selFrom, r.selTo);
        f.mnuedit_Click(10);
        d.SetText(frmReplace::IdFind, r.what);
        d.SetText(frmReplace::IdWith, r.with);
        SendMessageW(d.Item(frmReplace::IdRegex), BM_SETCHECK, r.regex ? BST_CHECKED : BST_UNCHECKED, 0);
        boxes.clear();
        d.cmdReplaceAll_Click();
        EXPECT_EQ(f.Text(), r.want) << r.text;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, r.said);
        f.mnuedit_Click(0);  // one Undo takes it all back
        EXPECT_EQ(f.Text(), r.text);
    }
    // A pattern that is not valid says why on the status line and changes nothing.
    d.SetText(frmReplace::IdFind, L"(a");
    boxes.clear();
    d.cmdReplaceAll_Click();
    EXPECT_EQ(d.StatusText().rfind(L"The pattern is not valid: ", 0), 0u) << d.StatusText();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Editor, FoldingAFunctionAndGoingIntoItUnfoldsIt) {
    OpenFile(L"fold.cpp", "int f() {\r\n    int a = 1;\r\n    return a;\r\n}\r\nint g;\r\n");
    EXPECT_TRUE(ViewChecked(5));
    const LRESULT margin = Sci(SCI_GETMARGINWIDTHN, 2);
    ASSERT_GT(margin, 0);
    // A click in the fold margin on the function's first line folds it.
    const LPARAM at = MAKELPARAM(Sci(SCI_GETMARGINWIDTHN, 0) + Sci(SCI_GETMARGINWIDTHN, 1) + margin / 2,
                                 Sci(SCI_TEXTHEIGHT, 0) / 2);
    Sci(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Sci(WM_LBUTTONUP, 0, at);
    EXPECT_FALSE(Sci(SCI_GETLINEVISIBLE, 2));
    EXPECT_EQ(f.Text().find(L"return a;"), 31u);  // display only
    EXPECT_FALSE(editarea::Modified(ed()));
    modal::ScopedHooks hooks({.modalForm = [&](form::Form& form) {
        auto& dialog = dynamic_cast<frmGoTo&>(form);
        dialog.SetText(frmGoTo::IdLine, L"3");
        dialog.cmdOK_Click();
    }});
    f.mnuedit_Click(11);
    EXPECT_TRUE(Sci(SCI_GETLINEVISIBLE, 2));
    // Find lands inside it again after folding; View > Folding off shows everything, no margin.
    Sci(SCI_FOLDLINE, 0, SC_FOLDACTION_CONTRACT);
    editarea::Select(ed(), 31, 40);
    EXPECT_TRUE(Sci(SCI_GETLINEVISIBLE, 2));
    Sci(SCI_FOLDLINE, 0, SC_FOLDACTION_CONTRACT);
    f.mnuview_Click(5);
    EXPECT_FALSE(ViewChecked(5));
    EXPECT_TRUE(Sci(SCI_GETLINEVISIBLE, 2));
    EXPECT_EQ(Sci(SCI_GETMARGINWIDTHN, 2), 0);
}

TEST_F(Editor, NewLinesTakeThePreviousIndent) {
    for (const std::wstring indent : {L"    ", L"\t \t", L""}) {
        f.SetEditorText(indent + L"if (x) {");
        Sci(SCI_DOCUMENTEND);
        Sci(SCI_NEWLINE);
        Sci(SCI_REPLACESEL, 0, reinterpret_cast<LPARAM>("y;"));
        EXPECT_EQ(f.Text(), indent + L"if (x) {\r\n" + indent + L"y;");
    }
}

}  // namespace
