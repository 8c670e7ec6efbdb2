#include "RecoveryGuard.h"

#include <algorithm>
#include <chrono>
#include <new>

#include "AppInfo.h"
#include "Document.h"
#include "MainBars.h"
#include "Modal.h"
#include "Paths.h"
#include "Texts.h"

namespace {

// Above this a write copies the text in parts; below it one copy takes a few ms at most.
constexpr size_t kCopyInParts = 16 << 20, kCopyPart = 4 << 20;
constexpr auto kCopyBurst = std::chrono::milliseconds(8);

}  // namespace

void RecoveryGuard::Attach(HWND window, UINT_PTR timerId, Source source) {
    window_ = window;
    timerId_ = timerId;
    source_ = std::move(source);
    keptForNextStart_ = false;
}

void RecoveryGuard::Edited() {
    copying_ = false;
    // The first change of a run: the worker gets the memory of a copy made at once ready while the
    // user types. A copy made in parts touches its memory a part at a time; made ready here, 850 MB
    // of fresh pages kept the other core busy for seconds, and a save soon after took four times as
    // long.
    if (!schedule_.Pending() && source_.length)
        if (const size_t length = source_.length(); length <= kCopyInParts) keeper_.Reserve(length + (64 << 10));
    schedule_.Changed(GetTickCount64());
    Arm();
}

void RecoveryGuard::Arm() {
    if (!schedule_.Pending() || !window_) return;
    const ULONGLONG now = GetTickCount64(), due = schedule_.Due();
    SetTimer(window_, timerId_, due > now ? static_cast<UINT>(due - now) : 1, nullptr);
}

bool RecoveryGuard::OnTimer(UINT_PTR id) {
    if (id != timerId_ || !window_) return false;
    KillTimer(window_, timerId_);
    if (copying_) CopySome();
    else if (!schedule_.Pending() || GetTickCount64() < schedule_.Due()) Arm();
    else Write(true);
    return true;
}

void RecoveryGuard::StartCopy(size_t length) {
    if (copy_.empty()) copy_ = keeper_.TakeSpare();  // else a copy a change dropped
    copy_.clear();  // grown a part at a time, not zeroed whole first
    try {
        copy_.reserve(length + 1);
    } catch (const std::bad_alloc&) {
        // No memory for a copy now: the last copy stays and the next change tries again, unless
        // the text is the saved one after all (compared through a small buffer, all at once).
        schedule_.Written();
        if (compare_ && source_.saved) try {
            std::string part(kCopyPart + 1, '\0');
            textdigest::TextHash hash;
            for (size_t from = 0; from < length; from += kCopyPart) {
                const size_t to = std::min(length, from + kCopyPart);
                source_.copy(from, to, part.data());
                hash.Add(std::string_view(part.data(), to - from));
            }
            if (source_.saved(hash)) keeper_.Remove();
        } catch (const std::bad_alloc&) {
        }
        return;
    }
    copyLength_ = length;
    copied_ = 0;
    hash_ = {};
    copying_ = true;
    CopySome();
}

void RecoveryGuard::CopySome() {
    const auto end = std::chrono::steady_clock::now() + kCopyBurst;
    const size_t length = copyLength_;
    if (source_.length() != length) {  // changed without a word: copy again after a pause
        copying_ = false;
        schedule_.Changed(GetTickCount64());
        Arm();
        return;
    }
    while (copied_ < length) {
        const size_t to = std::min(length, copied_ + kCopyPart);
        copy_.resize(to + 1);  // within the memory reserved
        source_.copy(copied_, to, copy_.data() + copied_);
        if (compare_) hash_.Add(std::string_view(copy_.data() + copied_, to - copied_));
        copied_ = to;
        if (GetInputState() || std::chrono::steady_clock::now() >= end) break;  // a key waits one part at most
    }
    if (copied_ < length) {
        SetTimer(window_, timerId_, 1, nullptr);
        return;
    }
    copying_ = false;
    schedule_.Written();
    copy_.pop_back();
    std::string text;
    text.swap(copy_);
    Hand(std::move(text));
}

bool RecoveryGuard::Hand(std::string text) {
    if (compare_ && source_.saved && source_.saved(hash_)) {
        keeper_.Remove();  // changed and changed back
        return false;
    }
    recovery::Record r;
    source_.head(r);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    r.writtenAt = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    r.text = std::move(text);
    keeper_.Write(std::move(r));
    return true;
}

std::string RecoveryGuard::TakeBuffer() {
    // The memory of a copy a change dropped, or of a text already written.
    copying_ = false;
    if (copy_.empty()) return keeper_.TakeSpare();
    std::string dropped;
    dropped.swap(copy_);
    return dropped;
}

void RecoveryGuard::WriteNow() { Write(false); }

bool RecoveryGuard::Write(bool inParts) {
    const std::optional<bool> modified = source_.modified ? source_.modified() : std::optional<bool>(false);
    if (modified == false) {
        schedule_.Written();
        keeper_.Remove();
        return false;
    }
    // Of the saved length but changed: the copy is compared, a big one as its parts are made, so
    // no keystroke waits for a comparison of the whole text.
    compare_ = !modified;
    const size_t length = source_.length();
    if (inParts && length > kCopyInParts) {
        StartCopy(length);
        return true;
    }
    schedule_.Written();
    // A copy: the worker writes it while the user types on.
    std::string text = TakeBuffer();
    try {
        text.resize(length + 1);
    } catch (const std::bad_alloc&) {
        return true;  // no memory for a copy of so big a text now: the last copy stays, the next change tries again
    }
    source_.copy(0, length, text.data());
    text.pop_back();
    hash_ = {};
    if (compare_) hash_.Add(text);
    return Hand(std::move(text));
}

void RecoveryGuard::Stored() {
    copying_ = false;
    schedule_.Written();
    keeper_.Remove();
}

void RecoveryGuard::SessionEnds(bool userDecided) {
    if (userDecided) keeper_.Remove();
    else keptForNextStart_ = Write(false);  // removed where the text is the saved one
    keeper_.WaitIdle();
}

void RecoveryGuard::Closed() {
    copying_ = false;
    if (!keptForNextStart_) keeper_.Remove();
    keeper_.WaitIdle();
}

void RecoveryGuard::OfferLeftBehind(Document& doc, const std::wstring& initDir,
                                    const std::function<void(const std::wstring&)>& tell) {
    for (const std::wstring& file : recovery::LeftBehind()) {
        const recovery::Parsed loaded = recovery::Load(file);
        if (!loaded) {
            // Never half applied; kept for whoever wants to look at it.
            const std::wstring aside = recovery::PutAside(file);
            tell(texts::RecoveryUnusable + file + L"\n\n" + loaded.failure +
                 (aside.empty() ? std::wstring() : L"\n\n" + std::wstring(texts::RecoveryKeptAs) + aside));
            continue;
        }
        const recovery::Record& r = loaded.record;
        const std::wstring title = r.path.empty() ? texts::UntitledDocument : paths::Name(r.path);
        const int answer = modal::MsgBox(texts::RecoverAskStart + title + L" (" + bars::LocalDateTime(r.writtenAt) +
                                             L")" + texts::RecoverAskEnd,
                                         MB_YESNOCANCEL | MB_ICONQUESTION, AppTitle, window_);
        if (answer == IDNO) recovery::Delete(file);
        if (answer != IDYES) continue;  // Cancel keeps it for a later start
        if (doc.IsModified() && !doc.AskToSaveChanges(initDir)) continue;
        if (!doc.Recover(r.path, r.format, r.text)) continue;
        // The text is this window's now, kept in its own recovery file.
        WriteNow();
        recovery::Delete(file);
        break;  // one document per window: any others wait for another start
    }
}
