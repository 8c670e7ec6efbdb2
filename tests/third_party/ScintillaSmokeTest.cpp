// The editing component and its lexers, linked statically: the window class registers, a window
// takes a lexer by name, and UTF-8 text goes in and comes back byte for byte, styled.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ILexer.h"
#include "Lexilla.h"
#include "SciLexer.h"
#include "Scintilla.h"

namespace {

class ScintillaWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registered_ = Scintilla_RegisterClasses(GetModuleHandleW(nullptr)) != 0; }
    static void TearDownTestSuite() { Scintilla_ReleaseResources(); }

    void SetUp() override {
        ASSERT_TRUE(registered_);
        window_ = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }

    sptr_t Send(unsigned int message, uptr_t w = 0, sptr_t l = 0) const {
        return SendMessageW(window_, message, w, l);
    }
    std::string Text() const {
        const auto length = static_cast<size_t>(Send(SCI_GETLENGTH));
        std::string text(length + 1, '\0');
        Send(SCI_GETTEXT, text.size(), reinterpret_cast<sptr_t>(text.data()));
        text.resize(length);
        return text;
    }
    std::string LexerName() const {
        std::string name(static_cast<size_t>(Send(SCI_GETLEXERLANGUAGE)) + 1, '\0');
        Send(SCI_GETLEXERLANGUAGE, 0, reinterpret_cast<sptr_t>(name.data()));
        name.resize(name.size() - 1);
        return name;
    }

    static inline bool registered_ = false;
    HWND window_ = nullptr;
};

// The lexers an editor of C++, web pages, scripts and settings files uses.
TEST_F(ScintillaWindow, TakesEachSourceLexerByName) {
    for (const char* name : {"cpp", "hypertext", "css", "vb", "props", "batch", "null"}) {
        Scintilla::ILexer5* lexer = CreateLexer(name);
        ASSERT_NE(lexer, nullptr) << name;
        Send(SCI_SETILEXER, 0, reinterpret_cast<sptr_t>(lexer));  // the window owns it now
        EXPECT_EQ(LexerName(), name);
    }
    EXPECT_EQ(CreateLexer("no such lexer"), nullptr);
}

TEST_F(ScintillaWindow, KeepsUtf8TextAndStylesItWithTheCppLexer) {
    Send(SCI_SETCODEPAGE, SC_CP_UTF8);
    Send(SCI_SETILEXER, 0, reinterpret_cast<sptr_t>(CreateLexer("cpp")));
    Send(SCI_SETKEYWORDS, 0, reinterpret_cast<sptr_t>("int return"));
    // "café", a euro sign and a character outside the BMP, with CR LF and LF line ends.
    const std::string text = "int caf\xC3\xA9 = 1; // \xE2\x82\xAC \xF0\x9F\x98\x80\r\nreturn 0;\n";
    Send(SCI_SETTEXT, 0, reinterpret_cast<sptr_t>(text.c_str()));
    EXPECT_EQ(Send(SCI_GETLENGTH), static_cast<sptr_t>(text.size()));
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(Send(SCI_GETLINECOUNT), 3);

    Send(SCI_COLOURISE, 0, -1);
    const auto comment = static_cast<sptr_t>(text.find("//"));
    const auto secondLine = static_cast<sptr_t>(text.find("return"));
    EXPECT_EQ(Send(SCI_GETSTYLEAT, 0), SCE_C_WORD);
    EXPECT_EQ(Send(SCI_GETSTYLEAT, 4), SCE_C_IDENTIFIER);
    EXPECT_EQ(Send(SCI_GETSTYLEAT, comment), SCE_C_COMMENTLINE);
    EXPECT_EQ(Send(SCI_GETSTYLEAT, secondLine), SCE_C_WORD);

    EXPECT_TRUE(DestroyWindow(window_));
    window_ = nullptr;
}

}  // namespace
