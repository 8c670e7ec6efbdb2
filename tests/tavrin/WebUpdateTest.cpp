// The web update window with canned answers for the version file: what the user sees for each.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <vector>

#include "AppInfo.h"
#include "BuildInfo.h"
#include "GShell.h"
#include "HelpMenu.h"
#include "Modal.h"
#include "TestEnv.h"
#include "cVersionCheck.h"
#include "frmAbout.h"
#include "frmWebUpdate.h"

namespace {

const char* kNewer = "version=1.135\r\ndownload=https://tavrin.example.org/download/tavrin-1.135.zip\r\n"
                     "info=Faster find.\r\ninfo=Printing fixes.\r\n";

// What the server gives for each address; other addresses go to the network as in the program.
struct CannedServer {
    std::map<std::wstring, std::pair<int32_t, std::string>> answers{
        {L"http://v.test/newer.txt", {0, kNewer}},
        {L"http://v.test/older.txt", {0, "version=1.4\ndownload=https://tavrin.example.org/d\n"}},
        {L"http://v.test/malformed.txt", {0, "<html><body>Welcome</body></html>"}},
        {L"http://v.test/error.txt", {cVersionCheck::kFileNotFound, ""}}};
    std::atomic<int> requests{0};
    int32_t operator()(const std::wstring& url, std::string& body) {
        ++requests;
        const auto it = answers.find(url);
        if (it == answers.end()) return FetchVersionFile(url, body);
        body = it->second.second;
        return it->second.first;
    }
};

class WebUpdate : public ::testing::Test {
protected:
    CannedServer server;
    std::vector<modal::MsgBoxCall> boxes;
    std::vector<gshell::Call> shellCalls;
    modal::ScopedHooks hooks{{.msgBox = [this](const modal::MsgBoxCall& c) { return boxes.push_back(c), IDOK; }}};
    frmWebUpdate form;

    void SetUp() override {
        AppTitle = L"Tavrin";
        gshell::TestHook() = [this](const gshell::Call& c) { return shellCalls.push_back(c), int64_t{42}; };
        form.WebVrChk1.fetch = std::ref(server);
    }
    void TearDown() override {
        form.Unload();
        gshell::TestHook() = nullptr;
        VersionFileAddress = APP_VERSION_URL_W;
    }
};

// Check For Update pressed against each answer: one message box each, and the page of a newer
// version opened (its address passed by the system's parser too). Same or older (1.4 comes before
// 1.35): up to date; anything else that is not a version file (which are: VersionFileFormat): not
// found. A port where nothing listens and a file path go through the real fetch.
TEST_F(WebUpdate, EachAnswerOfTheServerHasItsMessage) {
    const std::wstring upToDate = L"You Have the most recent version: You have the most recent version available (1.35)",
                       notFound = L"Tavrin: Could not connect to web site or file not found";
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"http://v.test/newer.txt", L"A new version of Tavrin has been found: Tavrin Version available is :1.135\n"
                                     L"Tavrin CurrentVersion is : 1.35\n\n"
                                     L"Download URL : https://tavrin.example.org/download/tavrin-1.135.zip\n\n"
                                     L"Information : Faster find.\nPrinting fixes."},
        {L"http://v.test/older.txt", upToDate},       {L"http://v.test/malformed.txt", notFound},
        {L"http://v.test/error.txt", notFound},       {L"http://127.0.0.1:1/v.txt", notFound},
        {L"C:\\Windows\\win.ini", notFound}};
    for (const auto& [url, text] : rows) {
        boxes.clear();
        VersionFileAddress = url;
        form.Show();
        SendMessageW(form.Item(frmWebUpdate::IdCommand1), BM_CLICK, 0, 0);
        ASSERT_TRUE(testenv::PumpUntil([&] { return !boxes.empty(); }, 30000));
        testenv::PumpUntil([] { return false; }, 100);  // nothing else may follow
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title + L": " + boxes[0].text, text) << url;
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(text == notFound ? MB_OK : MB_OK | MB_ICONINFORMATION));
    }
    ASSERT_EQ(shellCalls.size(), 1u);  // autolaunchbrowser
    EXPECT_EQ(shellCalls[0].file, L"https://tavrin.example.org/download/tavrin-1.135.zip");
}

// Help > Visit Website opens the product page (with no browser, nothing shows); About and Check For
// Update each show one window, and no check runs until its button is pressed.
TEST_F(WebUpdate, HelpMenuOpensThePageAndOneWindowEach) {
    form::Single<frmWebUpdate>().WebVrChk1.fetch = std::ref(server);
    mnuHelp_Command(3);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].file, APP_WEB_PAGE_W);
    gshell::TestHook() = [](const gshell::Call&) { return int64_t{31}; };  // no application associated
    mnuHelp_Command(3);
    for (int twice : {5, 5, 2, 2}) mnuHelp_Command(twice);
    for (const wchar_t* cls : {L"TavrinAboutBox", L"TavrinWebUpdate"}) {
        HWND one = FindWindowExW(nullptr, nullptr, cls, nullptr);
        EXPECT_TRUE(one && !FindWindowExW(nullptr, one, cls, nullptr)) << cls;
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(server.requests, 0);
    form::Single<frmAbout>().Unload();
    form::Single<frmWebUpdate>().Unload();
    form::Single<frmWebUpdate>().WebVrChk1.fetch = FetchVersionFile;
}

}  // namespace
