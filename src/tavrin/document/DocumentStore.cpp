#include "DocumentStore.h"

#include <new>

#include "Texts.h"
#include "basTavrin.h"

namespace docfile {

namespace {

// The system's code for a character without a place in the encoding (ERROR_NO_UNICODE_TRANSLATION).
constexpr unsigned long kNoUnicodeTranslation = 1113;

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

}  // namespace

std::wstring SizeText(unsigned long long bytes) {
    constexpr unsigned long long mb = 1024ull * 1024;
    if (bytes < 1024) return std::to_wstring(bytes) + L" bytes";
    if (bytes < mb) return std::to_wstring((bytes + 512) / 1024) + L" KB";
    const unsigned long long tenths = (bytes * 10 + mb / 2) / mb;
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L" MB";
}

Opened Open(const std::wstring& path, int largeFileKB, Questions& questions, Files& files, const Encoding* as) {
    unsigned long code = 0;
    unsigned long long size = 0;
    if (!files.Size(path, size, code)) return OpenFailed(files.Reason(code));
    if (const unsigned long long most = files.MaxLoadBytes(); size > most) return OpenFailed(TooBigText(size, most));
    if (settings::IsLargeFile(size, largeFileKB) &&
        !questions.OpenLargeFile(path + L"\n\n" + texts::LargeFileQuestion + SizeText(size) +
                                 texts::LargeFileQuestionEnd)) {
        Opened declined;
        declined.status = Status::Declined;
        return declined;
    }
    Opened r;
    try {
        std::string bytes;
        if (!files.Read(path, bytes, code)) return OpenFailed(files.Reason(code));
        r.file = as ? DecodeAs(std::move(bytes), *as) : Decode(std::move(bytes));
    } catch (const std::bad_alloc&) {
        return OpenFailed(texts::NoMemoryForFile);  // nothing shown has changed
    }
    r.status = Status::Done;
    return r;
}

Saved Save(const std::wstring& path, std::string_view text, const FileFormat& format, const Changes& changes,
           Questions& questions, Files& files) {
    Saved declined;
    declined.status = Status::Declined;
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
    Saved r;
    r.status = Status::Done;
    r.format = written;
    return r;
}

}  // namespace docfile
