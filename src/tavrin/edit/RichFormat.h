// Character formats of the editing area: the base face of all text, and colour, size, bold and
// italic at the selection (or of what is typed next at the caret).
#pragma once
#include <windows.h>

#include <string>

namespace richformat {

// The face every text of the area is drawn in.
std::wstring FaceName(HWND edit);
void SetFaceName(HWND edit, const std::wstring& face, BYTE charset);

// Colour and size at the selection; false when the selection mixes several.
bool SelectionColor(HWND edit, COLORREF& color);
bool SelectionPoints(HWND edit, double& points);
// Bold and italic at the selection (false when mixed).
bool SelectionBold(HWND edit);
bool SelectionItalic(HWND edit);

void SetSelectionFont(HWND edit, bool bold, bool italic, double points);
void SetSelectionColor(HWND edit, COLORREF color);
// Background of the whole area.
void SetBackColor(HWND edit, COLORREF color);

}  // namespace richformat
