// Texts of the shared modules (shell-open failures, About box) that a user can see.
#pragma once

namespace texts {

// Failure messages of GShell, as the shell-open operation reports them.
inline constexpr const wchar_t* kShellOutOfMemory = L"Out of memory";
inline constexpr const wchar_t* kShellFileNotFound = L"File not found";
inline constexpr const wchar_t* kShellPathNotFound = L"Path not found";
inline constexpr const wchar_t* kShellAccessError = L"Path/file access error";
inline constexpr const wchar_t* kShellBadExe = L"The executable file is invalid or corrupt";
inline constexpr const wchar_t* kShellSharing = L"A sharing violation occurred.";
inline constexpr const wchar_t* kShellNoAssocValid = L"This file type does not have a valid file association.";
inline constexpr const wchar_t* kShellDdeTimeout =
    L"The file could not be opened due to time out.  Please try again in a moment.";
inline constexpr const wchar_t* kShellDdeFail =
    L"The file could not be opened because the DDE transaction failed.  Please try again in a moment.";
inline constexpr const wchar_t* kShellDdeBusy =
    L"The file could not be opened because the target application is busy.  Please try again in a moment.";
inline constexpr const wchar_t* kShellNoAssoc = L"No application is associated with this file type.";
inline constexpr const wchar_t* kShellDllNotFound = L"The specified dynamic-link library was not found.";
// The doubled word is the message as users of earlier releases know it.
inline constexpr const wchar_t* kShellGeneral =
    L"An error occurred occurred whilst trying to open or print the selected file.";
inline constexpr const wchar_t* kShellSourceSuffix = L".GShell";

// Stands in a system message for a name the program does not know.
inline constexpr const wchar_t* kUnnamedInsert = L"(unnamed)";

// About box.
inline constexpr const wchar_t* kAboutCaption = L"About";
inline constexpr const wchar_t* kAboutCaptionPrefix = L"About ";
inline constexpr const wchar_t* kAboutTitleDesign = L"Application Title";
inline constexpr const wchar_t* kAboutPlatformDesign = L"Platform";
inline constexpr const wchar_t* kAboutVersionDesign = L"Version";
inline constexpr const wchar_t* kAboutVersionPrefix = L"Version ";
inline constexpr const wchar_t* kAboutDescriptionDesign = L"App Description";
inline constexpr const wchar_t* kAboutWebsite = L"Website";
inline constexpr const wchar_t* kAboutDisclaimerDesign = L"Warning: ...";
inline constexpr const wchar_t* kAboutOK = L"OK";
inline constexpr const wchar_t* kAboutSysInfo = L"&System Info...";
inline constexpr const wchar_t* kAboutWebUpdate = L"Web Update";
inline constexpr const wchar_t* kAboutNotice = L"Free tools for programmers, from Tavrin Tools.";
inline constexpr const wchar_t* kAboutDisclaimer =
    L"Warning: this program is protected by copyright law and international treaties. "
    L"Unauthorised copying or distribution of this program, or of any part of it, "
    L"may result in severe civil and criminal penalties.";
inline constexpr const wchar_t* kSysInfoUnavailable = L"System Information Is Unavailable At This Time";

}  // namespace texts
