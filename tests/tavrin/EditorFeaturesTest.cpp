// The main window seen from outside: the programmer's editor (colouring, line numbers, the caret's
// place, Go To, Replace, auto-indent), the bars, the View and Format menus, Find in Files, the Edit
// menu and the Find dialog (the clipboard, the dialog's buttons, the real "No Match found." box).
#include "MainWindowFixture.h"

#include <atomic>
#include <cstdio>
#include <thread>

#include "AppInfo.h"
#include "Clipboard.h"
#include "DialogAnswerer.h"
#include "Form3.h"
#include "MainBars.h"
#include "Scintilla.h"
#include "SearchRun.h"
#include "SyntaxScheme.h"
#include "Texts.h"
#include "UiTask.h"
#include "frmFindInFiles.h"
#include "frmGoTo.h"
#include "frmReplace.h"

namespace {

using syntax::Role;

class Editor : public testenv::MainWindowTest {
protected:
    void TearDown() override {
        form::Single<frmReplace>().Unload();
        form::Single<Form3>().Unload();
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
    // A click on a toolbar button, as the toolbar reports it.
    void Click(int position) {
        SendMessageW(f.Hwnd(), WM_COMMAND, MAKEWPARAM(bars::ButtonId(position), BN_CLICKED),
                     reinterpret_cast<LPARAM>(f.tbToolbar()));
    }
    void Select(size_t start, size_t end) { editarea::Select(f.t1(), start, end); }
    // A range's format as the area reports it: "face bold italic points colour" (0 and -1 when mixed).
    std::wstring FormatAt(size_t start, size_t end) {
        Select(start, end);
        double points = 0;
        COLORREF color = 0;
        if (!editarea::SelectionPoints(f.t1(), points)) points = 0;
        if (!editarea::SelectionColor(f.t1(), color)) color = CLR_INVALID;
        return editarea::FaceName(f.t1()) + L" " + std::to_wstring(editarea::SelectionBold(f.t1())) + L" " +
               std::to_wstring(editarea::SelectionItalic(f.t1())) + L" " + std::to_wstring(static_cast<int>(points)) +
               L" " + std::to_wstring(static_cast<long>(color));
    }
};

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
    EXPECT_EQ(ForeAt("int"), Uncoloured());  // (the colour itself: the Format test)
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

// Where the default face is not installed, another fixed-pitch face keeps the columns in line.
TEST_F(Editor, AFixedPitchFaceLineNumbersTheCaretsPlaceAndGoTo) {
    for (int style : {STYLE_DEFAULT, STYLE_LINENUMBER})
        EXPECT_EQ(Sci(SCI_TEXTWIDTH, style, reinterpret_cast<LPARAM>("iiii")), Sci(SCI_TEXTWIDTH, style, reinterpret_cast<LPARAM>("MMMM")));
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


// The scroll bar a long line needs comes with the text, not from a paint and a timer after it,
// when it would resize and redraw the view under the first keys typed.
TEST_F(Editor, ALongLineAtTheTopBringsTheScrollBarWithTheText) {
    OpenFile(L"long.cpp", "int a;\r\n" + std::string(400, 'x') + "\r\n");
    EXPECT_TRUE(GetWindowLongW(ed(), GWL_STYLE) & WS_HSCROLL);
}

// The gap follows a caret sent forward and back, leaving the text, the redo step and the saved
// state alone.
TEST_F(Editor, TheGapFollowsTheCaretUnseen) {
    std::string bytes;
    while (bytes.size() < (1900u << 10)) bytes += "line \xC3\xA9t\xC3\xA9\r\n";  // below the size that asks
    OpenFile(L"big.txt", bytes);
    Sci(WM_CHAR, 'x', 1);
    f.mnuedit_Click(0);  // undone: unmodified again, with a step to redo
    const LRESULT at = Sci(SCI_GETLENGTH) - 1;  // between the last CR and LF
    Sci(SCI_GOTOPOS, static_cast<WPARAM>(at));
    EXPECT_TRUE(testenv::PumpUntil([&] { return Sci(SCI_GETGAPPOSITION) > at - (1 << 20); }));
    EXPECT_EQ(std::tuple(editarea::StoredText(ed()) == bytes, Sci(SCI_GETMODIFY), Sci(SCI_CANREDO), Sci(SCI_GETANCHOR)),
              std::tuple(true, 0, 1, at));
    Sci(SCI_GOTOPOS, 0);
    EXPECT_TRUE(testenv::PumpUntil([&] { return Sci(SCI_GETGAPPOSITION) < (1 << 20); }));
    EXPECT_EQ(std::tuple(editarea::StoredText(ed()) == bytes, Sci(SCI_GETMODIFY), Sci(SCI_CANREDO), Sci(SCI_GETANCHOR)),
              std::tuple(true, 0, 1, 0));
    Sci(SCI_REDO);
    EXPECT_EQ(editarea::StoredText(ed()).substr(0, 6), "xline ");
}

// The control colours only what it shows; the rest is coloured while the user pauses, so a jump far
// into the text finds it coloured. A jump before then colours the view at once, as if nothing above
// it were open, and then as it is: here inside a comment opened far above. An edit starts the
// colouring ahead again from the edit, after the next pause.
TEST_F(Editor, TheTextPastTheViewIsColouredWhileTheUserPauses) {
    std::string bytes;
    while (bytes.size() < (1u << 20)) bytes += "int f() { return 0; } // a line\r\n";
    bytes += "/* open to the end\r\n";
    for (int i = 0; i < 400; ++i) bytes += "int g() { return 1; }\r\n";
    const std::wstring path = dir / L"far.cpp";
    ASSERT_TRUE(testenv::WriteBytes(path, bytes));
    ShowWindow(f.Hwnd(), SW_SHOWNOACTIVATE);  // the control colours from its paints
    const auto foreAt = [&](size_t p) { return static_cast<COLORREF>(Sci(SCI_STYLEGETFORE, Sci(SCI_GETSTYLEAT, p))); };
    // Then again with an edit above the view before the skipped text is coloured.
    for (const size_t added : {0, 1}) {
        Open(path);
        const size_t last = bytes.rfind("return") + added, middle = bytes.find("return", bytes.size() / 2) + added;
        Sci(SCI_GOTOPOS, static_cast<WPARAM>(Sci(SCI_GETLENGTH)));
        UpdateWindow(ed());
        EXPECT_EQ(std::pair(foreAt(last - added), foreAt(middle - added)),
                  std::pair(Light(Role::Keyword), Light(Role::Plain)));
        if (added) Sci(SCI_INSERTTEXT, 0, reinterpret_cast<LPARAM>("x"));
        EXPECT_TRUE(testenv::PumpUntil([&] { return foreAt(last) == Light(Role::Comment); })) << added;
        EXPECT_EQ(foreAt(middle), Light(Role::Keyword)) << added;
    }
    for (int edits = 0; edits < 2; ++edits) {
        EXPECT_TRUE(testenv::PumpUntil([&] { return Sci(SCI_GETENDSTYLED) == Sci(SCI_GETLENGTH); })) << edits;
        Sci(SCI_GOTOPOS, 0);
        Sci(WM_CHAR, 'x', 1);
        EXPECT_LT(Sci(SCI_GETENDSTYLED), Sci(SCI_GETLENGTH) / 2);
    }
}

// Nothing colours a plain text, so the control must not ask for its colours over and over while idle
// (that kept the window's thread busy at the end of any plain text past 128 KB).
struct StyleRequests {
    static LRESULT CALLBACK Count(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR n) {
        if (m == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == SCN_STYLENEEDED) ++*reinterpret_cast<int*>(n);
        return DefSubclassProc(h, m, w, l);
    }
};

TEST_F(Editor, APlainTextIsNotAskedForColoursWhileIdle) {
    ShowWindow(f.Hwnd(), SW_SHOWNOACTIVATE);
    std::string bytes;
    while (bytes.size() < (1u << 20)) bytes += "plain text, a line of it\r\n";
    OpenFile(L"plain.txt", bytes);
    Sci(SCI_GOTOPOS, static_cast<WPARAM>(Sci(SCI_GETLENGTH)));
    UpdateWindow(ed());
    int asked = 0;
    SetWindowSubclass(f.Hwnd(), StyleRequests::Count, 1, reinterpret_cast<DWORD_PTR>(&asked));
    testenv::PumpUntil([] { return false; }, 300);
    RemoveWindowSubclass(f.Hwnd(), StyleRequests::Count, 1);
    EXPECT_LT(asked, 5);
}

using Bars = Editor;  // the toolbar, the status bar, the View and Format menus

TEST_F(Bars, ButtonsRunTheirCommandsAndFailuresEndSilently) {
    int prompts = 0, opens = 0, saves = 0;
    bool failPrompt = false;
    modal::ScopedHooks hooks({
        .msgBox = [&](const modal::MsgBoxCall& c) {
            if (c.text != texts::SaveChangesPrompt) boxes.push_back(c);
            else if (failPrompt) RaiseError(5, L"Tavrin.test", L"prompt failed");
            else ++prompts;
            return IDNO;
        },
        .openFile = [&](OPENFILENAMEW&) { return ++opens, FALSE; },
        .saveFile = [&](OPENFILENAMEW&) { return ++saves, FALSE; },
    });
    Type(L"changed");
    Click(1);  // New: asks, then empties the area
    EXPECT_EQ(f.Text(), L"");
    Click(2);
    Click(3);  // Save of an untitled document asks for a name
    EXPECT_EQ(std::to_string(prompts) + std::to_string(opens) + std::to_string(saves), "111");
    Type(L"kept");
    failPrompt = true;  // an error from the toolbar shows no box and loses nothing
    Click(1);
    f.tbToolbar_ButtonClick(L"New");
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(f.Text(), L"kept");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Bars, StatusBarPanelsClockAndViewToggle) {
    ASSERT_EQ(SendMessageW(f.sbStatusBar(), SB_GETPARTS, 0, 0), 6);
    EXPECT_EQ(Panel(0) + L"|" + Panel(1) + L"|" + Panel(2) + L"|" + Panel(3) + L"|" + Panel(4) + L"|" + Panel(5),
              L"Status|Ln 1, Col 1|ANSI, CR LF||" + bars::ShortDate() + L"|" + bars::ShortTime());
    SendMessageW(f.sbStatusBar(), SB_SETTEXTW, 4, reinterpret_cast<LPARAM>(L"old"));
    SendMessageW(f.Hwnd(), WM_TIMER, 1, 0);  // the clock makes the panels current again
    EXPECT_EQ(Panel(4), bars::ShortDate());
    // View > Status Bar: the bar and its check mark; the editing area stays as it is. (The window
    // itself is not shown in these tests: the bar's own visibility.)
    RECT before{}, now{};
    GetWindowRect(f.t1(), &before);
    auto view = [&] { return Checked(frmMain::ViewBase + 1) * 2 + ((GetWindowLongW(f.sbStatusBar(), GWL_STYLE) & WS_VISIBLE) != 0); };
    f.mnuview_Click(1);
    EXPECT_EQ(view(), 0);
    GetWindowRect(f.t1(), &now);
    EXPECT_TRUE(EqualRect(&before, &now));
    SendMessageW(f.sbStatusBar(), SB_SETTEXTW, 5, reinterpret_cast<LPARAM>(L"stale"));
    f.mnuview_Click(1);
    EXPECT_EQ(view(), 3);
    EXPECT_EQ(Panel(5), bars::ShortTime());  // current again when shown
}

TEST_F(Bars, WordWrapIsKeptAndTheZoomHasAPanelWhileNotAtItsDefault) {
    f.mnuview_Click(mainmenu::ViewWordWrap);
    EXPECT_EQ(Stored(L"WordWrap").value_or(L""), L"1");
    f.Unload();
    ASSERT_TRUE(f.Load());  // the next start wraps too
    EXPECT_EQ(SendMessageW(f.t1(), SCI_GETWRAPMODE, 0, 0), SC_WRAP_WORD);
    EXPECT_TRUE(Checked(frmMain::ViewBase + mainmenu::ViewWordWrap));
    // Ctrl+Plus, then Ctrl and the wheel: the panel shows the zoom; Ctrl+0 takes it back to none.
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), VK_OEM_PLUS));
    EXPECT_EQ(Panel(bars::kZoomPanel), L"110%");
    SendMessageW(f.t1(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
    EXPECT_EQ(Panel(bars::kZoomPanel), L"120%");
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), '0'));
    EXPECT_EQ(Panel(bars::kZoomPanel), L"");
}

// Word Wrap stays the choice for every text but wraps none too big to wrap, and the real box says so
// when it is turned on for one.
TEST_F(Bars, WordWrapHoldsBackFromTextsTooBigToWrap) {
    std::string big;
    while (big.size() <= editarea::kWrapLimit) big += "a line to wrap at the window's edge, or not\r\n";
    const auto mode = [&] { return SendMessageW(f.t1(), SCI_GETWRAPMODE, 0, 0); };
    ASSERT_TRUE(editarea::SetUtf8(f.t1(), big));
    {
        modal::ScopedHooks real({});
        DialogAnswerer answer({DialogAnswerer::Press(IDOK)});
        f.mnuview_Click(mainmenu::ViewWordWrap);
        EXPECT_EQ(answer.One(), std::wstring(L"Tavrin: ") + texts::WordWrapHeldBack);
    }
    EXPECT_EQ(std::pair(mode(), ViewChecked(mainmenu::ViewWordWrap)), std::pair(LRESULT{SC_WRAP_NONE}, true));
    ASSERT_TRUE(editarea::SetUtf8(f.t1(), "small"));
    EXPECT_EQ(mode(), SC_WRAP_WORD);
    ASSERT_TRUE(editarea::SetUtf8(f.t1(), big));  // loaded while wrapping
    EXPECT_EQ(mode(), SC_WRAP_NONE);
}

// Font: the face for all text, the rest for the selection or what is typed at the caret. Text
// Color: the selection or the caret; Forecolor: the background. Each dialog opens on the previous
// choice, and Cancel changes nothing, whatever the dialog left in its structure.
TEST_F(Bars, FontAndColoursOnTheSelectionAtTheCaretRememberedAndCancelled) {
    bool cancel = false;
    LOGFONTW seenFont{};
    COLORREF pick = RGB(255, 0, 0), seenColor = 0;
    modal::ScopedHooks hooks({
        .chooseFont = [&](CHOOSEFONTW& cf) {
            seenFont = *cf.lpLogFont;
            *cf.lpLogFont = LOGFONTW{.lfHeight = -19, .lfWeight = FW_BOLD, .lfItalic = TRUE, .lfFaceName = L"Tahoma"};
            cf.iPointSize = 140;
            return !cancel;
        },
        .chooseColor = [&](CHOOSECOLORW& cc) {
            seenColor = cc.rgbResult;
            cc.rgbResult = cancel ? RGB(0, 255, 0) : pick;
            return !cancel;
        },
    });
    const std::wstring text = std::to_wstring(static_cast<long>(GetSysColor(COLOR_WINDOWTEXT)));
    f.SetEditorText(L"hello world");
    Select(0, 5);
    f.mnuformat_Click(0);
    EXPECT_EQ(FormatAt(0, 5), L"Tahoma 1 1 14 " + text);
    EXPECT_EQ(FormatAt(6, 11), L"Tahoma 0 0 10 " + text);
    Select(11, 11);
    f.mnuformat_Click(0);
    EXPECT_EQ(seenFont.lfWeight, FW_BOLD);
    editarea::ReplaceSelection(f.t1(), L"XY");  // typed at the caret, with the format set there
    EXPECT_EQ(FormatAt(11, 13), L"Tahoma 1 1 14 " + text);
    Select(6, 11);
    f.mnuformat_Click(1);
    EXPECT_EQ(FormatAt(6, 11), L"Tahoma 0 0 10 255");
    Select(13, 13);
    pick = RGB(0, 128, 0);
    f.mnuformat_Click(1);
    EXPECT_EQ(seenColor, RGB(255, 0, 0));
    editarea::ReplaceSelection(f.t1(), L"!");
    EXPECT_EQ(FormatAt(13, 14), L"Tahoma 1 1 14 32768");  // the font of the text before it, in the new colour
    cancel = true;
    for (int item : {0, 1, 2}) {
        Select(0, 5);
        f.mnuformat_Click(item);
    }
    EXPECT_EQ(FormatAt(0, 5), L"Tahoma 1 1 14 " + text);
    EXPECT_NE(editarea::BackColor(f.t1()), RGB(0, 255, 0));
    cancel = false;
    pick = RGB(0, 0, 255);
    f.mnuformat_Click(2);
    EXPECT_EQ(seenColor, RGB(0, 128, 0));
    EXPECT_EQ(editarea::BackColor(f.t1()), RGB(0, 0, 255));
}

// Edit > Find in Files: the places stream into the output pane; F4 walks them into another file.
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

// The Edit menu and the Find dialog, the window shown.
class EditCommands : public Editor {
protected:
    Form3& find = form::Single<Form3>();
    modal::ScopedHooks hooks{Recording()};

    void SetUp() override {
        Editor::SetUp();
        f.Show();
    }
    bool PasteEnabled() {
        return !(GetMenuState(GetMenu(f.Hwnd()), frmMain::EditBase + 4, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    }
    // Types into the search box as the user would, so it sends its change notification.
    void SearchFor(const std::wstring& s) { SetWindowTextW(find.Item(Form3::IdText1), s.c_str()); }
    void ClickFind() { SendMessageW(find.Item(Form3::IdCommand1), BM_CLICK, 0, 0); }
    void ClickFindNext() { SendMessageW(find.Item(Form3::IdCommand3), BM_CLICK, 0, 0); }
    void ExpectSelection(size_t from, size_t to) { EXPECT_EQ(Selection(), std::make_pair(from, to)); }
};

// Text, or nothing (null), put on the clipboard as another program would.
void PutClipboard(const wchar_t* text) {
    if (text) return clipboard::SetText(nullptr, text);
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard());
    CloseClipboard();
}

// True when `above` comes before `below` in the z-order of the top-level windows.
bool Above(HWND above, HWND below) {
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h == above) return true;
        if (h == below) return false;
    }
    return false;
}

// ---- Edit commands

TEST_F(EditCommands, ClipboardUndoAndSelectAll) {
    PutClipboard(L"from another program");
    EXPECT_FALSE(PasteEnabled());
    Type(L"one\r\ntwo\r\nthree \u0416\U0001F600");
    Select(3, 3);
    f.mnuedit_Click(2);  // Cut with nothing selected: empty text on the clipboard, Paste enabled
    EXPECT_EQ(clipboard::GetText(nullptr), L"");
    EXPECT_TRUE(PasteEnabled());
    Select(2, 11);  // "e", CR LF, "two", CR LF, "t"
    f.mnuedit_Click(2);
    EXPECT_EQ(clipboard::GetText(nullptr), L"e\r\ntwo\r\nt");  // plain text with CR LF
    EXPECT_EQ(f.Text(), L"onhree \u0416\U0001F600");
    f.mnuedit_Click(0);  // the control's own undo
    EXPECT_EQ(f.Text(), L"one\r\ntwo\r\nthree \u0416\U0001F600");
    Select(16, 19);
    f.mnuedit_Click(3);
    EXPECT_EQ(clipboard::GetText(nullptr), L"\u0416\U0001F600");
    // Pasting over a selection replaces it; line ends arrive as the control's own.
    f.SetEditorText(L"abc|abab");
    PutClipboard(L"x\r\ny");
    Select(0, 3);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"x\r\ny|abab");
    ExpectSelection(4, 4);
    PutClipboard(nullptr);  // nothing on the clipboard: Paste deletes the selection
    Select(0, 1);
    f.mnuedit_Click(4);
    EXPECT_EQ(f.Text(), L"\r\ny|abab");
    f.mnuedit_Click(5);  // Select All
    ExpectSelection(0, 8);
    for (int i : {1, 6, 9, -1}) f.mnuedit_Click(i);  // separators and others do nothing
    EXPECT_EQ(f.Text(), L"\r\ny|abab");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EditCommands, ABusyClipboardStopsCutBeforeAnythingIsLost) {
    Type(L"precious");
    Select(0, 8);
    // Another thread holds the clipboard open for the whole command.
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        OpenClipboard(nullptr);
        SetEvent(held);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
    });
    WaitForSingleObject(held, 5000);
    EXPECT_THROW(f.mnuedit_Click(4), VbError);
    SendMessageW(f.Hwnd(), WM_COMMAND, frmMain::EditBase + 2, 0);  // from the menu the error is shown
    SetEvent(release);
    holder.join();
    for (HANDLE h : {held, release}) CloseHandle(h);
    EXPECT_EQ(Err().Number, texts::ClipboardErrorNumber);
    ASSERT_EQ(boxes.size(), 1u);  // the form layer shows the error with its number; the window stays
    EXPECT_EQ(boxes[0].title, L"Tavrin");
    EXPECT_NE(boxes[0].text.find(texts::ClipboardBusy), std::wstring::npos);
    EXPECT_NE(boxes[0].text.find(std::to_wstring(texts::ClipboardErrorNumber)), std::wstring::npos) << boxes[0].text;
    EXPECT_EQ(f.Text(), L"precious");
    EXPECT_FALSE(PasteEnabled());
    f.mnuedit_Click(2);  // free again: the cut goes through
    EXPECT_EQ(clipboard::GetText(nullptr), L"precious");
    EXPECT_EQ(f.Text(), L"");
}

// ---- the Find dialog

// Selections land on the matches past 32767 and 65535, after CR LF line ends and characters outside
// the Basic Multilingual Plane, in UTF-16 positions of the text as held.
TEST_F(EditCommands, MatchesPastSixteenBitsAfterLineEndsAndOutsideTheBasicPlane) {
    std::wstring text;
    for (int i = 0; text.size() < 140000; ++i) text += L"line " + std::to_wstring(i) + L" \U0001F600 of filler text\r\n";
    for (size_t at : {35000, 70000, 139000}) text.replace(text.find(L"filler", at), 6, L"NEEDLE");
    f.SetEditorText(text);
    f.mnuedit_Click(7);
    SearchFor(L"NEEDLE");
    ClickFind();
    size_t want = text.find(L"NEEDLE");
    for (int i = 0; i < 3; ++i, want = text.find(L"NEEDLE", want + 1)) {
        ExpectSelection(want, want + 6);
        if (i == 0) f.mnuedit_Click(8);
        ClickFindNext();
    }
    EXPECT_GT(text.find(L"NEEDLE", text.find(L"NEEDLE") + 1), 65535u);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(find.LastMatchPosition, static_cast<int64_t>(text.rfind(L"NEEDLE")) + 1);
    // Found across the control's gap (left where the last edit was) and after it.
    const size_t second = text.find(L"NEEDLE", text.find(L"NEEDLE") + 1);
    editarea::Select(f.t1(), second + 3, second + 3);
    editarea::ReplaceSelection(f.t1(), L"X");
    editarea::Undo(f.t1());
    f.mnuedit_Click(7);
    SearchFor(L"NEEDLE");
    ClickFind();
    ClickFindNext();
    ExpectSelection(second, second + 6);
    ClickFindNext();
    ExpectSelection(text.rfind(L"NEEDLE"), text.rfind(L"NEEDLE") + 6);
    f.mnuedit_Click(7);
    SearchFor(L"NEEDLE text\r\nline");  // a line end in the search text matches the text's
    ClickFind();
    EXPECT_EQ(editarea::SelectedText(f.t1()), L"NEEDLE text\r\nline");
}

TEST_F(EditCommands, TheRealDialogSelectsTheMatchAndShowsTheRealNoMatchBox) {
    modal::ScopedHooks real({});  // real message boxes
    Type(L"alpha beta gamma");
    f.mnuedit_Click(7);
    HWND edit = find.Item(Form3::IdText1);
    SetFocus(edit);
    for (wchar_t c : std::wstring(L"beta")) SendMessageW(edit, WM_CHAR, c, 0);
    testenv::PumpUntil([&] { return find.IsEnabled(Form3::IdCommand1); }, 2000);
    ClickFind();
    ExpectSelection(6, 10);
    EXPECT_EQ(GetForegroundWindow(), f.Hwnd());
    EXPECT_TRUE(IsWindowVisible(find.Hwnd()));
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));  // the dialog stays above the activated main window
    SetForegroundWindow(f.Hwnd());
    SetWindowPos(f.Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));

    f.mnuedit_Click(8);
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDOK)});
        ClickFindNext();
        EXPECT_EQ(answer.One(), L"Tavrin: No Match found.");
    }
    ExpectSelection(6, 10);
    EXPECT_EQ(GetFocus(), f.t1());
    EXPECT_TRUE(Above(find.Hwnd(), f.Hwnd()));
}

// A regular expression still running after two seconds: the caption says Esc stops it, Esc does,
// the real box says so, and the window answered all along and goes on working.
TEST_F(EditCommands, EscStopsARegularExpressionStillRunningAfterTwoSeconds) {
    modal::ScopedHooks real({});
    // One long line the pattern tries every way. The engine allows steps in proportion to the text's
    // length times the square of the pattern's, except that the 32-bit build falls back to a fixed
    // budget (under a second) on a text past 46,341 characters: a long pattern on a shorter text keeps
    // both builds busy for seconds.
    f.SetEditorText(std::wstring(40000, L'a'));
    std::wstring pattern = L"(a";
    for (wchar_t c = L'b'; pattern.size() < 136; c = c == L'z' ? L'b' : c + 1) pattern += std::wstring(L"|") + c + L'a';
    f.mnuedit_Click(7);
    SendMessageW(find.Item(Form3::IdRegex), BM_CLICK, 0, 0);
    SearchFor(pattern + L")*\\d");
    std::atomic<bool> told{false}, answered{false}, done{false};
    std::thread user([&] {
        for (int i = 0; i < 600 && !told; ++i, Sleep(50)) told = WindowText(find.Hwnd()) == texts::SearchRunning;
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(f.Hwnd(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
        PostMessageW(find.Item(Form3::IdText1), WM_KEYDOWN, VK_ESCAPE, 0);
        done = true;
    });
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDOK)}, 60000);
        ClickFind();
        testenv::PumpUntil([&] { return done.load(); }, 60000);  // its questions are answered, should Find end early
        user.join();
        EXPECT_EQ(answer.One(), L"Tavrin: " + std::wstring(texts::SearchStopped));
    }
    EXPECT_TRUE(told);
    EXPECT_TRUE(answered);
    EXPECT_EQ(WindowText(find.Hwnd()), texts::FindCaption);
    // The next search runs while the stopped one ends on its own.
    SendMessageW(find.Item(Form3::IdRegex), BM_CLICK, 0, 0);
    SearchFor(L"aa");
    ClickFind();
    ExpectSelection(0, 2);
    const ULONGLONG stopped = GetTickCount64();
    EXPECT_TRUE(testenv::PumpUntil([] { return !uitask::WorkerLeft(); }, 90000));
    std::printf("the stopped search ended %llu ms later\n", GetTickCount64() - stopped);  // seen: 3.4 s (32-bit), 6.4 s (64-bit)
}

// The regular expression box is the main window's choice for the run: a dialog closed and opened
// again shows it, and so do the other search dialogs.
TEST_F(EditCommands, TheRegularExpressionBoxIsKeptAcrossTheSearchDialogs) {
    const auto checked = [](HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    frmReplace& replace = form::Single<frmReplace>();
    f.mnuedit_Click(7);
    EXPECT_FALSE(checked(find.Item(Form3::IdRegex)));
    SendMessageW(find.Item(Form3::IdRegex), BM_CLICK, 0, 0);
    find.Unload();
    f.mnuedit_Click(7);
    EXPECT_TRUE(checked(find.Item(Form3::IdRegex)));
    f.mnuedit_Click(10);
    EXPECT_TRUE(checked(replace.Item(frmReplace::IdRegex)));
    SendMessageW(replace.Item(frmReplace::IdRegex), BM_CLICK, 0, 0);
    replace.Unload();
    bool inFiles = true;
    modal::ScopedHooks hooks({.modalForm = [&](form::Form& form) {
        auto& d = dynamic_cast<frmFindInFiles&>(form);
        inFiles = checked(d.Item(frmFindInFiles::IdRegex));
        d.cmdCancel_Click();
    }});
    f.mnuedit_Click(12);
    EXPECT_FALSE(inFiles);
    f.mnuedit_Click(7);  // the open Find dialog shows it when it is active again
    EXPECT_FALSE(checked(find.Item(Form3::IdRegex)));
}

}  // namespace
