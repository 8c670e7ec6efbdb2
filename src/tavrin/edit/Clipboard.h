// The system clipboard as plain (Unicode) text. Opening it can fail while another program holds it:
// that raises a run-time error and changes nothing.
#pragma once
#include <windows.h>

#include <string>

namespace clipboard {

// Clears the clipboard and puts `text` on it (an empty text too).
void SetText(HWND owner, const std::wstring& text);
// The clipboard's text; empty when it holds no text.
std::wstring GetText(HWND owner);

}  // namespace clipboard
