#include "RecoveryGuard.h"

#include <new>

#include "AppInfo.h"
#include "Document.h"
#include "MainBars.h"
#include "Modal.h"
#include "Paths.h"
#include "Texts.h"

void RecoveryGuard::Attach(HWND window, UINT_PTR timerId, Source source) {
    window_ = window;
    timerId_ = timerId;
    source_ = std::move(source);
    keptForNextStart_ = false;
}

void RecoveryGuard::Edited() {
    // The first change of a run: the worker gets the copy's memory ready while the user types.
    if (!schedule_.Pending() && source_.length) keeper_.Reserve(source_.length() + (64 << 10));
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
    if (schedule_.Pending() && GetTickCount64() >= schedule_.Due()) WriteNow();
    else Arm();
    return true;
}

void RecoveryGuard::WriteNow() {
    schedule_.Written();
    if (!source_.modified || !source_.modified()) {
        keeper_.Remove();
        return;
    }
    recovery::Record r;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    r.writtenAt = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    // A copy: the worker writes it while the user types on.
    r.text = keeper_.TakeSpare();
    try {
        source_.snapshot(r);
    } catch (const std::bad_alloc&) {
        return;  // no memory for a copy of so big a text now: the last copy stays, the next change tries again
    }
    keeper_.Write(std::move(r));
}

void RecoveryGuard::Stored() {
    schedule_.Written();
    keeper_.Remove();
}

void RecoveryGuard::SessionEnds(bool userDecided) {
    if (!userDecided && source_.modified && source_.modified()) {
        WriteNow();
        keptForNextStart_ = true;
    } else {
        keeper_.Remove();
    }
    keeper_.WaitIdle();
}

void RecoveryGuard::Closed() {
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
