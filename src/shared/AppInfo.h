// Program-wide values: the title every window shows, the executable's name and folder.
#pragma once
#include <string>

// "Tavrin" or "Pellamy"; set by the main window when it loads.
extern std::wstring AppTitle;

// A system message text with its inserts ("%1", "%2!s!", ... up to "%99") replaced by `name`, or by
// a neutral word when no name is known; "%%" and the other escapes stay as they are.
std::wstring FillMessageInserts(const std::wstring& text, const std::wstring& name);

// The running executable's file name without extension ("Tavrin", "Pellamy64").
std::wstring ExeName();
// The folder the executable lives in, without a trailing separator.
std::wstring ProgramFolder();
// Full path of the running executable.
std::wstring ExePath();
// The system's text for an error code, without the trailing line end, its inserts filled with
// `name` (the file concerned, where one is known); empty when it has none. Every system message a
// user sees comes from here.
std::wstring SystemErrorText(unsigned long code, const std::wstring& name = {});
