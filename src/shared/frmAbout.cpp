#include "frmAbout.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "AppInfo.h"
#include "BuildInfo.h"
#include "HyperlinkLabel.h"
#include "Launch.h"
#include "Modal.h"
#include "SharedTexts.h"

namespace {

using namespace texts;

const form::FontSpec kTitleFont{L"MS Sans Serif", 8.25, true};
const form::FontSpec kLinkFont{L"Tahoma", 9, false};

constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;

// Table order is the tab order.
const form::Control kControls[] = {
    {frmAbout::cmdOK, WC_BUTTONW, kAboutOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 3960, 1680, 1140, 345},
    {frmAbout::picIcon, WC_STATICW, L"", WS_VISIBLE | SS_ICON | SS_CENTERIMAGE, 120, 240, 480, 480},
    {frmAbout::cmdSysInfo, WC_BUTTONW, kAboutSysInfo, WS_TABSTOP | BS_PUSHBUTTON, 3960, 2400, 1125, 345},
    {frmAbout::lblDescription, WC_STATICW, kAboutDescriptionDesign, kLabel, 840, 960, 3885, 210},
    {frmAbout::lblDisclaimer, WC_STATICW, kAboutDisclaimerDesign, kLabel, 120, 1680, 3735, 1260},
    {frmAbout::lblTitle, WC_STATICW, kAboutTitleDesign, kLabel, 840, 240, 3885, 225, 0, &kTitleFont},
    {frmAbout::lblVersion, WC_STATICW, kAboutVersionDesign, kLabel, 840, 720, 3885, 195},
    {frmAbout::lblplatform, WC_STATICW, kAboutPlatformDesign, kLabel, 840, 480, 3885, 255},
    {frmAbout::vbwHyperlink1, hyperlink::kClassName, APP_WEB_PAGE_W, WS_VISIBLE | WS_TABSTOP, 840, 1200, 3990, 210,
     0, &kLinkFont},
    {frmAbout::lblhyperlink, WC_STATICW, kAboutWebsite, kLabel, 120, 1200, 615, 255},
    {frmAbout::Command1, WC_BUTTONW, kAboutWebUpdate, WS_TABSTOP | BS_PUSHBUTTON, 3960, 2040, 1140, 345},
};

const form::FormDef kDef{
    .className = L"TavrinAboutBox",
    .caption = kAboutCaption,
    .clientWidth = 5175,
    .clientHeight = 3045,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    .controls = kControls,
    .controlCount = std::size(kControls),
    .defaultButton = frmAbout::cmdOK,
    .cancelButton = frmAbout::cmdOK,
};

constexpr const wchar_t* kMsInfoKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const wchar_t* kMsInfoLocationKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";

bool IsFile(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Starts a program with a normal, focused window.
bool StartProgram(const std::wstring& path) {
    if (path.empty()) return false;
    launch::Options o;
    o.application = path;
    o.commandLine = L"\"" + path + L"\"";
    o.show = SW_SHOWNORMAL;
    return static_cast<bool>(launch::Start(o));
}

}  // namespace

std::wstring AboutVersionLine() {
    return kAboutVersionPrefix + std::to_wstring(APP_VERSION_MAJOR) + L"." + std::to_wstring(APP_VERSION_MINOR);
}

frmAbout::frmAbout() { hyperlink::RegisterLinkClass(); }

const form::FormDef& frmAbout::Definition() const { return kDef; }

void frmAbout::Form_Load() {
    HICON icon = mainIcon_;
    if (!icon) {
        if (!ownIcon_)
            ownIcon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
        icon = ownIcon_.get();
    }
    shownIcon_ = icon;
    if (icon) {
        SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        if (mainIcon_) SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SendMessageW(Item(picIcon), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    SetCaption(kAboutCaptionPrefix + AppTitle);
    SetText(lblVersion, AboutVersionLine());
    SetText(lblTitle, AppTitle);
    WinVersionRecord v;
    if (versionRecord_)
        SetText(lblplatform, PlatformLine(*versionRecord_));
    else if (QueryWinVersion(v))
        SetText(lblplatform, PlatformLine(v));
    SetText(lblDescription, kAboutNotice);
    SetText(lblDisclaimer, kAboutDisclaimer);
    hyperlink::SetAddress(Item(vbwHyperlink1), APP_WEB_PAGE_W);
}

void frmAbout::OnCommand(int id, int, HWND) {
    switch (id) {
    case cmdOK: cmdOK_Click(); break;
    case cmdSysInfo: cmdSysInfo_Click(); break;
    default: break;  // the link opens its page itself; Command1 has no action
    }
}

bool frmAbout::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != WM_PAINT) return false;
    PaintLines();
    result = 0;
    return true;
}

// The etched separator under the link: a white line two pixels wide under a grey one.
void frmAbout::PaintLines() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    const int y = Px(1560), right = Px(5160);
    {
        raii::Brush white(CreateSolidBrush(RGB(255, 255, 255)));
        RECT r{0, y, right, y + 2};
        FillRect(dc, &r, white.get());
    }
    {
        raii::Brush grey(CreateSolidBrush(RGB(128, 128, 128)));
        RECT r{0, y, right, y + 1};
        FillRect(dc, &r, grey.get());
    }
    EndPaint(Hwnd(), &ps);
}

void frmAbout::cmdOK_Click() { Unload(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
    std::wstring path;
    bool found = GetKeyValue(HKEY_LOCAL_MACHINE, kMsInfoKey, L"PATH", path);
    if (!found && GetKeyValue(HKEY_LOCAL_MACHINE, kMsInfoLocationKey, L"MSINFO", path)) {
        const std::wstring exe = path + L"\\MSINFO32.EXE";
        if (IsFile(exe)) {
            path = exe;
            found = true;
        }
    }
    if (found && StartProgram(path)) return;
    modal::MsgBox(kSysInfoUnavailable, MB_OK);
}

bool GetKeyValue(HKEY KeyRoot, const std::wstring& KeyName, const std::wstring& SubKeyRef, std::wstring& KeyVal) {
    // Read access is all we need; asking for more fails for every user who is not an administrator.
    raii::RegKey key;
    if (RegOpenKeyExW(KeyRoot, KeyName.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::vector<BYTE> buf(2048);
    DWORD type = 0, size = 0;
    LONG rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
        size = static_cast<DWORD>(buf.size());
        rc = RegQueryValueExW(key.get(), SubKeyRef.c_str(), nullptr, &type, buf.data(), &size);
        if (rc == ERROR_MORE_DATA) buf.resize(static_cast<size_t>(size) + sizeof(wchar_t));
    }
    if (rc != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    if (type == REG_SZ) {
        std::wstring s(size / sizeof(wchar_t), L'\0');
        if (!s.empty()) std::memcpy(s.data(), buf.data(), s.size() * sizeof(wchar_t));
        if (!s.empty() && s.back() == L'\0') s.pop_back();  // stored with or without its terminator
        KeyVal = s;
    } else if (type == REG_DWORD) {
        DWORD v = 0;
        std::memcpy(&v, buf.data(), size < sizeof(v) ? size : sizeof(v));
        KeyVal = std::to_wstring(v);
    }
    return true;
}

void ShowAboutBox(HICON mainIcon) {
    frmAbout& about = form::Single<frmAbout>();
    if (!about.IsLoaded()) about.SetMainIcon(mainIcon);
    about.Show();
}
