#include "cVersionCheck.h"


#include <thread>

#include "Raii.h"
#include "SystemApis.h"
#include "VersionFile.h"
#include "GShell.h"

namespace {

constexpr DWORD kTimeoutMs = 15000;

// Handles exist only once wininet is loaded, so closing one can use it.
struct NetTraits {
    using Type = HINTERNET;
    static HINTERNET Invalid() { return nullptr; }
    static bool Valid(HINTERNET h) { return h != nullptr; }
    static void Close(HINTERNET h) { syslib::WinInetApi()->InternetCloseHandle(h); }
};
using NetHandle = raii::Unique<NetTraits>;

}  // namespace

struct cVersionCheck::Answer {
    unsigned generation;
    int32_t failure;  // 0 when the file was read
    VersionFile file;
    bool newer;
    std::wstring url;
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

cVersionCheck::cVersionCheck() : fetch(FetchVersionFile), generation_(std::make_shared<std::atomic<unsigned>>(0)) {}

// The mailbox goes with the component: answers still on their way are dropped unrun.
cVersionCheck::~cVersionCheck() = default;

void cVersionCheck::Cancel() {
    ++*generation_;
    pending_ = 0;
}

void cVersionCheck::Check() {
    if (!mailbox_) mailbox_ = std::make_unique<uitask::Mailbox>();
    const unsigned generation = *generation_;
    ++pending_;
    const uitask::Poster poster = mailbox_->GetPoster();
    std::shared_ptr<std::atomic<unsigned>> current = generation_;
    const std::wstring address = url, running = version;
    // Detached: a server that hangs must not hold up closing the window; the time-outs bound it.
    std::thread([this, poster, current, address, running, generation, read = fetch] {
        Answer a{generation, 0, {}, false, address};
        if (!IsVersionText(running)) {
            a.failure = kBadRunningVersion;
        } else {
            std::string body;
            a.failure = read(address, body);
            if (a.failure == 0 && (!ParseVersionFile(body, a.file) || !IsParsedWebAddress(a.file.download)))
                a.failure = kFileNotFound;
            if (a.failure == 0) a.newer = CompareVersions(a.file.version, running) > 0;
        }
        if (*current != generation) return;
        // Runs only while this component (and so its mailbox) is there.
        poster.Post([this, a = std::move(a)] { Deliver(a); });
    }).detach();
}

void cVersionCheck::Deliver(const Answer& a) {
    if (a.generation != *generation_) return;
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
