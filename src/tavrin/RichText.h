// The editing area `t1` on the platform's RichEdit control, in plain-text mode.
#pragma once
#include <windows.h>

#include <string>

namespace richtext {

// Loads Msftedit.dll (RICHEDIT50W), falling back to riched20; the class name, or null when neither loads.
const wchar_t* LoadLibraryClass();

// A plain-text RichEdit child with both scroll bars, no line wrapping and no text limit to speak of.
HWND Create(HWND parent, int id);

// The whole text, line ends as CR LF.
std::wstring GetText(HWND edit);
// Replaces the whole content with `text`, streamed in.
void SetText(HWND edit, const std::wstring& text);

}  // namespace richtext
