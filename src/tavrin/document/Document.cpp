#include "Document.h"

#include <optional>

#include "Paths.h"
#include "Texts.h"
#include "basTavrin.h"

namespace {

class GatheredLoad : public TextLoad {
public:
    explicit GatheredLoad(DocumentUi& ui) : ui_(ui) {}
    bool Add(std::string_view text) override { return text_.append(text), true; }
    void Restart() override { text_.clear(); }
    bool Show(docfile::LineEnd newLines, std::wstring& reason) override { return ui_.ShowText(text_, newLines, reason); }

private:
    DocumentUi& ui_;
    std::string text_;
};

// The text hashed on its way, for telling later whether it has changed.
class HashedSink : public docfile::TextSink {
public:
    HashedSink(docfile::TextSink& to, const std::atomic<bool>& stop) : to_(to), stop_(stop) {}
    bool Add(std::string_view text) override { return !stop_ && (hash.Add(text), to_.Add(text)); }
    void Restart() override {
        hash = {};
        to_.Restart();
    }
    textdigest::TextHash hash;

private:
    docfile::TextSink& to_;
    const std::atomic<bool>& stop_;
};

}  // namespace

std::unique_ptr<TextLoad> DocumentUi::StartLoad(unsigned long long) { return std::make_unique<GatheredLoad>(*this); }

std::wstring Document::CaptionFor(const std::wstring& title) {
    return title.empty() ? std::wstring(texts::UntitledCaption) : title + texts::CaptionSuffix;
}

void Document::Reset() {
    DocumentPath.clear();
    DocumentTitle.clear();
    SavedText.Mark("");
    savedMark_ = 0;
    Format = docfile::FileFormat();
    PendingChanges = docfile::Changes();
    chosenEncoding_.reset();
    KnowDisk({});
    WindowCaption = CaptionFor(L"");
    ExitConfirmed = false;
    SaveCancelled = false;
}

void Document::SetCaption(const std::wstring& caption, const std::optional<docfile::LineEndCounts>& ends) {
    WindowCaption = caption;
    knownEnds_ = ends;
    ui_.SetCaption(caption);
    knownEnds_.reset();
}

bool Document::AskToSaveChanges(const std::wstring& initDir) {
    switch (ui_.AskSaveChanges()) {
    case PromptAnswer::Yes:
        // Yes always shows the Save dialog; a cancelled or failed save stops the caller.
        SaveCancelled = !SaveAs(initDir);
        break;
    case PromptAnswer::No:
        SaveCancelled = false;
        break;
    default:
        SaveCancelled = true;
        break;
    }
    return !SaveCancelled;
}

bool Document::New(const std::wstring& initDir) {
    if (reading_) return false;
    // New asks whenever there is text, modified or not.
    if (!ui_.EditorText().empty() && !AskToSaveChanges(initDir)) return false;
    chosenEncoding_.reset();
    SetCaption(CaptionFor(L""), docfile::LineEndCounts{});  // the text it names is the empty one that follows
    DocumentPath.clear();
    DocumentTitle.clear();
    ui_.ClearEditor();
    Format = docfile::FileFormat();
    PendingChanges = docfile::Changes();
    SavedText.Mark("");
    savedMark_ = ui_.MarkEditor();
    KnowDisk({});
    return true;
}

bool Document::LoadInto(const std::wstring& path, const std::wstring& title) {
    // Taken before the read: a change while it reads is seen by the next check.
    const filewatch::Identity disk = files_.Identity(path);
    const docfile::Encoding* as = chosenEncoding_ ? &*chosenEncoding_ : nullptr;
    unsigned long long size = 0;
    docfile::Opened opened = docfile::CheckOpen(path, settings_.largeFileKB, questions_, files_, size);
    if (opened.status == docfile::Status::Declined) return false;
    std::unique_ptr<TextLoad> load;
    textdigest::TextHash hash;
    if (opened.status == docfile::Status::Done) {
        load = ui_.StartLoad(size);
        reading_ = true;
        struct Reading {
            bool& flag;
            ~Reading() { flag = false; }
        } reading{reading_};
        const bool read = ui_.RunRead([&](const std::atomic<bool>& stop) {
            HashedSink sink(*load, stop);
            opened = docfile::Read(path, files_, sink, as);
            hash = sink.hash;
        });
        if (!read) return false;  // stopped by the user: the text shown stays
    }
    std::wstring reason = opened.reason;
    if (opened.status != docfile::Status::Done || !load->Show(opened.file.format.lineEnd, reason)) {
        if (!reason.empty()) ui_.ShowError(texts::CannotOpen + path + L"\n\n" + reason);
        return false;
    }
    Format = opened.file.format;
    PendingChanges = opened.file.changes;
    if (opened.file.binary) ui_.ShowError(path + L"\n\n" + texts::BinaryWarning);
    DocumentPath = path;
    DocumentTitle = title;
    SetCaption(CaptionFor(title), opened.file.ends);
    SavedText.Mark(hash);
    savedMark_ = ui_.MarkEditor();
    if (as && opened.file.changes.Any()) {
        SavedText.MarkNone();  // not the file's bytes any more: modified until saved
        savedMark_ = 0;
    }
    KnowDisk(disk);
    return true;
}

bool Document::Open(const std::wstring& initDir) {
    if (reading_) return false;
    if (IsModified() && !AskToSaveChanges(initDir)) return false;
    std::wstring path, title;
    if (!ui_.ChooseOpenPath(initDir, path, title) || path.empty()) return false;
    chosenEncoding_.reset();
    return LoadInto(path, title.empty() ? paths::Name(path) : title);
}

bool Document::Drop(const std::wstring& path, const std::wstring& initDir) {
    if (reading_) return false;
    if (path.empty()) return false;
    if (IsModified() && !AskToSaveChanges(initDir)) return false;
    chosenEncoding_.reset();
    return LoadInto(path, paths::Name(path));
}

bool Document::WriteTo(const std::wstring& path) {
    const bool unchanged = ui_.EditorUnchangedSince(savedMark_);
    // Written from where the area keeps the text, which its timers must not move while a question
    // of the save waits.
    struct Hold {
        DocumentUi& ui;
        explicit Hold(DocumentUi& u) : ui(u) { ui.HoldEditor(true); }
        ~Hold() { ui.HoldEditor(false); }
    } hold(ui_);
    // The saved text's new mark is made beside the write.
    std::optional<textdigest::HashBeside> mark;
    if (!unchanged) mark.emplace(ui_.EditorText());
    const docfile::Saved saved = docfile::Save(path, ui_.EditorText(), Format, PendingChanges, questions_, files_);
    if (saved.status != docfile::Status::Done) {
        // Declined: the user's choice, nothing to report.
        if (!saved.reason.empty()) ui_.ShowError(texts::CannotSave + path + L"\n\n" + saved.reason);
        return false;
    }
    Format = saved.format;
    PendingChanges = docfile::Changes();
    if (mark) SavedText.Mark(mark->Take());  // otherwise it is the text already marked
    savedMark_ = ui_.MarkEditor();
    KnowDisk(files_.Identity(path));
    ui_.Saved();
    return true;
}

bool Document::Save(const std::wstring& initDir) {
    if (reading_) return false;
    if (DocumentPath.empty() || DocumentTitle.empty()) return SaveAs(initDir);
    if (filewatch::SaveAsks(DiskIdentity, files_.Identity(DocumentPath)) &&
        !questions_.SaveOverChange(filewatch::SaveQuestion(DocumentTitle)))
        return false;
    return WriteTo(DocumentPath);
}

bool Document::SaveAs(const std::wstring& initDir) {
    if (reading_) return false;
    std::wstring path, title;
    docfile::FileFormat chosen = Format;
    if (!ui_.ChooseSavePath(initDir, path, title, chosen) || path.empty()) return false;
    const docfile::FileFormat before = Format;
    Format.encoding = chosen.encoding;
    Format.bom = chosen.bom;
    if (!WriteTo(path)) {
        Format = before;
        return false;
    }
    DocumentPath = path;
    DocumentTitle = title.empty() ? paths::Name(path) : title;
    SetCaption(CaptionFor(DocumentTitle));
    return true;
}

bool Document::QueryClose(const std::wstring& initDir) {
    if (reading_) return false;
    if (ExitConfirmed || !IsModified()) return true;
    return AskToSaveChanges(initDir);
}

bool Document::Recover(const std::wstring& path, const docfile::FileFormat& format, std::string_view text) {
    if (reading_) return false;
    std::wstring reason;
    if (!ui_.ShowText(text, format.lineEnd, reason)) {
        if (!reason.empty()) ui_.ShowError(reason);
        return false;
    }
    Format = format;
    PendingChanges = docfile::Changes();
    chosenEncoding_.reset();
    DocumentPath = path;
    DocumentTitle = path.empty() ? std::wstring() : paths::Name(path);
    SetCaption(CaptionFor(DocumentTitle));
    // Not saved anywhere yet: modified until it is.
    SavedText.MarkNone();
    savedMark_ = 0;
    KnowDisk({});
    return true;
}

bool Document::Reopen(docfile::Encoding encoding, const std::wstring& initDir) {
    if (reading_) return false;
    if (DocumentPath.empty() || (IsModified() && !AskToSaveChanges(initDir))) return false;
    const std::optional<docfile::Encoding> before = chosenEncoding_;
    chosenEncoding_ = encoding;
    if (LoadInto(DocumentPath, DocumentTitle)) return true;
    chosenEncoding_ = before;
    return false;
}

Document::DiskChange Document::CheckDisk(bool mayAsk) {
    if (reading_) return DiskChange::Waiting;
    if (DocumentPath.empty()) return DiskChange::None;
    const filewatch::Identity now = files_.Identity(DocumentPath);
    const filewatch::Verdict v = filewatch::Decide(DiskIdentity, now, RaisedIdentity, [this] { return IsModified(); });
    if (v == filewatch::Verdict::Same) return DiskChange::None;
    if (v != filewatch::Verdict::Gone && !mayAsk) return DiskChange::Waiting;
    RaisedIdentity = now;  // raised once, whatever the answer
    if (v == filewatch::Verdict::Gone) {
        SavedText.MarkNone();  // the text is the only copy now
        savedMark_ = 0;
        return DiskChange::Gone;
    }
    if (!questions_.ReloadChanged(filewatch::Question(v, DocumentTitle))) return DiskChange::Kept;
    // A failed read says why and keeps the text; the change stays raised.
    return LoadInto(DocumentPath, DocumentTitle) ? DiskChange::Reloaded : DiskChange::Kept;
}

bool Document::ConfirmExit(const std::wstring& initDir) {
    if (reading_) return false;
    if (IsModified() && !AskToSaveChanges(initDir)) return false;
    ExitConfirmed = true;
    return true;
}
