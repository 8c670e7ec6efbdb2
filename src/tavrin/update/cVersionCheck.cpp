#include "cVersionCheck.h"


#include <deque>
#include <mutex>
#include <thread>

#include "Raii.h"
#include "SystemApis.h"
#include "VersionFile.h"
#include "mShellExecute.h"

namespace {

constexpr UINT kAnswerMessage = WM_APP + 0x56;
constexpr const wchar_t* kSinkClass = L"TavrinVersionCheckSink";
constexpr DWORD kTimeoutMs = 15000;

// Handles exist only once wininet is loaded, so closing one can use it.
struct NetTraits {
    using Type = HINTERNET;
    static HINTERNET Invalid() { return nullptr; }
    static bool Valid(HINTERNET h) { return h != nullptr; }
    static void Close(HINTERNET h) { syslib::WinInetApi()->InternetCloseHandle(h); }
};
using NetHandle = raii::Unique<NetTraits>;

struct Answer {
    unsigned generation;
    int32_t failure;  // 0 when the file was read
    VersionFile file;
    bool newer;
    std::wstring url;
};

}  // namespace

struct cVersionCheck::Channel {
    std::mutex lock;
    std::deque<Answer> answers;
    HWND sink = nullptr;  // null once the component is gone
    unsigned generation = 0;
};

bool IsParsedWebAddress(const std::wstring& url) {
    if (!IsWebAddress(url)) return false;
    const syslib::WinInet* api = syslib::WinInetApi();
    if (!api) return false;
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = 1;  // report where each part is
    if (!api->InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
    return (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS) &&
           parts.dwHostNameLength > 0;
}

int32_t FetchVersionFile(const std::wstring& url, std::string& body) {
    body.clear();
    if (!IsParsedWebAddress(url)) return cVersionCheck::kCannotConnect;
    const syslib::WinInet* api = syslib::WinInetApi();
    if (!api) return cVersionCheck::kCannotConnect;
    NetHandle net(api->InternetOpenW(L"Tavrin", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!net) return cVersionCheck::kCannotConnect;
    DWORD timeout = kTimeoutMs;
    api->InternetSetOptionW(net.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
    api->InternetSetOptionW(net.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
    api->InternetSetOptionW(net.get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof(timeout));
    NetHandle req(api->InternetOpenUrlW(net.get(), url.c_str(), nullptr, 0,
                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_CACHE_WRITE |
                                 INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH,
                             0));
    if (!req) return cVersionCheck::kCannotConnect;
    DWORD status = 0, len = sizeof(status);
    if (!api->HttpQueryInfoW(req.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &len, nullptr) ||
        status != 200)
        return cVersionCheck::kFileNotFound;
    // One byte more than a version file may have tells an oversized one.
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!api->InternetReadFile(req.get(), chunk, sizeof(chunk), &got)) return cVersionCheck::kCannotConnect;
        if (got == 0) break;
        body.append(chunk, got);
        if (body.size() > kMaxVersionFileBytes) return cVersionCheck::kFileNotFound;
    }
    return 0;
}

cVersionCheck::cVersionCheck() : channel_(std::make_shared<Channel>()) {}

cVersionCheck::~cVersionCheck() {
    {
        std::lock_guard<std::mutex> g(channel_->lock);
        channel_->sink = nullptr;
        channel_->answers.clear();
    }
    if (sink_) {
        SetWindowLongPtrW(sink_, GWLP_USERDATA, 0);
        DestroyWindow(sink_);
    }
}

void cVersionCheck::Cancel() {
    std::lock_guard<std::mutex> g(channel_->lock);
    ++channel_->generation;
    channel_->answers.clear();
    pending_ = 0;
}

void cVersionCheck::Check() {
    if (!sink_) {
        HINSTANCE inst = GetModuleHandleW(nullptr);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        if (!GetClassInfoExW(inst, kSinkClass, &wc)) {
            wc = WNDCLASSEXW{};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = &cVersionCheck::SinkProc;
            wc.hInstance = inst;
            wc.lpszClassName = kSinkClass;
            RegisterClassExW(&wc);
        }
        sink_ = CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
        if (!sink_) {
            if (CheckFailed) CheckFailed(kCannotConnect);
            return;
        }
        SetWindowLongPtrW(sink_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        std::lock_guard<std::mutex> g(channel_->lock);
        channel_->sink = sink_;
    }
    unsigned generation;
    {
        std::lock_guard<std::mutex> g(channel_->lock);
        generation = channel_->generation;
    }
    ++pending_;
    std::shared_ptr<Channel> channel = channel_;
    const std::wstring address = url, running = version;
    // Detached: a server that hangs must not hold up closing the window; the time-outs bound it.
    std::thread([channel, address, running, generation] {
        Answer a{generation, 0, {}, false, address};
        if (!IsVersionText(running)) {
            a.failure = kBadRunningVersion;
        } else {
            std::string body;
            a.failure = FetchVersionFile(address, body);
            if (a.failure == 0 && (!ParseVersionFile(body, a.file) || !IsParsedWebAddress(a.file.download)))
                a.failure = kFileNotFound;
            if (a.failure == 0) a.newer = CompareVersions(a.file.version, running) > 0;
        }
        std::lock_guard<std::mutex> g(channel->lock);
        if (!channel->sink || channel->generation != generation) return;
        channel->answers.push_back(std::move(a));
        PostMessageW(channel->sink, kAnswerMessage, 0, 0);
    }).detach();
}

LRESULT CALLBACK cVersionCheck::SinkProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kAnswerMessage) {
        if (auto* self = reinterpret_cast<cVersionCheck*>(GetWindowLongPtrW(h, GWLP_USERDATA))) self->Deliver();
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

void cVersionCheck::Deliver() {
    Answer a;
    {
        std::lock_guard<std::mutex> g(channel_->lock);
        if (channel_->answers.empty()) return;
        a = std::move(channel_->answers.front());
        channel_->answers.pop_front();
        if (a.generation != channel_->generation) return;
    }
    if (pending_ > 0) --pending_;
    if (a.failure != 0) {
        if (CheckFailed) CheckFailed(a.failure);
    } else if (a.newer) {
        if (autolaunchbrowser) GShell(a.file.download, SW_SHOWNORMAL, L"", L"", L"open", nullptr);
        if (NewVersion) NewVersion(a.file.version, a.file.download, a.file.info, a.url);
    } else {
        if (UpToDate) UpToDate();
    }
}
