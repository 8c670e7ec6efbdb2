// A small link control: shows its caption underlined in link colour with a hand cursor and opens
// its address through GShell when clicked, or on Space or Enter while it has the focus. It then
// also tells its parent with WM_COMMAND (id, BN_CLICKED).
#pragma once
#include <windows.h>

#include <string>

namespace hyperlink {

inline constexpr const wchar_t* kClassName = L"TavrinHyperlink";

// Registers the window class once per process; true when it is available.
bool RegisterLinkClass();

void SetAddress(HWND link, const std::wstring& address);
std::wstring Address(HWND link);
// Follows the link as a click would; true when the shell accepted the address.
bool Follow(HWND link);

}  // namespace hyperlink
