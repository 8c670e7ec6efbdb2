// The editing area `t1` on the platform's RichEdit control, in plain-text mode.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace richtext {

// Loads Msftedit.dll (RICHEDIT50W), falling back to riched20; the class name, or null when neither loads.
const wchar_t* LoadLibraryClass();

// A plain-text RichEdit child with both scroll bars, no line wrapping and no text limit to speak of.
HWND Create(HWND parent, int id);

// The whole text, line ends as CR LF.
std::wstring GetText(HWND edit);
// Called while a text goes in, with the characters done so far.
using Progress = std::function<void(size_t done, size_t total)>;

// How SetText hands the text over.
enum class LoadMethod { Auto, Stream, Pieces };

// Replaces the whole content with `text` (line ends as CR LF) without an undo step. Auto: pieces of
// 64 K characters added at the end for texts from 320 K characters in the 32-bit build, whose
// control lays one big stream out super-linearly slowly under Wine; otherwise one stream (the 64-bit
// build, where that is faster, small texts, and text holding NUL characters).
void SetText(HWND edit, const std::wstring& text, const Progress& progress = {}, LoadMethod method = LoadMethod::Auto);

}  // namespace richtext
