// Every text Pellamy shows, in one place, so tests compare exact strings.
#pragma once

namespace texts {

// Window and controls.
inline constexpr const wchar_t* kAppName = L"Pellamy";
inline constexpr const wchar_t* kCaption = L"Register or Unregister OCX / DLL";
inline constexpr const wchar_t* kHintDesign = L"File specification of  OCX/DLL file:";
inline constexpr const wchar_t* kHintFirstLine = L"File specification of OCX/DLL";
inline constexpr const wchar_t* kHintExamplePrefix = L"    e.g. ";
inline constexpr const wchar_t* kHintExampleFile = L"\\filename.ocx";
inline constexpr const wchar_t* kBrowse = L"...";
inline constexpr const wchar_t* kBrowseTip = L"Browse ...";
inline constexpr const wchar_t* kPleaseVerify = L"Please verify Product Version, if any:";
inline constexpr const wchar_t* kRegister = L"Register";
inline constexpr const wchar_t* kProceed = L"Proceed";
inline constexpr const wchar_t* kUnregister = L"Unregister";
inline constexpr const wchar_t* kCancel = L"Cancel";
inline constexpr const wchar_t* kExit = L"Exit";

// Menus.
inline constexpr const wchar_t* kMenuFile = L"&File";
inline constexpr const wchar_t* kMenuOpen = L"&Open";
inline constexpr const wchar_t* kMenuExit = L"E&xit";
inline constexpr const wchar_t* kMenuOperations = L"Operations";
inline constexpr const wchar_t* kMenuRegister = L"Register";
inline constexpr const wchar_t* kMenuUnregister = L"Un - Register";
inline constexpr const wchar_t* kMenuHelp = L"Help";
inline constexpr const wchar_t* kMenuAbout = L"About Pellamy";
inline constexpr const wchar_t* kMenuCurrentUser = L"Register for &Current User Only";
inline constexpr const wchar_t* kMenuExport = L"&Export Registration...";

// Path validation.
inline constexpr const wchar_t* kNoPathYet = L"No path and filename yet";
inline constexpr const wchar_t* kFileNotFound = L"File not found";

// Version display.
inline constexpr const wchar_t* kCompanyPrefix = L"Company Name:  ";
inline constexpr const wchar_t* kProductPrefix = L"Product Version:  ";
inline constexpr const wchar_t* kNoProductVersion = L"(No Product Version available for this file)";

// Registration runner.
inline constexpr const wchar_t* kLoadFailure = L"Failure loading control DLL";
inline constexpr const wchar_t* kUnknownCommand = L"Unknown command handle";
inline constexpr const wchar_t* kNoEntryPoint = L"Process failed in obtaining entry point or creating thread.";
inline constexpr const wchar_t* kWorkerNotStarted =
    L"Process failed: the registration thread could not be started, so the module was not loaded.";
inline constexpr const wchar_t* kTimedOut = L"Process failed in signaled state or time-out.";
inline constexpr const wchar_t* kCompleted = L"Process completed";
inline constexpr const wchar_t* kEntryFailed = L"Process failed: the entry point returned ";
inline constexpr const wchar_t* kRunAsAdmin = L"Run Pellamy as administrator to register this file.";
inline constexpr const wchar_t* kEntryCrashed = L"Process failed: the entry point stopped with exception ";
inline constexpr const wchar_t* kAccessViolation = L"(access violation)";
inline constexpr const wchar_t* kEntryEndedThread = L"Process failed: the entry point ended its thread with code ";
inline constexpr const wchar_t* kLoadErrorPrefix = L"Error ";
inline constexpr const wchar_t* kIs64Bit = L"This is a 64-bit module; the 32-bit Pellamy cannot load it. Use ";
inline constexpr const wchar_t* kIs32Bit = L"This is a 32-bit module; the 64-bit Pellamy cannot load it. Use ";
inline constexpr const wchar_t* kOpenInOther = L"Open it in ";
inline constexpr const wchar_t* kOtherProcessor = L"This module is for another processor (";
inline constexpr const wchar_t* kStartOtherFailed = L"Could not start ";

// The command line.
inline constexpr const wchar_t* kSwitchPrefix = L"The switch ";
inline constexpr const wchar_t* kSwitchUnknown = L" is not known.";
inline constexpr const wchar_t* kSwitchNoFile = L" needs a file to work on.";
inline constexpr const wchar_t* kSwitchNeedsInstall = L" works only together with /i.";
inline constexpr const wchar_t* kSwitchConflict = L" cannot be combined with the other switches given.";
inline constexpr const wchar_t* kSwitchOneFile = L" takes exactly one file.";
inline constexpr const wchar_t* kSwitchNoValue = L" needs a file name after the colon.";
inline constexpr const wchar_t* kUsage =
    L"Usage: Pellamy [/u] [/s] [/i[:cmdline]] [/n] [/user] [/export:file.reg] file...";
inline constexpr const wchar_t* kOleFailed = L"Process failed: OLE could not be started (";

// Registration for the current user only.
inline constexpr const wchar_t* kCurrentUserRegistered =
    L"Registered for the current user only (under HKEY_CURRENT_USER\\Software\\Classes).";
inline constexpr const wchar_t* kCurrentUserUnregistered = L"Unregistered for the current user only.";
inline constexpr const wchar_t* kElevatedNote =
    L"Programs running elevated (as administrator) do not see registrations made for the current user.";
inline constexpr const wchar_t* kNotWrittenForUser =
    L"The module also wrote these keys, which could not be written for the current user and were left out:";
inline constexpr const wchar_t* kRedirectFailed = L"Could not redirect the registry for this run: ";
inline constexpr const wchar_t* kRunWhileRedirected =
    L"An earlier run for the current user or export that timed out is still running with the registry "
    L"redirected, so this run would land in its redirection. Nothing was run.\r\nTry again once that module "
    L"has returned, or close Pellamy and start it again.";
inline constexpr const wchar_t* kRedirectBusy =
    L"An earlier run that timed out is still running with the registry redirected. Try again when it has ended.";

// Export of a registration.
inline constexpr const wchar_t* kExportDialogTitle = L"Export Registration";
inline constexpr const wchar_t* kExportFilter = L"Registration Files (*.reg)|*.reg|All Files (*.*)|*.*";
inline constexpr const wchar_t* kExportDefaultExt = L"reg";
inline constexpr const wchar_t* kExportDone = L"Registration exported to ";
inline constexpr const wchar_t* kExportClasses = L"Classes: ";
inline constexpr const wchar_t* kExportProgIds = L"ProgIDs: ";
inline constexpr const wchar_t* kExportTypeLibs = L"Type libraries: ";
inline constexpr const wchar_t* kExportInterfaces = L"Interfaces: ";
inline constexpr const wchar_t* kExportCapturedOnly =
    L"Nothing in the registry was changed. The file holds what the module wrote to the registry; "
    L"its code may have done other things as well (such as writing files).";
inline constexpr const wchar_t* kExportWriteFailed = L"Could not write ";
inline constexpr const wchar_t* kExportLeftOut =
    L"The module also wrote these names, which hold line breaks or NUL characters a .reg file cannot "
    L"hold; they were left out of the file:";

// Browse.
inline constexpr const wchar_t* kBrowseFilter =
    L"OCX Files (*.OCX)|*.OCX|Dynamic Link Librarys (*.DLL)|*.DLL|All Files (*.*)|*.*";
inline constexpr const wchar_t* kBrowseDefaultExt = L"OCX";
inline constexpr const wchar_t* kBrowseErrorPrefix = L"Error: ";

// Run-time error descriptions.
inline constexpr const wchar_t* kSubscriptOutOfRange = L"Subscript out of range";
inline constexpr const wchar_t* kInvalidArgument = L"Invalid procedure call or argument";

}  // namespace texts
