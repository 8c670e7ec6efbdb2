// Every text Pellamy shows, in one place, so tests compare exact strings.
#pragma once

namespace texts {

// Window and controls.
inline constexpr const wchar_t* AppName = L"Pellamy";
inline constexpr const wchar_t* Caption = L"Register or Unregister OCX / DLL";
inline constexpr const wchar_t* HintDesign = L"File specification of  OCX/DLL file:";
inline constexpr const wchar_t* HintFirstLine = L"File specification of OCX/DLL";
inline constexpr const wchar_t* HintExamplePrefix = L"    e.g. ";
inline constexpr const wchar_t* HintExampleFile = L"\\filename.ocx";
inline constexpr const wchar_t* Browse = L"...";
inline constexpr const wchar_t* BrowseTip = L"Browse ...";
inline constexpr const wchar_t* PleaseVerify = L"Please verify Product Version, if any:";
inline constexpr const wchar_t* Register = L"Register";
inline constexpr const wchar_t* Proceed = L"Proceed";
inline constexpr const wchar_t* Unregister = L"Unregister";
inline constexpr const wchar_t* Cancel = L"Cancel";
inline constexpr const wchar_t* Exit = L"Exit";

// Menus.
inline constexpr const wchar_t* MenuFile = L"&File";
inline constexpr const wchar_t* MenuOpen = L"&Open";
inline constexpr const wchar_t* MenuExit = L"E&xit";
inline constexpr const wchar_t* MenuOperations = L"Operations";
inline constexpr const wchar_t* MenuRegister = L"Register";
inline constexpr const wchar_t* MenuUnregister = L"Un - Register";
inline constexpr const wchar_t* MenuHelp = L"Help";
inline constexpr const wchar_t* MenuAbout = L"About Pellamy";
inline constexpr const wchar_t* MenuCurrentUser = L"Register for &Current User Only";
inline constexpr const wchar_t* MenuExport = L"&Export Registration...";

// Path validation.
inline constexpr const wchar_t* NoPathYet = L"No path and filename yet";
inline constexpr const wchar_t* FileNotFound = L"File not found";

// Version display.
inline constexpr const wchar_t* CompanyPrefix = L"Company Name:  ";
inline constexpr const wchar_t* ProductPrefix = L"Product Version:  ";
inline constexpr const wchar_t* NoProductVersion = L"(No Product Version available for this file)";
inline constexpr const wchar_t* TypeLibPrefix = L"Type Library:  ";
inline constexpr const wchar_t* TypeLibGuidPrefix = L"GUID:  ";

// Registration runner.
inline constexpr const wchar_t* LoadFailure = L"Failure loading control DLL";
inline constexpr const wchar_t* UnknownCommand = L"Unknown command handle";
inline constexpr const wchar_t* NoEntryPoint = L"Process failed in obtaining entry point or creating thread.";
inline constexpr const wchar_t* WorkerNotStarted =
    L"Process failed: the registration's process could not be started, so the module was not loaded.";
inline constexpr const wchar_t* TimedOut = L"Process failed in signaled state or time-out.";
inline constexpr const wchar_t* Completed = L"Process completed";
inline constexpr const wchar_t* EntryFailed = L"Process failed: the entry point returned ";
inline constexpr const wchar_t* RunAsAdmin = L"Run Pellamy as administrator to register this file.";
inline constexpr const wchar_t* EntryCrashed = L"Process failed: the entry point stopped with exception ";
inline constexpr const wchar_t* AccessViolation = L"(access violation)";
inline constexpr const wchar_t* EntryEndedThread = L"Process failed: the entry point ended its thread with code ";
inline constexpr const wchar_t* EndedProcess = L"Process failed: the registration's process ended without reporting, with code ";
inline constexpr const wchar_t* LoadErrorPrefix = L"Error ";
inline constexpr const wchar_t* Is64Bit = L"This is a 64-bit module; the 32-bit Pellamy cannot load it. Use ";
inline constexpr const wchar_t* Is32Bit = L"This is a 32-bit module; the 64-bit Pellamy cannot load it. Use ";
inline constexpr const wchar_t* OtherProcessor = L"This module is for another processor (";

// Local servers and type libraries.
inline constexpr const wchar_t* ServerFailed = L"Process failed: the server ended with exit code ";
inline constexpr const wchar_t* ServerNotStarted = L"Failure starting the server";
inline constexpr const wchar_t* TypeLibLoadFailure = L"Failure loading type library";
inline constexpr const wchar_t* ServerNoExport =
    L"A local server (.exe) writes its registration in its own process, where Pellamy cannot redirect the "
    L"registry: it cannot be exported. Register it, or export the registration of a module or type library.";

// The command line.
inline constexpr const wchar_t* SwitchPrefix = L"The switch ";
inline constexpr const wchar_t* SwitchUnknown = L" is not known.";
inline constexpr const wchar_t* SwitchNoFile = L" needs a file to work on.";
inline constexpr const wchar_t* SwitchNeedsInstall = L" works only together with /i.";
inline constexpr const wchar_t* SwitchConflict = L" cannot be combined with the other switches given.";
inline constexpr const wchar_t* SwitchOneFile = L" takes exactly one file.";
inline constexpr const wchar_t* SwitchNoValue = L" needs a file name after the colon.";
inline constexpr const wchar_t* Usage =
    L"Usage: Pellamy [/u] [/s] [/i[:cmdline]] [/n] [/user] [/export:file.reg] [/tlb] file...";
// /?: the usage with the switches, the file kinds and where each runs, and the exit statuses.
inline constexpr const wchar_t* Help =
    L"Usage: Pellamy [/u] [/s] [/i[:cmdline]] [/n] [/user] [/export:file.reg] [/tlb] file...\r\n\r\n"
    L"/u  unregister\r\n/s  silent: no message box, only the exit status\r\n"
    L"/i[:cmdline]  also DllInstall (after registering, before unregistering)\r\n/n  with /i: DllInstall alone\r\n"
    L"/user  for the current user only\r\n/export:file.reg  write the registration into a .reg file instead\r\n"
    L"/tlb  a module's type library resource instead of its entry points\r\n\r\n"
    L"Files, each in a process of its own, 10 seconds each:\r\n"
    L"- modules (.dll, .ocx): DllRegisterServer or DllUnregisterServer, in Pellamy.exe (32-bit modules) or "
    L"Pellamy64.exe (64-bit modules) from Pellamy's folder\r\n"
    L"- local servers (.exe): started with /RegServer or /UnregServer (with /user: /RegServerPerUser, "
    L"/UnregServerPerUser); not with /export\r\n"
    L"- type libraries (.tlb, .olb): registered or unregistered in Pellamy itself\r\n\r\n"
    L"Exit status: 0 done, 1 bad arguments, 2 not started, 3 not loaded, 4 no entry point, 5 failed, "
    L"6 time-out, 7 crashed, 8 the build for the module's bitness is missing, 9 the registry could not be "
    L"redirected (/user, /export).";
inline constexpr const wchar_t* OleFailed = L"Process failed: OLE could not be started (";

// Registration for the current user only.
inline constexpr const wchar_t* CurrentUserRegistered =
    L"Registered for the current user only (under HKEY_CURRENT_USER\\Software\\Classes).";
inline constexpr const wchar_t* CurrentUserUnregistered = L"Unregistered for the current user only.";
inline constexpr const wchar_t* ElevatedNote =
    L"Programs running elevated (as administrator) do not see registrations made for the current user.";
inline constexpr const wchar_t* NotWrittenForUser =
    L"The module also wrote these keys, which could not be written for the current user and were left out:";
inline constexpr const wchar_t* RedirectFailed = L"Could not redirect the registry for this run: ";
inline constexpr const wchar_t* RedirectBusy =
    L"An earlier run that timed out is still running with the registry redirected. Try again when it has ended.";

// Export of a registration.
inline constexpr const wchar_t* ExportDialogTitle = L"Export Registration";
inline constexpr const wchar_t* ExportFilter = L"Registration Files (*.reg)|*.reg|All Files (*.*)|*.*";
inline constexpr const wchar_t* ExportDefaultExt = L"reg";
inline constexpr const wchar_t* ExportDone = L"Registration exported to ";
inline constexpr const wchar_t* ExportClasses = L"Classes: ";
inline constexpr const wchar_t* ExportProgIds = L"ProgIDs: ";
inline constexpr const wchar_t* ExportTypeLibs = L"Type libraries: ";
inline constexpr const wchar_t* ExportInterfaces = L"Interfaces: ";
inline constexpr const wchar_t* ExportCapturedOnly =
    L"Nothing in the registry was changed. The file holds what the module wrote to the registry; "
    L"its code may have done other things as well (such as writing files).";
inline constexpr const wchar_t* ExportWriteFailed = L"Could not write ";
inline constexpr const wchar_t* ExportLeftOut =
    L"The module also wrote these names, which hold line breaks or NUL characters a .reg file cannot "
    L"hold; they were left out of the file:";

// Browse.
inline constexpr const wchar_t* BrowseFilter =
    L"OCX Files (*.OCX)|*.OCX|Dynamic Link Librarys (*.DLL)|*.DLL|All Files (*.*)|*.*|Type Libraries (*.tlb;*.olb)|*.tlb;*.olb";
inline constexpr const wchar_t* BrowseDefaultExt = L"OCX";
inline constexpr const wchar_t* BrowseErrorPrefix = L"Error: ";

// Resource types by number (none where the number names no type).
inline constexpr const wchar_t* ResourceTypeNames[] = {
    nullptr,         L"Cursor",        L"Bitmap",       L"Icon",           L"Menu",          L"Dialog",
    L"String",       L"Font Directory", L"Font",        L"Accelerators",   L"RC Data",       L"Message Table",
    L"Group Cursor", nullptr,          L"Group Icon",   nullptr,           L"Version",       L"Dialog Include",
    nullptr,         L"VXD",           L"VXD",          L"Animated Cursor", L"Animated Icon", L"HTML"};
inline constexpr const wchar_t* ResourceTypeOther = L"Other (";

// Run-time error descriptions.
inline constexpr const wchar_t* SubscriptOutOfRange = L"Subscript out of range";
inline constexpr const wchar_t* InvalidArgument = L"Invalid procedure call or argument";

}  // namespace texts
