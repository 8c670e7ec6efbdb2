// The programmer's editor in the main window: colouring, line numbers, the caret's place, Go To,
// Replace, auto-indent and the tab width.
#include "MainWindowFixture.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "Scintilla.h"
#include "SyntaxScheme.h"
#include "TestEnv.h"
#include "Texts.h"
#include "frmGoTo.h"
#include "frmReplace.h"

namespace {

using syntax::Role;

class Editor : public testenv::MainWindowTest {
protected:
    testenv::TempDir dir;

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
    // The colour the text shows at `needle` (its first occurrence) plus `offset` bytes.
    COLORREF ForeAt(const std::string& needle, size_t offset = 0) {
        const std::string_view text = editarea::StoredText(ed());
        const size_t p = text.find(needle);
        EXPECT_NE(p, std::string_view::npos) << needle;
        return static_cast<COLORREF>(Sci(SCI_STYLEGETFORE, Sci(SCI_GETSTYLEAT, p + offset)));
    }
    static COLORREF Light(Role r) { return syntax::LookOf(r, false).fore; }
    bool ViewChecked(int item) {
        return (GetMenuState(GetMenu(f.Hwnd()), frmMain::ViewBase + item, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    std::wstring Panel(int i) {
        wchar_t buf[256] = {};
        SendMessageW(f.sbStatusBar(), SB_GETTEXTW, i, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
};

const char kCpp[] =
    "#include <vector>\n"
    "/* opened here\n1\n2\n3\n4\n5\n6\n7\n8\n9\n closed ten lines later */\n"
    "int main() {\n"
    "    const char* s = \"say \\\"int\\\" twice\";\n"
    "    return total + 42;\n"
    "}\n";

TEST_F(Editor, ColoursFollowTheLanguageOfTheFile) {
    OpenFile(L"demo.cpp", kCpp);
    EXPECT_TRUE(ViewChecked(2));
    const COLORREF plain = Light(Role::Plain);
    struct Row {
        const char* needle;
        size_t offset;
        COLORREF want;
    } rows[] = {
        {"int main", 0, Light(Role::Keyword)},     {"#include", 0, Light(Role::Preprocessor)},
        {"opened", 0, Light(Role::Comment)},       {"closed ten", 0, Light(Role::Comment)},
        {"\"say", 0, Light(Role::String)},         {"int\\\" twice", 0, Light(Role::String)},  // a keyword in a string
        {"twice", 0, Light(Role::String)},         // after the escaped quotes
        {"42", 0, Light(Role::Number)},            {"total", 0, plain},
    };
    for (const Row& r : rows) EXPECT_EQ(ForeAt(r.needle, r.offset), r.want) << r.needle;

    OpenFile(L"page.html",
             "<html><!-- note --><p class=\"x\">Hi &amp; bye</p>\n"
             "<script>\nfunction go() { var n = 'str'; }\n</script></html>\n");
    const Row html[] = {
        {"<p", 1, Light(Role::Tag)},        {"class", 0, Light(Role::Attribute)}, {"note", 0, Light(Role::Comment)},
        {"&amp;", 0, Light(Role::Entity)},  {"function", 0, Light(Role::Keyword)}, {"var", 0, Light(Role::Keyword)},
        {"'str'", 0, Light(Role::String)},  {"Hi", 0, plain},
    };
    for (const Row& r : html) EXPECT_EQ(ForeAt(r.needle, r.offset), r.want) << r.needle;

    OpenFile(L"s.css", "p { color: red; } /* c */\n");
    EXPECT_EQ(ForeAt("color"), Light(Role::Keyword));
    EXPECT_EQ(ForeAt("/* c"), Light(Role::Comment));
    OpenFile(L"run.vbs", "Dim total ' a comment\r\nMsgBox \"Sum\"\r\n");
    EXPECT_EQ(ForeAt("Dim"), Light(Role::Keyword));
    EXPECT_EQ(ForeAt("' a"), Light(Role::Comment));
    EXPECT_EQ(ForeAt("\"Sum"), Light(Role::String));
    OpenFile(L"notes.txt", "int x; // not code\n");
    EXPECT_EQ(ForeAt("int"), static_cast<COLORREF>(GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(ForeAt("//"), static_cast<COLORREF>(GetSysColor(COLOR_WINDOWTEXT)));

    // A new document saved without an extension takes the type chosen in Save As.
    modal::Hooks h = modal::TestHooks();
    h.msgBox = [](const modal::MsgBoxCall&) { return IDNO; };  // New asks whenever there is text
    {
        modal::ScopedHooks hooks(h);
        f.mnufile_Click(0);
    }
    Type(L"int x;");
    h.saveFile = [&](OPENFILENAMEW& ofn) {
        testenv::Choose(dir / L"prog")(ofn);
        ofn.nFilterIndex = 1;  // C++ Files
        return TRUE;
    };
    {
        modal::ScopedHooks hooks(h);
        f.mnufile_Click(4);
    }
    Sci(SCI_COLOURISE, 0, -1);
    EXPECT_EQ(ForeAt("int"), Light(Role::Keyword));
}

TEST_F(Editor, ColouringLeavesTheTextItsUndoAndItsPlaceAlone) {
    std::string big;
    for (int i = 0; i < 300; ++i) big += "int v" + std::to_string(i) + " = " + std::to_string(i) + "; // n\r\n";
    const std::wstring path = OpenFile(L"big.cpp", big);
    Sci(SCI_SETSEL, 2000, 2010);
    Sci(SCI_SETFIRSTVISIBLELINE, 120);
    for (int item : {2, 2, 2}) f.mnuview_Click(item);  // off, on, off
    EXPECT_FALSE(ViewChecked(2));
    EXPECT_EQ(ForeAt("int"), static_cast<COLORREF>(GetSysColor(COLOR_WINDOWTEXT)));
    f.mnuview_Click(2);
    Sci(SCI_COLOURISE, 0, -1);
    EXPECT_EQ(ForeAt("int"), Light(Role::Keyword));
    EXPECT_EQ(Sci(SCI_GETFIRSTVISIBLELINE), 120);
    EXPECT_EQ(Sci(SCI_GETSELECTIONSTART), 2000);
    EXPECT_EQ(Sci(SCI_GETSELECTIONEND), 2010);
    EXPECT_FALSE(Sci(SCI_GETMODIFY));
    EXPECT_FALSE(Sci(SCI_CANUNDO));
    EXPECT_FALSE(f.Doc().IsModified());
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), big);
}

BOOL PickRed(CHOOSECOLORW& cc) {
    cc.rgbResult = RGB(255, 0, 0);
    return TRUE;
}

TEST_F(Editor, AFormatTurnsColouringOffForThatDocument) {
    OpenFile(L"a.cpp", "int main();\n");
    Sci(SCI_SETSEL, 4, 8);
    {
        modal::ScopedHooks hooks({.chooseColor = PickRed});
        f.mnuformat_Click(1);
    }
    EXPECT_FALSE(ViewChecked(2));
    EXPECT_EQ(editarea::Language(ed()), syntax::Language::None);
    COLORREF c = 0;
    ASSERT_TRUE(editarea::SelectionColor(ed(), c));
    EXPECT_EQ(c, RGB(255, 0, 0));
    EXPECT_EQ(ForeAt("int"), static_cast<COLORREF>(GetSysColor(COLOR_WINDOWTEXT)));
    // The next file is coloured again; the View menu's own choice lasts.
    OpenFile(L"b.cpp", "int b;\n");
    EXPECT_TRUE(ViewChecked(2));
    EXPECT_EQ(ForeAt("int"), Light(Role::Keyword));
    f.mnuview_Click(2);
    OpenFile(L"c.cpp", "int c;\n");
    EXPECT_FALSE(ViewChecked(2));
    EXPECT_EQ(ForeAt("int"), static_cast<COLORREF>(GetSysColor(COLOR_WINDOWTEXT)));
}

BOOL PickBlack(CHOOSECOLORW& cc) {
    cc.rgbResult = RGB(0, 0, 0);
    return TRUE;
}

TEST_F(Editor, ADarkBackgroundTakesTheDarkScheme) {
    OpenFile(L"d.cpp", "int d; // c\n");
    modal::ScopedHooks hooks({.chooseColor = PickBlack});
    f.mnuformat_Click(2);
    EXPECT_TRUE(ViewChecked(2));
    EXPECT_EQ(Sci(SCI_STYLEGETBACK, STYLE_DEFAULT), RGB(0, 0, 0));
    EXPECT_EQ(ForeAt("int"), syntax::LookOf(Role::Keyword, true).fore);
    EXPECT_EQ(ForeAt("d;"), syntax::LookOf(Role::Plain, true).fore);
    EXPECT_EQ(ForeAt("// c"), syntax::LookOf(Role::Comment, true).fore);
}

TEST_F(Editor, LineNumberMarginGrowsWithTheTextAndFollowsTheViewMenu) {
    EXPECT_TRUE(ViewChecked(3));
    const LRESULT small = Sci(SCI_GETMARGINWIDTHN, 0);
    EXPECT_GT(small, 0);
    std::string lines;
    for (int i = 0; i < 12000; ++i) lines += "x\n";
    OpenFile(L"n.txt", lines);
    EXPECT_GT(Sci(SCI_GETMARGINWIDTHN, 0), small);
    f.mnuview_Click(3);
    EXPECT_FALSE(ViewChecked(3));
    EXPECT_EQ(Sci(SCI_GETMARGINWIDTHN, 0), 0);
    f.mnuview_Click(3);
    EXPECT_GT(Sci(SCI_GETMARGINWIDTHN, 0), small);
}

TEST_F(Editor, StatusPanelFollowsTheCaret) {
    f.SetEditorText(L"ab\r\n\tcd\r\n\U0001F600x");
    struct Row {
        size_t pos;
        const wchar_t* want;
    } rows[] = {{0, L"Ln 1, Col 1"}, {2, L"Ln 1, Col 3"}, {6, L"Ln 2, Col 3"}, {11, L"Ln 3, Col 2"}, {12, L"Ln 3, Col 3"}};
    for (const Row& r : rows) {
        editarea::Select(ed(), r.pos, r.pos);
        testenv::PumpUntil([] { return false; }, 50);
        EXPECT_EQ(Panel(1), r.want) << r.pos;
    }
    Type(L"\r\nyz");
    testenv::PumpUntil([] { return false; }, 50);
    EXPECT_EQ(Panel(1), L"Ln 4, Col 3");
}

TEST_F(Editor, GoToMovesToTheLineAskedFor) {
    f.SetEditorText(L"one\r\ntwo\r\nthree\r\nfour\r\nfive");
    struct Row {
        const wchar_t* entry;
        bool ok;
        int64_t wantLine;  // 1-based, after
    } rows[] = {{L"3", true, 3}, {L"99", true, 5}, {L"", true, 5}, {L"0", true, 5}, {L"1", false, 5}, {L"2", true, 2}};
    int64_t shown = 0;
    for (const Row& r : rows) {
        int64_t before = 0, col = 0;
        editarea::CaretLineColumn(ed(), before, col);
        modal::Hooks h;
        h.modalForm = [&](form::Form& form) {
            auto& dialog = dynamic_cast<frmGoTo&>(form);
            shown = std::stoll(dialog.Text(frmGoTo::IdLine));
            dialog.SetText(frmGoTo::IdLine, r.entry);
            if (r.ok) dialog.cmdOK_Click();
            else dialog.cmdCancel_Click();
        };
        {
            modal::ScopedHooks hooks(h);
            f.mnuedit_Click(11);
        }
        EXPECT_EQ(shown, before);  // the dialog starts at the caret's line
        int64_t line = 0;
        editarea::CaretLineColumn(ed(), line, col);
        EXPECT_EQ(line, r.wantLine) << r.entry;
        EXPECT_EQ(col, 1);
    }
}

class ReplaceDialog : public Editor {
protected:
    frmReplace& d = form::Single<frmReplace>();
    std::vector<std::wstring> said;
    void Show(const wchar_t* what, const wchar_t* with, bool matchCase = false, bool wholeWord = false) {
        f.mnuedit_Click(10);
        ASSERT_TRUE(d.IsLoaded());
        d.SetText(frmReplace::IdFind, what);
        d.SetText(frmReplace::IdWith, with);
        SendMessageW(d.Item(frmReplace::IdMatchCase), BM_SETCHECK, matchCase ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageW(d.Item(frmReplace::IdWholeWord), BM_SETCHECK, wholeWord ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    modal::Hooks Answering() {
        modal::Hooks h;
        h.msgBox = [this](const modal::MsgBoxCall& c) {
            said.push_back(c.text);
            return IDOK;
        };
        return h;
    }
};

TEST_F(ReplaceDialog, ReplaceAllIsOneUndoStep) {
    struct Row {
        const wchar_t* text;
        const wchar_t *what, *with;
        bool matchCase, wholeWord;
        const wchar_t* want;
        const wchar_t* said;
    } rows[] = {
        {L"aaaa abab", L"aa", L"b", true, false, L"bb abab", L"2 replacements."},
        {L"abab", L"ab", L"xyz", true, false, L"xyzxyz", L"2 replacements."},
        {L"Int int INT print", L"int", L"long", false, true, L"long long long print", L"3 replacements."},
        {L"Int int INT print", L"int", L"long", true, false, L"Int long INT prlong", L"2 replacements."},
        {L"\u00e9t\u00e9 \u00c9T\u00c9", L"\u00e9t\u00e9", L"\u00e9", false, false, L"\u00e9 \u00e9", L"2 replacements."},
        {L"none here", L"zz", L"y", false, false, L"none here", L"0 replacements."},
    };
    modal::ScopedHooks hooks(Answering());
    for (const Row& r : rows) {
        f.SetEditorText(r.text);
        Show(r.what, r.with, r.matchCase, r.wholeWord);
        said.clear();
        d.cmdReplaceAll_Click();
        EXPECT_EQ(f.Text(), r.want) << r.text;
        ASSERT_EQ(said.size(), 1u);
        EXPECT_EQ(said[0], r.said);
        f.mnuedit_Click(0);  // one Undo takes it all back
        EXPECT_EQ(f.Text(), r.text);
    }
}

TEST_F(ReplaceDialog, ReplaceAllKeepsToASelectionOfSeveralLines) {
    modal::ScopedHooks hooks(Answering());
    f.SetEditorText(L"x x\r\nx\r\nx\r\nx");
    editarea::Select(ed(), 2, 11);  // from the second x of line 1 into line 4
    Show(L"x", L"yy");
    d.cmdReplaceAll_Click();
    EXPECT_EQ(f.Text(), L"x yy\r\nyy\r\nyy\r\nx");
    size_t s = 0, e = 0;
    editarea::GetSelection(ed(), s, e);
    EXPECT_EQ(s, 2u);
    EXPECT_EQ(e, 14u);
    // Within one line the whole text is meant.
    editarea::Select(ed(), 0, 1);
    Show(L"yy", L"z");
    d.cmdReplaceAll_Click();
    EXPECT_EQ(f.Text(), L"x z\r\nz\r\nz\r\nx");
}

TEST_F(ReplaceDialog, FindNextWrapsOnceAndReplaceGoesOn) {
    f.SetEditorText(L"cat dog cat dog");
    editarea::Select(ed(), 5, 5);
    Show(L"cat", L"cow");
    d.cmdFindNext_Click();
    size_t s = 0, e = 0;
    editarea::GetSelection(ed(), s, e);
    EXPECT_EQ(s, 8u);
    EXPECT_EQ(d.StatusText(), L"");
    d.cmdReplace_Click();  // the selected match goes, the next is selected, past the end
    EXPECT_EQ(f.Text(), L"cat dog cow dog");
    editarea::GetSelection(ed(), s, e);
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(e, 3u);
    EXPECT_EQ(d.StatusText(), texts::ReplaceWrapped);
    d.cmdReplace_Click();
    EXPECT_EQ(f.Text(), L"cow dog cow dog");
    EXPECT_EQ(d.StatusText(), L"Cannot find \"cat\".");
    f.mnuedit_Click(0);
    EXPECT_EQ(f.Text(), L"cat dog cow dog");
    EXPECT_TRUE(f.Doc().IsModified());
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

TEST_F(Editor, TabWidthIsStoredAndUsed) {
    EXPECT_EQ(Sci(SCI_GETTABWIDTH), 4);
    frmOptions& o = form::Single<frmOptions>();
    o.Show();
    std::vector<std::wstring> said;
    modal::Hooks h;
    h.msgBox = [&](const modal::MsgBoxCall& c) {
        said.push_back(c.text);
        return IDOK;
    };
    modal::ScopedHooks hooks(h);
    for (const wchar_t* bad : {L"0", L"17", L""}) {
        o.SetText(frmOptions::IdText3, bad);
        o.cmdApply_Click();
    }
    EXPECT_EQ(said, std::vector<std::wstring>(3, texts::OptionsTabWidthInvalid));
    EXPECT_FALSE(Stored(L"TabWidth"));
    o.SetText(frmOptions::IdText3, L"3");
    o.cmdOK_Click();
    EXPECT_EQ(Stored(L"TabWidth"), std::optional<std::wstring>(L"3"));
    EXPECT_EQ(Sci(SCI_GETTABWIDTH), 3);
    EXPECT_EQ(TabWidthSetting, 3);
    TabWidthSetting = settings::DefaultTabWidth;
}

}  // namespace
