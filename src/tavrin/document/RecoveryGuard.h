// The unsaved text's safety net for one window: when its recovery file is written, when it goes,
// what the end of the session leaves for the next start, and the offer of files left behind.
// The window tells it what happened; it never reaches into the window.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "Recovery.h"
#include "RecoveryFiles.h"
#include "TextDigest.h"

class Document;

class RecoveryGuard {
public:
    // What the guard reads from the window: whether the text is unsaved where that needs no
    // comparing of the whole text (nothing where it does: the guard then compares its copy, and
    // `saved` tells whether the text of that hash is the saved one), how long it is (bytes), its
    // path and format into a record, and its bytes [from, to) into `into` (which has room for a NUL
    // after them).
    struct Source {
        std::function<std::optional<bool>()> modified;
        std::function<bool(const textdigest::TextHash&)> saved;
        std::function<size_t()> length;
        std::function<void(recovery::Record&)> head;
        std::function<void(size_t from, size_t to, char* into)> copy;
    };

    void Attach(HWND window, UINT_PTR timerId, Source source);

    // Every change of the text: written once the typing pauses.
    void Edited();
    // True when `id` was the guard's timer (the write is then done, under way or re-armed).
    bool OnTimer(UINT_PTR id);
    // Written now when the text is unsaved, removed otherwise.
    void WriteNow();
    // The document was saved or replaced (Save, Save As, a build's save, New, Open, a drop, a
    // recovery): nothing of it is left to recover.
    void Stored();
    // The session ends. Unsaved text whose fate the user did not decide stays for the next start,
    // and a later close keeps it too.
    void SessionEnds(bool userDecided);
    // The window closes for good: nothing is left to recover, unless the session's end kept it.
    void Closed();

    // At start: offers the unsaved text of a window that ended without saving it; Yes shows it in
    // `doc` (after the save-changes question where `doc` is modified).
    void OfferLeftBehind(Document& doc, const std::wstring& initDir,
                         const std::function<void(const std::wstring&)>& tell);

    recovery::Keeper& Keeper() { return keeper_; }

private:
    void Arm();
    // A big text is copied a few MB at each tick of the timer, so that no keystroke waits for the
    // whole copy; a change meanwhile drops the copy, and the write waits for the next pause.
    void StartCopy(size_t length);
    void CopySome();
    // Written (a big text in parts when `inParts`) or removed; false when the text is the saved one.
    bool Write(bool inParts);
    std::string TakeBuffer();
    // To the worker, with the text's path, format and time; unless it is the saved text after all
    // (then false, and the last copy goes).
    bool Hand(std::string text);

    HWND window_ = nullptr;
    UINT_PTR timerId_ = 0;
    Source source_;
    recovery::Keeper keeper_;
    recovery::Schedule schedule_;
    bool keptForNextStart_ = false;
    std::string copy_;
    size_t copied_ = 0, copyLength_ = 0;
    bool copying_ = false;
    bool compare_ = false;  // the copy decides whether the text is unsaved
    textdigest::TextHash hash_;
};
