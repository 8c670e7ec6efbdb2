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
#include "frmWebUpdate.h"
#include "mShellExecute.h"

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
        server.Serve("/same.txt", {200, "version=1.35\ndownload=https://tavrin.example.org/d\ninfo=Same.\n"});
        server.Serve("/older.txt", {200, "version=1.4\ndownload=https://tavrin.example.org/d\n"});
        server.Serve("/malformed.txt", {200, "<html><body>Welcome</body></html>"});
        server.Serve("/slow.txt", {200, kNewer, 1500});
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
        VersionFileAddress = url;
        form.Show();
        SendMessageW(form.Item(frmWebUpdate::Command1), BM_CLICK, 0, 0);
        ASSERT_TRUE(testenv::PumpUntil([&] { return !boxes.empty(); }, 30000));
        testenv::PumpUntil([] { return false; }, 100);  // nothing else may follow
        ASSERT_EQ(boxes.size(), 1u);
    }
    void ExpectCouldNotConnect() {
        EXPECT_EQ(boxes[0].text, L"Could not connect to web site or file not found");
        EXPECT_EQ(boxes[0].title, L"Tavrin");
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK));
        EXPECT_TRUE(shellCalls.empty());
    }
};

TEST_F(WebUpdate, WindowShowsItsTextsAndTheRunningVersion) {
    ASSERT_TRUE(form.Load());
    EXPECT_EQ(form.Caption(), L"Web Update");
    EXPECT_EQ(form.Text(frmWebUpdate::Command1), L"Check For Update");
    EXPECT_EQ(form.Text(frmWebUpdate::Command2), L"C&lose");
    EXPECT_EQ(form.Text(frmWebUpdate::Label1),
              L"Press the check button to Check for the Latest Version . For the test to fully work, you should be "
              L"connected to the internet. ");
    EXPECT_EQ(form.Text(frmWebUpdate::lblVersion), L"Current Version 1.35");
    EXPECT_EQ(RunningVersionText(), L"1.35");
    EXPECT_EQ(form.WebVrChk1.version, L"1.35");
    EXPECT_TRUE(form.WebVrChk1.url.empty());
    EXPECT_TRUE(form.WebVrChk1.autolaunchbrowser);
    const int dpi = form.Dpi();
    RECT client;
    GetClientRect(form.Hwnd(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(4245, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(1755, dpi));
    EXPECT_EQ(GetNextDlgTabItem(form.Hwnd(), nullptr, FALSE), form.Item(frmWebUpdate::Command1));
}

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
    EXPECT_EQ(shellCalls[0].operation, L"open");
}

TEST_F(WebUpdate, SameVersionIsUpToDate) {
    CheckAgainst(server.Url("/same.txt"));
    EXPECT_EQ(boxes[0].title, L"You Have the most recent version");
    EXPECT_EQ(boxes[0].text, L"You have the most recent version available (1.35)");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(WebUpdate, OlderVersionIsUpToDate) {
    CheckAgainst(server.Url("/older.txt"));  // 1.4 comes before 1.35
    EXPECT_EQ(boxes[0].title, L"You Have the most recent version");
    EXPECT_EQ(boxes[0].text, L"You have the most recent version available (1.35)");
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(WebUpdate, MissingFileCannotBeFound) {
    CheckAgainst(server.Url("/missing.txt"));
    ExpectCouldNotConnect();
}

TEST_F(WebUpdate, MalformedFileCannotBeFound) {
    CheckAgainst(server.Url("/malformed.txt"));
    ExpectCouldNotConnect();
}

TEST_F(WebUpdate, ServerErrorCannotBeFound) {
    CheckAgainst(server.Url("/error.txt"));
    ExpectCouldNotConnect();
}

TEST_F(WebUpdate, OversizedFileIsNotOurs) {
    CheckAgainst(server.Url("/huge.txt"));
    ExpectCouldNotConnect();
}

TEST_F(WebUpdate, UnreachableServerCannotConnect) {
    CheckAgainst(L"http://127.0.0.1:" + std::to_wstring(LoopbackHttpServer::ClosedPort()) + L"/version.txt");
    ExpectCouldNotConnect();
    EXPECT_EQ(server.Requests(), 0);
}

TEST_F(WebUpdate, AnAddressThatIsNoWebAddressCannotConnect) {
    CheckAgainst(L"C:\\Windows\\win.ini");
    ExpectCouldNotConnect();
}

TEST_F(WebUpdate, WindowStaysResponsiveWhileTheServerAnswers) {
    VersionFileAddress = server.Url("/slow.txt");
    form.Show();
    SendMessageW(form.Item(frmWebUpdate::Command1), BM_CLICK, 0, 0);
    // The click came back before the server answered; the window still takes messages.
    EXPECT_EQ(form.WebVrChk1.Pending(), 1);
    EXPECT_TRUE(boxes.empty());
    SetWindowTextW(form.Item(frmWebUpdate::lblVersion), L"still here");
    EXPECT_EQ(form.Text(frmWebUpdate::lblVersion), L"still here");
    ASSERT_TRUE(testenv::PumpUntil([&] { return !boxes.empty(); }, 30000));
    EXPECT_EQ(boxes[0].title, L"A new version of Tavrin has been found");
    EXPECT_EQ(form.WebVrChk1.Pending(), 0);
}

TEST_F(WebUpdate, ClosingDuringACheckDropsItsAnswer) {
    VersionFileAddress = server.Url("/slow.txt");
    form.Show();
    SendMessageW(form.Item(frmWebUpdate::Command1), BM_CLICK, 0, 0);
    SendMessageW(form.Item(frmWebUpdate::Command2), BM_CLICK, 0, 0);  // C&lose
    EXPECT_FALSE(form.IsLoaded());
    testenv::PumpUntil([&] { return server.Requests() > 0; }, 10000);
    testenv::PumpUntil([] { return false; }, 2500);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(WebUpdate, SeveralChecksEachGiveTheirMessage) {
    CheckAgainst(server.Url("/same.txt"));
    SendMessageW(form.Item(frmWebUpdate::Command1), BM_CLICK, 0, 0);
    ASSERT_TRUE(testenv::PumpUntil([&] { return boxes.size() == 2; }, 30000));
    EXPECT_EQ(boxes[1].text, L"You have the most recent version available (1.35)");
}

TEST_F(WebUpdate, OnlyCodesMinusOneAndMinusTwoAreReported) {
    ASSERT_TRUE(form.Load());
    for (int32_t code : {0, -3, 1, 12007}) form.WebVrChk1.CheckFailed(code);
    EXPECT_TRUE(boxes.empty());
    form.WebVrChk1.CheckFailed(-1);
    form.WebVrChk1.CheckFailed(-2);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, L"Could not connect to web site or file not found");
}

TEST_F(WebUpdate, RunningVersionThatIsNoNumberIsSilent) {
    ASSERT_TRUE(form.Load());
    form.WebVrChk1.version = L"unknown";
    VersionFileAddress = server.Url("/newer.txt");
    form.Show();
    SendMessageW(form.Item(frmWebUpdate::Command1), BM_CLICK, 0, 0);
    ASSERT_TRUE(testenv::PumpUntil([&] { return form.WebVrChk1.Pending() == 0; }, 30000));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WebUpdate, CloseBoxAndCloseButtonUnloadAndTheNextShowingLoadsAfresh) {
    form.Show();
    form.WebVrChk1.autolaunchbrowser = false;
    SendMessageW(form.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(testenv::PumpUntil([&] { return !form.IsLoaded(); }, 3000));
    form.Show();
    EXPECT_TRUE(form.WebVrChk1.autolaunchbrowser);  // design value again
    SendMessageW(form.Item(frmWebUpdate::Command2), BM_CLICK, 0, 0);
    EXPECT_FALSE(form.IsLoaded());
}

}  // namespace
