// The form layer seen from outside: windows, controls in pixels, dispatch, modal answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "AppInfo.h"
#include "Form.h"
#include "Modal.h"
#include "TestEnv.h"

namespace {

constexpr int kOk = 101, kLabel = 102, kHidden = 103, kRaise = 104;

const form::FontSpec kBold{L"Tahoma", 9, true};
const form::Control kControls[] = {
    {kOk, WC_BUTTONW, L"OK", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 3960, 1680, 1140, 345},
    {kLabel, WC_STATICW, L"Label", WS_VISIBLE, 840, 240, 3885, 225, 0, &kBold},
    {kHidden, WC_BUTTONW, L"Hidden", WS_TABSTOP, 3960, 2400, 1125, 345},
    {kRaise, WC_BUTTONW, L"Raise", WS_VISIBLE | WS_TABSTOP, 120, 120, 1000, 345},
};

class TestForm : public form::Form {
public:
    int loads = 0, okClicks = 0, unloads = 0;
    bool cancelUnload = false;

protected:
    const form::FormDef& Definition() const override {
        static const form::FormDef def{.className = L"TestFormClass", .caption = L"Test Form", .clientWidth = 5175,
                                       .clientHeight = 3045, .controls = kControls,
                                       .controlCount = std::size(kControls), .defaultButton = kOk, .cancelButton = kOk};
        return def;
    }
    void Form_Load() override { ++loads; }
    void Form_Unload(bool& cancel) override { ++unloads, cancel = cancelUnload; }
    void OnCommand(int id, int, HWND) override {
        if (id == kOk) ++okClicks;
        if (id == kRaise) RaiseError(static_cast<int32_t>(0x8004041A), L"Test.Handler", L"Something failed");
    }
};

TEST(FormLayer, ModelessFormHasOneInstanceAndItsUnloadCanBeCancelled) {
    auto& f = form::Single<TestForm>();
    f.Show();
    f.Show();
    EXPECT_EQ(testenv::CountTopLevel(L"TestFormClass"), 1);
    EXPECT_EQ(f.loads, 1);
    EXPECT_EQ(GetWindow(f.Hwnd(), GW_OWNER), nullptr);  // modeless and without owner
    f.cancelUnload = true;
    EXPECT_FALSE(f.Unload());
    SendMessageW(f.Hwnd(), WM_CLOSE, 0, 0);  // the close box takes the same path
    EXPECT_EQ(f.unloads, 2);
    EXPECT_TRUE(f.IsLoaded());
    f.cancelUnload = false;
    EXPECT_TRUE(f.Unload());
    EXPECT_EQ(testenv::CountTopLevel(L"TestFormClass"), 0);
    f.Show();  // shown again after unloading: loads afresh
    EXPECT_EQ(f.loads, 2);
    EXPECT_TRUE(f.Unload());
}

TEST(FormLayer, ButtonsDialogKeysAndRaisedErrorsReachTheUser) {
    AppTitle = L"FormTest";
    std::vector<modal::MsgBoxCall> shown;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) { shown.push_back(c); return IDOK; }});
    TestForm f;
    f.Show();
    SendMessageW(f.Item(kOk), BM_CLICK, 0, 0);
    SendMessageW(f.Hwnd(), WM_COMMAND, IDOK, 0);  // Enter and Esc go to the default and cancel buttons
    SendMessageW(f.Hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(f.okClicks, 3);
    Err().Clear();
    SendMessageW(f.Item(kRaise), BM_CLICK, 0, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, L"FormTest");
    EXPECT_NE(shown[0].text.find(L"Something failed"), std::wstring::npos);
    EXPECT_NE(shown[0].text.find(std::to_wstring(static_cast<int32_t>(0x8004041A))), std::wstring::npos);
    EXPECT_EQ(Err().Source, L"Test.Handler");
    EXPECT_TRUE(f.IsLoaded());  // the window stays usable
}

}  // namespace
