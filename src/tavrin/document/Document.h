// The editor's one document: its state and the File commands as window-free logic. The window
// supplies the text, the dialogs and the prompt through DocumentUi; the files are read and written
// by the file policy (DocumentStore), which asks its questions through docfile::Questions.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "DocumentStore.h"
#include "TextDigest.h"
#include "basTavrin.h"

enum class PromptAnswer { Yes, No, Cancel };

// An opened file's text on its way into the editing area, shown only once it is all in; dropped
// unshown when destroyed before (the area keeps what it had).
class TextLoad : public docfile::TextSink {
public:
    // Shows the text, new lines taking `newLines`; false with the reason when the area cannot hold it.
    virtual bool Show(docfile::LineEnd newLines, std::wstring& reason) = 0;
};

class DocumentUi {
public:
    virtual ~DocumentUi() = default;
    // The editing area's whole text as UTF-8, line ends as held, in the two runs it lies in; valid
    // until the area changes.
    virtual HeldText EditorText() = 0;
    // A mark for the text the editing area holds now, and whether it still holds it (nothing typed,
    // pasted or loaded since). Without a way to tell: 0 and false, and the text is compared.
    virtual unsigned long long MarkEditor() { return 0; }
    virtual bool EditorUnchangedSince(unsigned long long) { return false; }
    // Empties the editing area; new lines end with CR LF.
    virtual void ClearEditor() = 0;
    // Replaces the editing area's content with an opened file's text (UTF-8, line ends as in the file),
    // new lines taking `newLines`; false with the reason when the area cannot hold it.
    virtual bool ShowText(std::string_view text, docfile::LineEnd newLines, std::wstring& reason) = 0;
    // A text of about `bytes` bytes to go in piece by piece; by default gathered and then shown
    // with ShowText.
    virtual std::unique_ptr<TextLoad> StartLoad(unsigned long long bytes);
    // Runs the reading of a file into a load; the window may keep answering meanwhile and let the
    // user stop it, setting `stop` (the reading then ends soon). False when stopped.
    virtual bool RunRead(const std::function<void(const std::atomic<bool>& stop)>& read) {
        const std::atomic<bool> never{false};
        read(never);
        return true;
    }
    virtual PromptAnswer AskSaveChanges() = 0;
    // The Open / Save As dialogs starting in `folder`: true with the full path and the file title.
    virtual bool ChooseOpenPath(const std::wstring& folder, std::wstring& path, std::wstring& title) = 0;
    // Save As also offers the encoding: `format` in, the document's; out, the one chosen.
    virtual bool ChooseSavePath(const std::wstring& folder, std::wstring& path, std::wstring& title,
                                docfile::FileFormat& format) = 0;
    // A message about a file (a failure, or binary data just opened).
    virtual void ShowError(const std::wstring& message) = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    // The text is on disk now (every save, by whatever route asked for it).
    virtual void Saved() {}
    // While held, EditorText's runs stay valid even where a question lets the window's timers run.
    virtual void HoldEditor(bool) {}
};

class Document {
public:
    // `settings`: the owner's, as they stand at each command (LargeFileKB).
    Document(DocumentUi& ui, docfile::Questions& questions, docfile::Files& files, const settings::Values& settings)
        : ui_(ui), questions_(questions), files_(files), settings_(settings) {}

    std::wstring DocumentPath;
    std::wstring DocumentTitle;
    // The text as last loaded or saved, kept as its length and digest.
    textdigest::TextDigest SavedText;
    // How the document is written (from the file it came from), and what saving the opened file
    // unchanged would change (asked before writing).
    docfile::FileFormat Format;
    docfile::Changes PendingChanges;
    std::wstring WindowCaption = CaptionFor(L"");
    bool ExitConfirmed = false;
    bool SaveCancelled = false;
    // The file as last read or written here, and the last change of it already raised.
    filewatch::Identity DiskIdentity, RaisedIdentity;

    // Unchanged since the load or save, or else the same text as then.
    bool IsModified() {
        const std::optional<bool> told = ModifiedAtOnce();
        return told ? *told : !SavedText.Matches(ui_.EditorText());
    }
    // The same where no comparing of the whole text is needed (no change since, or another length);
    // nothing where it is.
    std::optional<bool> ModifiedAtOnce() {
        if (ui_.EditorUnchangedSince(savedMark_)) return false;
        if (ui_.EditorText().size() != SavedText.Length()) return true;
        return std::nullopt;
    }
    // Back to the initial state (a new window).
    void Reset();

    // Each command returns true when it went through, false when cancelled or failed, or while a
    // file is being read (the window still answers then).
    bool New(const std::wstring& initDir);
    bool Open(const std::wstring& initDir);
    bool Save(const std::wstring& initDir);
    bool SaveAs(const std::wstring& initDir);
    // A file dropped on the window or given on the command line.
    bool Drop(const std::wstring& path, const std::wstring& initDir);
    // The prompt; true when the caller may go on (No, or Yes with a completed save).
    bool AskToSaveChanges(const std::wstring& initDir);
    // Before the window closes: asks when modified unless Exit already did; false keeps it open.
    bool QueryClose(const std::wstring& initDir);
    // File > Exit's question; true when the program may end (ExitConfirmed is then set).
    bool ConfirmExit(const std::wstring& initDir);
    // Shows recovered unsaved text (UTF-8) as a modified document under its path (empty: untitled),
    // to be written in `format`; false, after saying why, when the area cannot hold it.
    bool Recover(const std::wstring& path, const docfile::FileFormat& format, std::string_view text);

    // Reads the file again in `encoding` (asking first when the text is modified); the choice holds
    // for this document, so its saves and reloads use it too.
    bool Reopen(docfile::Encoding encoding, const std::wstring& initDir);

    enum class DiskChange { None, Reloaded, Kept, Gone, Waiting };
    // Compares the file on disk with the one read or written last. A change is asked about once
    // (only when `mayAsk`, else it waits for a check that may) and Yes reads the file again; a
    // deleted file leaves the text marked modified, for Save to write it again.
    DiskChange CheckDisk(bool mayAsk);

    // "Untitled - Tavrin" for no title, otherwise "<title> - Tavrin".
    static std::wstring CaptionFor(const std::wstring& title);
    // While the window is told of a new caption: the line ends of the text, when they were counted as
    // it was read (a big file's count then needs no second pass).
    const std::optional<docfile::LineEndCounts>& KnownEnds() const { return knownEnds_; }

private:
    bool LoadInto(const std::wstring& path, const std::wstring& title);
    void KnowDisk(const filewatch::Identity& id) { DiskIdentity = RaisedIdentity = id; }
    bool WriteTo(const std::wstring& path);
    void SetCaption(const std::wstring& caption, const std::optional<docfile::LineEndCounts>& ends = {});

    DocumentUi& ui_;
    docfile::Questions& questions_;
    docfile::Files& files_;
    const settings::Values& settings_;
    unsigned long long savedMark_ = 0;
    bool reading_ = false;
    std::optional<docfile::Encoding> chosenEncoding_;
    std::optional<docfile::LineEndCounts> knownEnds_;
};
