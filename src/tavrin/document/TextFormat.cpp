#include "TextFormat.h"

#include "Texts.h"

namespace textformat {

Ends EndsOf(const HeldText& text, docfile::LineEnd style) {
    docfile::LineEndCounter counter;  // a CR LF the gap splits is one line end
    counter.Add(text.before);
    counter.Add(text.after);
    return EndsOf(counter.Counts(), style);
}

Ends EndsOf(const docfile::LineEndCounts& n, docfile::LineEnd style) {
    const int kinds = (n.crlf > 0) + (n.lf > 0) + (n.cr > 0);
    if (kinds > 1) return Ends::Mixed;
    if (n.lf) return Ends::Lf;
    if (n.cr) return Ends::Cr;
    if (n.crlf) return Ends::CrLf;
    return style == docfile::LineEnd::Lf ? Ends::Lf : style == docfile::LineEnd::Cr ? Ends::Cr : Ends::CrLf;
}

std::wstring PanelText(const docfile::FileFormat& format, Ends ends) {
    return docfile::FormatName(format) + L", " + texts::LineEndNames[static_cast<int>(ends)];
}

docfile::LineEnd LineEndItem(int index) {
    constexpr docfile::LineEnd kItems[] = {docfile::LineEnd::CrLf, docfile::LineEnd::Lf, docfile::LineEnd::Cr};
    return kItems[index < 0 || index > 2 ? 0 : index];
}

int CheckedLineEndItem(Ends ends) { return ends == Ends::Mixed ? -1 : static_cast<int>(ends); }

namespace {

using docfile::Encoding;
constexpr docfile::FileFormat kSaveChoices[] = {
    {Encoding::Ansi, false}, {Encoding::Utf8, false}, {Encoding::Utf8, true},
    {Encoding::Utf16Le, true}, {Encoding::Utf16Be, true},
};

}  // namespace

docfile::FileFormat SaveChoice(int index, docfile::LineEnd lineEnd) {
    docfile::FileFormat f = kSaveChoices[index < 0 || index > 4 ? 0 : index];
    f.lineEnd = lineEnd;
    return f;
}

int SaveChoiceOf(const docfile::FileFormat& format) {
    for (int i = 0; i < 5; ++i)
        if (kSaveChoices[i].encoding == format.encoding && (kSaveChoices[i].bom == format.bom || i >= 3)) return i;
    return -1;
}

docfile::Encoding ReopenItem(int index) {
    using docfile::Encoding;
    constexpr Encoding kItems[] = {Encoding::Ansi, Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be,
                                   Encoding::Oem};
    return kItems[index < 0 || index > 4 ? 0 : index];
}

}  // namespace textformat
