// The document's file policy, without a window: what opening a file asks and gives the editing
// area, and what saving it asks and writes. The questions go to the caller's Questions, the file
// calls to its Files (the system's in DocumentStore_win.cpp).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "FileEncoding.h"
#include "FileWatch.h"
#include "HeldText.h"

namespace docfile {

// The questions of opening and saving, each with its whole text; true for Yes.
class Questions {
public:
    virtual ~Questions() = default;
    // The file is above the large-file setting: open it all the same?
    virtual bool OpenLargeFile(const std::wstring& question) = 0;
    // Characters the file's encoding has no place for: save as UTF-8 instead?
    virtual bool SaveAsUtf8(const std::wstring& question) = 0;
    // The bytes would open again as other text: save as UTF-8 with a mark instead?
    virtual bool SaveWithMark(const std::wstring& question) = 0;
    // Saving changes what was opened (bytes the encoding does not map back): save anyway?
    virtual bool SaveWithChanges(const std::wstring& question) = 0;
    // Another program changed the file: read it again? And Save over that change: save anyway?
    virtual bool ReloadChanged(const std::wstring& question) = 0;
    virtual bool SaveOverChange(const std::wstring& question) = 0;
};

// The file calls; each failure gives the system's error code.
class Files {
public:
    virtual ~Files() = default;
    virtual bool Size(const std::wstring& path, unsigned long long& size, unsigned long& error) = 0;
    virtual bool Read(const std::wstring& path, std::string& bytes, unsigned long& error) = 0;
    // The file in pieces, each handed to `take` (false stops the reading); the whole from Read unless
    // the files read in pieces themselves.
    virtual bool ReadPieces(const std::wstring& path, const std::function<bool(std::string_view)>& take,
                            unsigned long& error);
    // Writes the whole file so that a failure leaves the old one.
    virtual bool Write(const std::wstring& path, std::string_view bytes, unsigned long& error) = 0;
    // The same for a file of several parts one after another; joined for Write unless the files
    // write parts themselves. `verdict`, when given, says whether the parts may replace the file:
    // asked before each piece (wait false) and before the replacement (wait true); a no leaves the
    // old file as it was (error 1223, cancelled).
    virtual bool WriteParts(const std::wstring& path, const std::vector<std::string_view>& parts, unsigned long& error,
                            const std::function<bool(bool wait)>& verdict = {});
    // The system's text for an error code.
    virtual std::wstring Reason(unsigned long error) = 0;
    // The biggest file the editing area can take on this system.
    virtual unsigned long long MaxLoadBytes() = 0;
    // Which file the path names now, to tell another program's change.
    virtual filewatch::Identity Identity(const std::wstring& path) = 0;
};

// The files of the system (Windows only).
Files& SystemFiles();

enum class Status {
    Done,
    Declined,  // the user said no: nothing to report
    Failed,    // `reason` says why
};

struct Opened {
    Status status = Status::Failed;
    Decoded file;  // the text as the editing area takes it, its format and what a save would change
    std::wstring reason;
};

// Where an opened file's text goes, piece by piece (UTF-8, line ends as in the file).
class TextSink {
public:
    virtual ~TextSink() = default;
    // False when there is no memory for it.
    virtual bool Add(std::string_view text) = 0;
    // The text so far is void: it comes again from the start.
    virtual void Restart() = 0;
};

// Whether the file may be opened: Done with its size when it is within what the editing area
// takes, after asking when it is above `largeFileKB` KB (0: never asks).
Opened CheckOpen(const std::wstring& path, int largeFileKB, Questions& questions, Files& files,
                 unsigned long long& size);
// Reads and decodes the file into `sink`; `file` then holds its format and changes (its text went
// to the sink). `as`: decoded in that encoding instead of the one found.
Opened Read(const std::wstring& path, Files& files, TextSink& sink, const Encoding* as = nullptr);

struct Saved {
    Status status = Status::Failed;
    FileFormat format;  // how the file was written
    std::wstring reason;
};

// Writes the text (UTF-8, as the editing area holds it) in `format`, or in UTF-8 when the user takes the offer, after the question about
// `changes` when there are any. Nothing is written unless every answer is Yes.
Saved Save(const std::wstring& path, const HeldText& text, const FileFormat& format, const Changes& changes,
           Questions& questions, Files& files);

// A size for people: "512 bytes", "300 KB", "1.5 MB", "2.0 GB".
std::wstring SizeText(unsigned long long bytes);

}  // namespace docfile
