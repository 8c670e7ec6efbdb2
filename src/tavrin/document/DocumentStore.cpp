#include "DocumentStore.h"

#include <atomic>
#include <future>
#include <new>
#include <optional>
#include <system_error>

#include "TextConv.h"

#include "Texts.h"
#include "basTavrin.h"

namespace docfile {

namespace {

// The system's code for a character without a place in the encoding (ERROR_NO_UNICODE_TRANSLATION).
constexpr unsigned long kNoUnicodeTranslation = 1113;
// A write given up before it replaced the file (ERROR_CANCELLED).
constexpr unsigned long kCancelled = 1223;
// From this size a text's bytes are checked on a worker while they are written.
constexpr size_t kCheckBeside = 4u << 20;

Opened OpenFailed(std::wstring reason) {
    Opened r;
    r.reason = std::move(reason);
    return r;
}

Saved SaveFailed(std::wstring reason) {
    Saved r;
    r.reason = std::move(reason);
    return r;
}

std::wstring TooBigText(unsigned long long size, unsigned long long most) {
    constexpr bool narrow = sizeof(void*) == 4;
    return texts::TooBig + SizeText(size) + (narrow ? texts::TooBigEnd : texts::TooBigEnd64) + SizeText(most) +
           (narrow ? texts::TooBigHint : L".");
}

std::wstring ChangesQuestion(const Changes& changes) {
    std::wstring q = std::wstring(texts::WillChange) + L"\n\n";
    if (changes.otherBytes) q += std::wstring(texts::ChangeOtherBytes) + L"\n";
    q += L"\n";
    q += texts::SaveAnyway;
    return q;
}

// Whether the text's own bytes are a UTF-8 or code-page file's: they open again as the same text.
// Valid UTF-8 in a UTF-8 file, not starting with what reads as a mark unless it has one; ASCII for
// a code page, checked in pieces so that the first other byte ends the check. `refused` is set on a no.
bool OwnBytes(const HeldText& text, const FileFormat& format, std::atomic<bool>& refused) {
    const auto no = [&] { return refused = true, false; };
    if (format.encoding != Encoding::Utf8) {
        constexpr size_t kPiece = 1u << 20;
        for (const std::string_view run : {text.before, text.after})
            for (size_t at = 0; at < run.size(); at += kPiece) {
                const std::string_view piece = run.substr(at, kPiece);
                const Utf8Check check = CheckUtf8(piece);
                if (check.high || check.valid != piece.size()) return no();
            }
        return true;
    }
    // Checked in three runs, each starting where a character may: a character the gap splits is
    // checked whole, from a copy of its few bytes.
    const std::string_view a = text.before, b = text.after;
    size_t cut = a.size(), join = 0;
    while (cut > 0 && a.size() - cut < 4)
        if ((static_cast<unsigned char>(a[--cut]) & 0xC0) != 0x80) break;  // the last character's first byte
    while (join < b.size() && join < 3 && (static_cast<unsigned char>(b[join]) & 0xC0) == 0x80) ++join;
    const std::string bridge = std::string(a.substr(cut)) + std::string(b.substr(0, join));
    for (const std::string_view run : {a.substr(0, cut), std::string_view(bridge), b.substr(join)})
        if (CheckUtf8(run).valid != run.size()) return no();
    if (!format.bom && text.size() >= 3 && text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF') return no();
    return true;
}

// The file as parts of the text itself: a mark, the text, a final line end.
std::vector<std::string_view> OwnParts(const HeldText& text, const FileFormat& format) {
    const char last = text.empty() ? '\0' : text[text.size() - 1];
    const bool ended = last == '\n' || last == '\r';
    return {format.encoding == Encoding::Utf8 && format.bom ? std::string_view("\xEF\xBB\xBF") : std::string_view(),
            text.before, text.after, ended ? std::string_view() : LineEndChars(format.lineEnd)};
}

// The common case, written straight from the text without an encoded copy; nothing when the text's
// own bytes are not the file's. A big text is checked on a worker while it is written: the old
// file is replaced only once the check has passed, and a failed check stops the write.
std::optional<Saved> SaveOwnBytes(const std::wstring& path, const HeldText& text, const FileFormat& format,
                                  const Changes& changes, Questions& questions, Files& files) {
    if (format.encoding == Encoding::Utf16Le || format.encoding == Encoding::Utf16Be) return std::nullopt;
    std::atomic<bool> refused{false};
    const auto own = [&] { return OwnBytes(text, format, refused); };
    std::future<bool> beside;
    if (!changes.Any() && text.size() >= kCheckBeside) {
        try {
            beside = std::async(std::launch::async, own);
        } catch (const std::system_error&) {
        }
    }
    unsigned long code = 0;
    if (!beside.valid()) {
        if (!own()) return std::nullopt;
        if (changes.Any() && !questions.SaveWithChanges(ChangesQuestion(changes))) return Saved{Status::Declined};
        if (!files.WriteParts(path, OwnParts(text, format), code)) return SaveFailed(files.Reason(code));
        return Saved{Status::Done, format};
    }
    std::optional<bool> passed;
    const auto verdict = [&](bool wait) { return wait ? *(passed = beside.get()) : !refused; };
    const bool written = files.WriteParts(path, OwnParts(text, format), code, verdict);
    if (!passed) passed = beside.get();
    if (!*passed) return std::nullopt;  // encoded instead
    if (!written) return SaveFailed(files.Reason(code));
    return Saved{Status::Done, format};
}

}  // namespace

std::wstring SizeText(unsigned long long bytes) {
    constexpr unsigned long long mb = 1024ull * 1024;
    if (bytes < 1024) return std::to_wstring(bytes) + L" bytes";
    if (bytes < mb) return std::to_wstring((bytes + 512) / 1024) + L" KB";
    const unsigned long long unit = bytes < 1024 * mb ? mb : 1024 * mb;
    const unsigned long long tenths = (bytes * 10 + unit / 2) / unit;
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + (unit == mb ? L" MB" : L" GB");
}

bool Files::ReadPieces(const std::wstring& path, const std::function<bool(std::string_view)>& take,
                       unsigned long& error) {
    std::string bytes;
    if (!Read(path, bytes, error)) return false;
    take(bytes);
    return true;
}

bool Files::WriteParts(const std::wstring& path, const std::vector<std::string_view>& parts, unsigned long& error,
                       const std::function<bool(bool wait)>& verdict) {
    if (verdict && !verdict(true)) {
        error = kCancelled;
        return false;
    }
    std::string bytes;
    for (const std::string_view part : parts) bytes += part;
    return Write(path, bytes, error);
}

Opened CheckOpen(const std::wstring& path, int largeFileKB, Questions& questions, Files& files,
                 unsigned long long& size) {
    unsigned long code = 0;
    if (!files.Size(path, size, code)) return OpenFailed(files.Reason(code));
    if (const unsigned long long most = files.MaxLoadBytes(); size > most) return OpenFailed(TooBigText(size, most));
    Opened r;
    r.status = Status::Done;
    if (settings::IsLargeFile(size, largeFileKB) &&
        !questions.OpenLargeFile(path + L"\n\n" + texts::LargeFileQuestion + SizeText(size) +
                                 texts::LargeFileQuestionEnd))
        r.status = Status::Declined;
    return r;
}

Opened Read(const std::wstring& path, Files& files, TextSink& sink, const Encoding* as) {
    constexpr Encoding ansi = Encoding::Ansi;
    try {
        // A second pass only when bytes that are not UTF-8 follow text that went out as UTF-8.
        for (const Encoding* in = as;; in = &ansi) {
            Decoder decoder([&](std::string_view text) { return sink.Add(text); }, in);
            Decoder::Step step = Decoder::Step::Go;
            unsigned long code = 0;
            if (!files.ReadPieces(path, [&](std::string_view piece) { return (step = decoder.Add(piece)) == Decoder::Step::Go; }, code))
                return OpenFailed(files.Reason(code));
            if (step == Decoder::Step::Go) step = decoder.Finish();
            if (step == Decoder::Step::Stop) return OpenFailed(texts::NoMemoryForFile);
            if (step == Decoder::Step::Again && in != &ansi) {
                sink.Restart();
                continue;
            }
            Opened r;
            r.status = Status::Done;
            r.file = decoder.Result();
            return r;
        }
    } catch (const std::bad_alloc&) {
        return OpenFailed(texts::NoMemoryForFile);  // nothing shown has changed
    }
}

namespace {

// The text encoded in `format` (or in UTF-8 when the user takes the offer) and written whole.
Saved SaveEncoded(const std::wstring& path, std::string_view text, const FileFormat& format, const Changes& changes,
                  Questions& questions, Files& files) {
    const Saved declined{Status::Declined};
    FileFormat written = format;
    bool unstorable = false;
    std::string bytes = Encode(text, written, &unstorable);
    const bool offeredUtf8 = unstorable;
    if (unstorable && format.encoding == Encoding::Utf8) return SaveFailed(files.Reason(kNoUnicodeTranslation));
    if (unstorable) {
        written.encoding = Encoding::Utf8;
        written.bom = false;
        bytes = Encode(text, written, &unstorable);
        if (unstorable) return SaveFailed(files.Reason(kNoUnicodeTranslation));
        if (!questions.SaveAsUtf8(texts::Unstorable + FormatName(format) + texts::UnstorableEnd)) return declined;
    }
    if (!ReadsBack(text, bytes, written)) {
        // Read back exactly: UTF-8 with its mark. Asked unless the user just chose UTF-8 above.
        const FileFormat asked = written;
        written.encoding = Encoding::Utf8;
        written.bom = true;
        bytes = Encode(text, written);
        if (!offeredUtf8 && !questions.SaveWithMark(texts::ReopensAs + FormatName(asked) + texts::ReopensAsEnd))
            return declined;
    }
    if (changes.Any() && !questions.SaveWithChanges(ChangesQuestion(changes))) return declined;
    unsigned long code = 0;
    if (!files.Write(path, bytes, code)) return SaveFailed(files.Reason(code));
    return {Status::Done, written};
}

}  // namespace

Saved Save(const std::wstring& path, const HeldText& held, const FileFormat& format, const Changes& changes,
           Questions& questions, Files& files) {
    if (std::optional<Saved> saved = SaveOwnBytes(path, held, format, changes, questions, files)) return *saved;
    // Encoded: from one run of the text (a copy only when the gap splits it). A text too big for
    // its encoded copy stays as it is, and the file too.
    try {
        if (held.after.empty()) return SaveEncoded(path, held.before, format, changes, questions, files);
        return SaveEncoded(path, std::string(held.before) + std::string(held.after), format, changes, questions, files);
    } catch (const std::bad_alloc&) {
        return SaveFailed(texts::NoMemoryToSave);
    }
}

}  // namespace docfile
