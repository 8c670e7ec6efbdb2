// The common Open dialog in one call that takes and returns every setting through its arguments.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "OpenDialogText.h"

// The Owner value for "no owner".
inline HWND NoOwner() { return reinterpret_cast<HWND>(static_cast<INT_PTR>(-1)); }

// True when the user chose a file. After a cancel (or a failed dialog) FileName, FileTitle and
// Filter are empty, FilterIndex is -1 and Flags 0. An initial FileName longer than the buffer
// raises error 5.
bool ShowOpenDialog(std::wstring& FileName, std::wstring& FileTitle, bool& FileMustExist, bool& MultiSelect,
                    bool& ReadOnly, bool& HideReadOnly, std::wstring& Filter, int32_t& FilterIndex,
                    std::wstring& InitDir, std::wstring& DlgTitle, std::wstring& DefaultExt, HWND& Owner,
                    int32_t& Flags);

// The common Save dialog for one file, with the overwrite prompt; `fileName` is the proposed name
// on entry and the chosen path on return. False when cancelled.
bool ShowSaveDialog(std::wstring& fileName, const std::wstring& filter, const std::wstring& defaultExt,
                    const std::wstring& title, HWND owner);

using pellamy::GetFilterPair;
using pellamy::StripAtNull;
