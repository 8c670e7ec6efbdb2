// Every text Pellamy shows, in one place, so tests compare exact strings.
#pragma once

namespace txt {

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

// Path validation.
inline constexpr const wchar_t* NoPathYet = L"No path and filename yet";
inline constexpr const wchar_t* FileNotFound = L"File not found";

// Version display.
inline constexpr const wchar_t* CompanyPrefix = L"Company Name:  ";
inline constexpr const wchar_t* ProductPrefix = L"Product Version:  ";
inline constexpr const wchar_t* NoProductVersion = L"(No Product Version available for this file)";

// Registration runner.
inline constexpr const wchar_t* LoadFailure = L"Failure loading control DLL";
inline constexpr const wchar_t* UnknownCommand = L"Unknown command handle";
inline constexpr const wchar_t* NoEntryPoint = L"Process failed in obtaining entry point or creating thread.";
inline constexpr const wchar_t* TimedOut = L"Process failed in signaled state or time-out.";
inline constexpr const wchar_t* Completed = L"Process completed";
inline constexpr const wchar_t* EntryFailed = L"Process failed: the entry point returned ";
inline constexpr const wchar_t* RunAsAdmin = L"Run Pellamy as administrator to register this file.";
inline constexpr const wchar_t* EntryCrashed = L"Process failed: the entry point stopped with exception ";
inline constexpr const wchar_t* AccessViolation = L"(access violation)";
inline constexpr const wchar_t* EntryEndedThread = L"Process failed: the entry point ended its thread with code ";
inline constexpr const wchar_t* LoadErrorPrefix = L"Error ";
inline constexpr const wchar_t* Is64Bit = L"This is a 64-bit module; the 32-bit Pellamy cannot load it. Use ";
inline constexpr const wchar_t* Is32Bit = L"This is a 32-bit module; the 64-bit Pellamy cannot load it. Use ";
inline constexpr const wchar_t* OpenInOther = L"Open it in ";
inline constexpr const wchar_t* OtherProcessor = L"This module is for another processor (";
inline constexpr const wchar_t* StartOtherFailed = L"Could not start ";

// Browse.
inline constexpr const wchar_t* BrowseFilter =
    L"OCX Files (*.OCX)|*.OCX|Dynamic Link Librarys (*.DLL)|*.DLL|All Files (*.*)|*.*";
inline constexpr const wchar_t* BrowseDefaultExt = L"OCX";
inline constexpr const wchar_t* BrowseErrorPrefix = L"Error: ";

// Run-time error descriptions.
inline constexpr const wchar_t* SubscriptOutOfRange = L"Subscript out of range";
inline constexpr const wchar_t* InvalidArgument = L"Invalid procedure call or argument";

}  // namespace txt
