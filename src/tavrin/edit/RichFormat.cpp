#include "RichFormat.h"

#include <richedit.h>

namespace richformat {

namespace {

CHARFORMAT2W Get(HWND edit, WPARAM which) {
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    SendMessageW(edit, EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

void Set(HWND edit, WPARAM which, CHARFORMAT2W& cf) {
    cf.cbSize = sizeof(cf);
    SendMessageW(edit, EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf));
}

}  // namespace

std::wstring FaceName(HWND edit) { return Get(edit, SCF_DEFAULT).szFaceName; }

void SetFaceName(HWND edit, const std::wstring& face, BYTE charset) {
    CHARFORMAT2W cf{};
    cf.dwMask = CFM_FACE | CFM_CHARSET;
    cf.bCharSet = charset;
    lstrcpynW(cf.szFaceName, face.c_str(), LF_FACESIZE);
    Set(edit, SCF_ALL, cf);
    Set(edit, SCF_DEFAULT, cf);  // and for text typed where no format is set yet
}

bool SelectionColor(HWND edit, COLORREF& color) {
    const CHARFORMAT2W cf = Get(edit, SCF_SELECTION);
    if (!(cf.dwMask & CFM_COLOR)) return false;
    color = (cf.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : cf.crTextColor;
    return true;
}

bool SelectionPoints(HWND edit, double& points) {
    const CHARFORMAT2W cf = Get(edit, SCF_SELECTION);
    if (!(cf.dwMask & CFM_SIZE) || cf.yHeight <= 0) return false;
    points = cf.yHeight / 20.0;
    return true;
}

bool SelectionBold(HWND edit) {
    const CHARFORMAT2W cf = Get(edit, SCF_SELECTION);
    return (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD);
}

bool SelectionItalic(HWND edit) {
    const CHARFORMAT2W cf = Get(edit, SCF_SELECTION);
    return (cf.dwMask & CFM_ITALIC) && (cf.dwEffects & CFE_ITALIC);
}

void SetSelectionFont(HWND edit, bool bold, bool italic, double points) {
    CHARFORMAT2W cf{};
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_SIZE;
    cf.dwEffects = (bold ? CFE_BOLD : 0) | (italic ? CFE_ITALIC : 0);
    cf.yHeight = static_cast<LONG>(points * 20 + 0.5);
    Set(edit, SCF_SELECTION, cf);
}

void SetSelectionColor(HWND edit, COLORREF color) {
    CHARFORMAT2W cf{};
    cf.dwMask = CFM_COLOR;
    cf.dwEffects = 0;  // no longer the automatic colour
    cf.crTextColor = color;
    Set(edit, SCF_SELECTION, cf);
}

void SetBackColor(HWND edit, COLORREF color) {
    SendMessageW(edit, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color));
    InvalidateRect(edit, nullptr, TRUE);
}

}  // namespace richformat
