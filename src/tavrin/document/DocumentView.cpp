#include "DocumentView.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <exception>

#include "Modal.h"
#include "Paths.h"
#include "SaveAsEncoding.h"
#include "EditArea.h"
#include "Texts.h"
#include "UiTask.h"
#include "basTavrin.h"

namespace {

// Loads of more than this many bytes show progress and run on a worker, Esc stopping them.
constexpr size_t kProgressBytes = 32 * 1024 * 1024;

// "a|b|c|d" -> "a\0b\0c\0d\0\0" as the file dialogs take it.
std::wstring DialogFilter(const wchar_t* joined) {
    std::wstring f = joined;
    for (auto& c : f)
        if (c == L'|') c = L'\0';
    f.push_back(L'\0');
    f.push_back(L'\0');
    return f;
}

}  // namespace

void DocumentView::Attach(HWND owner, HWND edit) {
    owner_ = owner;
    edit_ = edit;
}

std::wstring DocumentView::Text() const { return edit_ ? editarea::GetText(edit_) : std::wstring(); }

void DocumentView::SetText(const std::wstring& text) {
    if (edit_) editarea::SetText(edit_, text);
    NoteTextChanged();
}

HeldText DocumentView::EditorText() { return edit_ ? editarea::Held(edit_) : HeldText(); }

void DocumentView::HoldEditor(bool hold) {
    if (edit_) editarea::HoldGap(edit_, hold);
}

void DocumentView::ClearEditor() {
    SetText(L"");
    if (edit_) editarea::SetNewLineEnds(edit_, docfile::LineEnd::CrLf);
    saveType_ = -1;
    if (OnDocumentChanged) OnDocumentChanged(true);
}

unsigned long long DocumentView::MarkEditor() {
    if (edit_) editarea::MarkUnmodified(edit_);
    return textChanges_ + 1;
}

bool DocumentView::TextChangesCounted() const { return edit_ && editarea::ReportsChanges(edit_); }

bool DocumentView::EditorUnchangedSince(unsigned long long mark) {
    // The change count and the control's own modified flag must both say so.
    return mark == textChanges_ + 1 && TextChangesCounted() && !editarea::Modified(edit_);
}

// The text goes into a document of its own, the progress bar showing for a big one.
class DocumentView::AreaLoad : public TextLoad {
public:
    AreaLoad(DocumentView& view, unsigned long long bytes)
        : view_(view), loader_(view.edit_, static_cast<size_t>(bytes)), total_(static_cast<size_t>(bytes)) {
        view_.load_ = this;
    }
    ~AreaLoad() override {
        view_.load_ = nullptr;
        view_.EndLoadProgress();
    }
    // Add and Restart may run on a worker (RunRead).
    bool Add(std::string_view text) override {
        if (!loader_.Add(text)) return false;
        done_ = std::min(loader_.Size(), total_);
        return true;
    }
    void Restart() override {
        loader_.Restart();
        done_ = 0;
    }
    void Settle() { loader_.Settle(); }
    bool Show(docfile::LineEnd newLines, std::wstring& reason) override {
        view_.EndLoadProgress();
        if (!view_.edit_) {
            reason = texts::NoEditingArea;
            return false;
        }
        if (!loader_.Finish()) {
            reason = texts::NoMemoryForFile;  // the text shown before stays
            return false;
        }
        view_.Shown(newLines);
        return true;
    }
    size_t Done() const { return done_; }
    size_t Total() const { return total_; }

private:
    DocumentView& view_;
    raii::WaitCursor wait_;
    editarea::Loader loader_;
    std::atomic<size_t> done_{0};
    size_t total_;
};

void DocumentView::ShowLoadProgress() {
    if (!progress_ || !load_) return;
    const size_t total = load_->Total();
    SendMessageW(progress_, PBM_SETPOS, total ? static_cast<WPARAM>(1000ull * load_->Done() / total) : 0, 0);
}

bool DocumentView::RunRead(const std::function<void(const std::atomic<bool>& stop)>& read) {
    // A small file is in before a key could be pressed: read here, so keys typed meanwhile still count.
    if (!edit_ || !load_ || !progress_) return DocumentUi::RunRead(read);
    std::exception_ptr failed;
    uitask::Waiting waiting;
    // After a second the caption says how to stop; it goes back once the reading ends.
    const ULONGLONG started = GetTickCount64();
    std::wstring caption;
    bool told = false;
    waiting.tick = [&] {
        ShowLoadProgress();
        if (told || !owner_ || GetTickCount64() - started < 1000) return;
        told = true;
        caption.resize(static_cast<size_t>(GetWindowTextLengthW(owner_)) + 1);
        caption.resize(static_cast<size_t>(GetWindowTextW(owner_, caption.data(), static_cast<int>(caption.size()))));
        SetWindowTextW(owner_, texts::ReadingFile);
    };
    waiting.escStops = [] { return true; };
    const bool ran = uitask::RunWhileDrawn(
        [&](const std::atomic<bool>& stop) {
            try {
                read(stop);
                if (!stop) load_->Settle();
            } catch (...) {
                failed = std::current_exception();
            }
        },
        waiting);
    if (told && owner_) SetWindowTextW(owner_, caption.c_str());
    if (failed) std::rethrow_exception(failed);
    return ran;
}

std::unique_ptr<TextLoad> DocumentView::StartLoad(unsigned long long bytes) {
    if (edit_ && owner_ && bytes > kProgressBytes && !progress_) {
        RECT r{};
        GetClientRect(owner_, &r);
        const int h = GetSystemMetrics(SM_CYHSCROLL) + 4;
        progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, r.bottom - h, r.right, h,
                                    owner_, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (progress_) {
            SendMessageW(progress_, PBM_SETRANGE32, 0, 1000);
            SetWindowPos(progress_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            UpdateWindow(progress_);
        }
    }
    return std::make_unique<AreaLoad>(*this, bytes);
}

void DocumentView::EndLoadProgress() {
    if (progress_) DestroyWindow(progress_);
    progress_ = nullptr;
}

bool DocumentView::ShowText(std::string_view text, docfile::LineEnd newLines, std::wstring& reason) {
    const std::unique_ptr<TextLoad> load = StartLoad(text.size());
    constexpr size_t kPiece = 1 << 20;
    ULONGLONG shown = GetTickCount64();
    for (size_t done = 0; done < text.size(); done += kPiece) {
        if (!edit_ || !load->Add(text.substr(done, kPiece))) {
            reason = edit_ ? texts::NoMemoryForFile : texts::NoEditingArea;
            return false;
        }
        if (GetTickCount64() - shown >= 100) {
            shown = GetTickCount64();
            ShowLoadProgress();
            // Keep the window painted (nothing else runs before the text is in).
            MSG m;
            while (PeekMessageW(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&m);
        }
    }
    return load->Show(newLines, reason);
}

void DocumentView::Shown(docfile::LineEnd newLines) {
    editarea::SetNewLineEnds(edit_, newLines);
    NoteTextChanged();  // the Find dialog's copy of the text is stale now
    saveType_ = -1;
    if (OnDocumentChanged) OnDocumentChanged(true);
}

bool DocumentView::ChooseFile(bool save, const std::wstring& folder, std::wstring& path, std::wstring& title,
                              docfile::FileFormat* format) {
    const std::wstring filter = DialogFilter(save ? texts::SaveFilter : texts::OpenFilter);
    std::wstring file(32768, L'\0'), fileTitle(MAX_PATH + 1, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(settings_.defaultFileType + 1);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    // The current folder stays where it is: nothing depends on it, paths are made complete on entry.
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    SaveAsEncoding encoding(format ? *format : docfile::FileFormat());
    if (format) encoding.AddTo(ofn);
    const BOOL ok = save ? modal::SaveFile(ofn) : modal::OpenFile(ofn);
    if (!ok) return false;
    path = paths::Full(file.c_str());
    title = fileTitle.c_str();
    if (save) saveType_ = static_cast<int>(ofn.nFilterIndex) - 1;
    if (format) *format = encoding.Chosen(*format);
    return !path.empty();
}

bool DocumentView::ChooseOpenPath(const std::wstring& folder, std::wstring& path, std::wstring& title) {
    return ChooseFile(false, folder, path, title, nullptr);
}

bool DocumentView::ChooseSavePath(const std::wstring& folder, std::wstring& path, std::wstring& title,
                                  docfile::FileFormat& format) {
    return ChooseFile(true, folder, path, title, &format);
}

void DocumentView::SetCaption(const std::wstring& caption) {
    if (owner_) SetWindowTextW(owner_, caption.c_str());
    if (OnDocumentChanged) OnDocumentChanged(false);  // the caption follows the document's name
}
