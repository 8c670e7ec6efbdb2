// The editing area `t1` on the platform's RichEdit control, in plain-text mode.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace richtext {

// Loads Msftedit.dll (RICHEDIT50W), falling back to riched20; the class name, or null when neither loads.
const wchar_t* LoadLibraryClass();

// A RichEdit child with both scroll bars always shown, no line wrapping and no text limit to speak of.
HWND Create(HWND parent, int id);

// The whole text, line ends as CR LF.
std::wstring GetText(HWND edit);
// Called while a text goes in, with the characters done so far.
using Progress = std::function<void(size_t done, size_t total)>;

// Replaces the whole content with `text` (line ends as CR LF) in one stream, without an undo step.
void SetText(HWND edit, const std::wstring& text, const Progress& progress = {});

}  // namespace richtext
