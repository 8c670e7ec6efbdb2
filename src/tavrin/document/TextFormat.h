// How the document is written, as the status bar shows it and the Format and File menus choose it:
// the encoding and the line ends (the style of new lines, or "Mixed" when the text holds several).
#pragma once
#include <string>
#include <string_view>

#include "FileEncoding.h"
#include "HeldText.h"

namespace textformat {

enum class Ends { CrLf, Lf, Cr, Mixed };

// The line ends the text holds; a text without any has the document's style.
Ends EndsOf(const HeldText& text, docfile::LineEnd style);
// The same from the counts, when they are known (a load counts them as it reads).
Ends EndsOf(const docfile::LineEndCounts& counts, docfile::LineEnd style);
// "UTF-8, CR LF" for the status bar.
std::wstring PanelText(const docfile::FileFormat& format, Ends ends);

// Format > Line Ends, in menu order: the item's style, and the item checked for the ends (-1: none).
docfile::LineEnd LineEndItem(int index);
int CheckedLineEndItem(Ends ends);
// Save As's "Encoding:" list: ANSI, UTF-8, UTF-8 with BOM, UTF-16 LE, UTF-16 BE (each with its mark
// where it has one); the item of a format (-1 for one the list lacks).
docfile::FileFormat SaveChoice(int index, docfile::LineEnd lineEnd);
int SaveChoiceOf(const docfile::FileFormat& format);
// File > Reopen with Encoding, in menu order.
docfile::Encoding ReopenItem(int index);

}  // namespace textformat
