// The web update window against a small HTTP server on the loopback address: what the user sees
// for each answer of the version file.
#include "LoopbackHttpServer.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>

#include <vector>

#include "AppInfo.h"
#include "BuildInfo.h"
#include "Modal.h"
#include "TestEnv.h"
#include "WebUpdateTexts.h"
#include "HelpMenu.h"
#include "cVersionCheck.h"
#include "frmAbout.h"
#include "frmWebUpdate.h"
#include "GShell.h"

namespace {

const char* kNewer =
    "version=1.135\r\n"
    "download=https://tavrin.example.org/download/tavrin-1.135.zip\r\n"
    "info=Faster find.\r\n"
    "info=Printing fixes.\r\n";

class WebUpdate : public ::testing::Test {
protected:
    LoopbackHttpServer server;
    std::vector<modal::MsgBoxCall> boxes;
    std::vector<gshell::Call> shellCalls;
    std::unique_ptr<modal::ScopedHooks> hooks;
    frmWebUpdate form;

    void SetUp() override {
        ASSERT_TRUE(server.Ok());
        AppTitle = L"Tavrin";
        hooks = std::make_unique<modal::ScopedHooks>(modal::Hooks{.msgBox = [this](const modal::MsgBoxCall& c) {
            boxes.push_back(c);
            return IDOK;
        }});
        gshell::TestHook() = [this](const gshell::Call& c) {
            shellCalls.push_back(c);
            return int64_t{42};
        };
        server.Serve("/newer.txt", {200, kNewer});
        server.Serve("/older.txt", {200, "version=1.4\ndownload=https://tavrin.example.org/d\n"});
        server.Serve("/malformed.txt", {200, "<html><body>Welcome</body></html>"});
        server.Serve("/error.txt", {500, kNewer});
        server.Serve("/huge.txt", {200, std::string(kNewer) + "info=" + std::string(200 * 1024, 'x') + "\n"});
    }
    void TearDown() override {
        form.Unload();
        gshell::TestHook() = nullptr;
        VersionFileAddress = APP_VERSION_URL_W;
    }
    // Presses Check For Update and waits for the one message box.
    void CheckAgainst(const std::wstring& url) {
        boxes.clear();
        VersionFileAddress = url;
        form.Show();
        SendMessageW(form.Item(frmWebUpdate::IdCommand1), BM_CLICK, 0, 0);
        ASSERT_TRUE(testenv::PumpUntil([&] { return !boxes.empty(); }, 30000));
        testenv::PumpUntil([] { return false; }, 100);  // nothing else may follow
        ASSERT_EQ(boxes.size(), 1u);
    }
};

TEST_F(WebUpdate, NewerVersionIsReportedAndItsPageOpened) {
    CheckAgainst(server.Url("/newer.txt"));
    EXPECT_EQ(form.WebVrChk1.url, server.Url("/newer.txt"));
    EXPECT_EQ(boxes[0].title, L"A new version of Tavrin has been found");
    EXPECT_EQ(boxes[0].text,
              L"Tavrin Version available is :1.135\n"
              L"Tavrin CurrentVersion is : 1.35\n\n"
              L"Download URL : https://tavrin.example.org/download/tavrin-1.135.zip\n\n"
              L"Information : Faster find.\nPrinting fixes.");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    ASSERT_EQ(shellCalls.size(), 1u);  // autolaunchbrowser
    EXPECT_EQ(shellCalls[0].file, L"https://tavrin.example.org/download/tavrin-1.135.zip");
}

// Same or older (1.4 comes before 1.35): up to date; anything else that is not a version file: not found.
TEST_F(WebUpdate, EachOtherAnswerOfTheServerHasItsMessage) {
    const std::wstring upToDate = L"You have the most recent version available (1.35)",
                       notFound = L"Could not connect to web site or file not found";
    const std::pair<std::wstring, std::wstring> rows[] = {
        {server.Url("/older.txt"), upToDate}, {server.Url("/malformed.txt"), notFound},
        {server.Url("/error.txt"), notFound}, {server.Url("/huge.txt"), notFound},
        {L"http://127.0.0.1:" + std::to_wstring(LoopbackHttpServer::ClosedPort()) + L"/v.txt", notFound},
        {L"C:\\Windows\\win.ini", notFound}};
    int served = 0;
    for (const auto& [url, text] : rows) {
        if (&url == &rows[4].first) served = server.Requests();
        CheckAgainst(url);
        EXPECT_EQ(boxes[0].text, text) << url;
        EXPECT_EQ(boxes[0].title, text == upToDate ? L"You Have the most recent version" : L"Tavrin");
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(text == upToDate ? MB_OK | MB_ICONINFORMATION : MB_OK));
    }
    EXPECT_EQ(server.Requests(), served);  // the closed port and the file path never reached it
    EXPECT_TRUE(shellCalls.empty());
}

// The address check with the system's own parser behind it, on the addresses a version file may give.
TEST(WebAddress, OnlyAbsoluteHttpAddressesWithAHostPass) {
    for (const wchar_t* good : {L"http://127.0.0.1:8080/v.txt", L"https://tavrin.example.org/d?x=1#y"})
        EXPECT_TRUE(IsParsedWebAddress(good)) << good;
    for (const wchar_t* bad : {L"http://\\\\host\\share", L"https://example.org/\x0085", L"https://example.org/\x202E",
                               L"https://example.org/\x00A0", L"https://example.org/\x2028", L"https://example.org/\xFEFF",
                               L"http:///x", L"file:///C:/x", L"ftp://example.org/", L"\\\\host\\share"})
        EXPECT_FALSE(IsParsedWebAddress(bad)) << bad;
}

// Help > Visit Website opens the product page (with no browser, nothing shows); About and Check For
// Update each show one window, and no check runs until its button is pressed.
TEST_F(WebUpdate, HelpMenuOpensThePageAndOneWindowEach) {
    auto count = [](const wchar_t* cls) {
        int n = 0;
        for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, cls, nullptr)) != nullptr;) ++n;
        return n;
    };
    mnuHelp_Command(3);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].file, APP_WEB_PAGE_W);
    gshell::TestHook() = [](const gshell::Call&) { return int64_t{31}; };  // no application associated
    mnuHelp_Command(3);
    for (int twice : {5, 5, 2, 2}) mnuHelp_Command(twice);
    EXPECT_EQ(count(L"TavrinAboutBox"), 1);
    EXPECT_EQ(count(L"TavrinWebUpdate"), 1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(server.Requests(), 0);
    form::Single<frmAbout>().Unload();
    form::Single<frmWebUpdate>().Unload();
}

}  // namespace
