// Every text of the editor that a user sees, in one place (tests compare these exact strings).
#pragma once
#include <string>

namespace texts {

inline constexpr const wchar_t* AppName = L"Tavrin";
inline constexpr const wchar_t* CaptionSuffix = L" - Tavrin";
inline constexpr const wchar_t* UntitledCaption = L"Untitled - Tavrin";

// Save-changes prompt.
inline constexpr const wchar_t* SaveChangesPrompt = L"Would you like to save changes?";

// Failures of file commands: the file's path, a blank line, the system's reason.
inline constexpr const wchar_t* CannotSave = L"Cannot save the file\n";
inline constexpr const wchar_t* CannotOpen = L"Cannot open the file\n";
inline constexpr const wchar_t* ErrorCode = L"Error ";  // followed by the number when the system has no text
// Opening: a big file, a file too big for this build, binary data.
// LargeFileQuestion: path, blank line, then "This file is " + size + LargeFileQuestionEnd.
inline constexpr const wchar_t* LargeFileQuestion = L"This file is ";
inline constexpr const wchar_t* LargeFileQuestionEnd = L". Loading it may take a while.\n\nOpen it?";
// TooBig: "The file is " + size + TooBigEnd + limit + TooBigHint.
inline constexpr const wchar_t* TooBig = L"The file is ";
inline constexpr const wchar_t* TooBigEnd = L"; this 32-bit Tavrin opens files up to ";
inline constexpr const wchar_t* TooBigHint = L". Open it with Tavrin64.exe.";
inline constexpr const wchar_t* TooBigEnd64 = L"; with this computer's memory Tavrin opens files up to ";
inline constexpr const wchar_t* BinaryWarning =
    L"This file contains NUL bytes (binary data). Saving it may change it; you will be asked before it is written.";

// Saving: what would change, asked before writing (a list of the items, then SaveAnyway).
inline constexpr const wchar_t* WillChange = L"Saving will change this file:";
inline constexpr const wchar_t* ChangeOtherBytes = L"- Bytes that are not valid text in this encoding will be written differently.";
inline constexpr const wchar_t* SaveAnyway = L"Save anyway?";
// Unstorable: Unstorable + encoding name + UnstorableEnd.
inline constexpr const wchar_t* Unstorable = L"The text contains characters that cannot be saved as ";
inline constexpr const wchar_t* UnstorableEnd = L".\n\nSave it as UTF-8 instead? (No saves nothing.)";
// Text whose bytes open as other text: ReopensAs + encoding name + ReopensAsEnd.
inline constexpr const wchar_t* ReopensAs = L"Saved as ";
inline constexpr const wchar_t* ReopensAsEnd =
    L", this text would open as different text next time (its first characters or its bytes look like "
    L"another encoding).\n\nSave it as UTF-8 with BOM instead? (No saves nothing.)";

inline constexpr const wchar_t* NoEditingArea = L"The editing area could not be created.";
inline constexpr const wchar_t* NoMemoryForFile =
    L"There is not enough memory to open this file. The text shown before is kept.";
inline constexpr const wchar_t* NoMemoryToSave =
    L"There is not enough memory to encode the text for this file. Nothing was written, and the text "
    L"is kept; saved as UTF-8 (Save As) it needs no such copy.";

// Printing.
inline constexpr const wchar_t* PrinterError = L"There has been an error with the printer!";
inline constexpr const wchar_t* PrinterErrorTitle = L"error";
inline constexpr const wchar_t* NoPrinter =
    L"No printer is installed.\n\nAdd a printer in the system's printer settings, then try again.";
inline constexpr const wchar_t* PrintFailed = L"The document could not be printed.\n\n";  // followed by the reason
inline constexpr const wchar_t* PrintPreviewMessage = L"preview";
inline constexpr const wchar_t* SendMessageText = L"send";
inline constexpr const wchar_t* UntitledDocument = L"Untitled";  // print job name without a file

// Status bar, first panel.
inline constexpr const wchar_t* StatusPanel = L"Status";

// Menu titles.
inline constexpr const wchar_t* MenuFile = L"&File";
inline constexpr const wchar_t* MenuEdit = L"&Edit";
inline constexpr const wchar_t* MenuView = L"&View";
inline constexpr const wchar_t* MenuFormat = L"&Format";
inline constexpr const wchar_t* MenuTools = L"&Tools";
inline constexpr const wchar_t* MenuHelp = L"&Help";

// File menu items 0-12.
inline constexpr const wchar_t* FileNew = L"&New";
inline constexpr const wchar_t* FileOpen = L"&Open...";
inline constexpr const wchar_t* FileSave = L"&Save";
inline constexpr const wchar_t* FileSaveAs = L"Save &As";
inline constexpr const wchar_t* FilePrinterSetup = L"Printer Setup...";
inline constexpr const wchar_t* FilePrintPreview = L"Print Preview";
inline constexpr const wchar_t* FilePrint = L"&Print";
inline constexpr const wchar_t* FileSend = L"Send";
inline constexpr const wchar_t* FileExit = L"&Exit";

// Edit menu items 0-8.
inline constexpr const wchar_t* EditUndo = L"Undo";
inline constexpr const wchar_t* EditCut = L"Cu&t";
inline constexpr const wchar_t* EditCopy = L"&Copy";
inline constexpr const wchar_t* EditPaste = L"&Paste";
inline constexpr const wchar_t* EditSelectAll = L"Select All";
inline constexpr const wchar_t* EditFind = L"&Find...";
inline constexpr const wchar_t* EditFindNext = L"Find &Next...";
inline constexpr const wchar_t* EditReplace = L"&Replace...";
inline constexpr const wchar_t* EditGoTo = L"&Go To...";

// View menu items 0-1.
inline constexpr const wchar_t* ViewToolbar = L"Toolbar";
inline constexpr const wchar_t* ViewStatusBar = L"Status Bar";
inline constexpr const wchar_t* ViewSyntaxColouring = L"&Syntax Colouring";
inline constexpr const wchar_t* ViewLineNumbers = L"&Line Numbers";

// Format menu items 0-2 (the third keeps its leading blank).
inline constexpr const wchar_t* FormatFont = L"&Font";
inline constexpr const wchar_t* FormatTextColor = L"&Text Color";
inline constexpr const wchar_t* FormatForecolor = L" F&orecolor";

// Tools menu items 0-3.
inline constexpr const wchar_t* ToolsOptions = L"Options";
inline constexpr const wchar_t* ToolsCompilerSetup = L"Compiler Setup";
inline constexpr const wchar_t* ToolsCompileBorland = L"C++ with Borland Compiler 5.5";
inline constexpr const wchar_t* ToolsCompile = L"Compile";

// Help menu items 0-5.
inline constexpr const wchar_t* HelpContents = L"Contents";
inline constexpr const wchar_t* HelpSearch = L"Search for help On..";
inline constexpr const wchar_t* HelpCheckUpdate = L"Check for Update...";
inline constexpr const wchar_t* HelpWebsite = L"Visit Website";
inline constexpr const wchar_t* HelpAbout = L"About Tavrin";

// Find dialog.
inline constexpr const wchar_t* FindCaption = L"Find";
inline constexpr const wchar_t* FindWhat = L"Find What:";
inline constexpr const wchar_t* FindButton = L"Find";
inline constexpr const wchar_t* FindNextButton = L"Find Next";
inline constexpr const wchar_t* CancelButton = L"Cancel";
inline constexpr const wchar_t* NoMatch = L"No Match found.";

// The clipboard could not be opened (another program holds it) or took no text.
inline constexpr int ClipboardErrorNumber = 521;
inline constexpr const wchar_t* ClipboardBusy = L"Can't open Clipboard";
inline constexpr int OutOfMemoryNumber = 7;
inline constexpr const wchar_t* OutOfMemory = L"Out of memory";

inline constexpr const wchar_t* ShortcutNew = L"Ctrl+N";
inline constexpr const wchar_t* ShortcutOpen = L"Ctrl+O";
inline constexpr const wchar_t* ShortcutSave = L"Ctrl+S";
inline constexpr const wchar_t* ShortcutPrint = L"Ctrl+P";
inline constexpr const wchar_t* ShortcutFind = L"Ctrl+F";
inline constexpr const wchar_t* ShortcutReplace = L"Ctrl+H";
inline constexpr const wchar_t* ShortcutGoTo = L"Ctrl+G";

// Recovery of unsaved text after the program ended without saving.
inline constexpr const wchar_t* RecoveryDamaged = L"It is not a whole recovery file of this program.";
inline constexpr const wchar_t* RecoveryTruncated = L"It was cut short (the text in it is incomplete).";
// "Tavrin closed without saving changes to <title> (<time>). Recover them?"
inline constexpr const wchar_t* RecoverAskStart = L"Tavrin closed without saving changes to ";
inline constexpr const wchar_t* RecoverAskEnd = L". Recover them?";
// The damaged file's name, the reason, then the name it was kept under.
inline constexpr const wchar_t* RecoveryUnusable = L"The recovery file cannot be used:\n";
inline constexpr const wchar_t* RecoveryKeptAs = L"It was kept aside as:\n";
// While the session ends with unsaved text (the title follows).
inline constexpr const wchar_t* EndSessionReason = L"Tavrin has unsaved changes in ";

// Tools > Build, Run and the output pane.
inline constexpr const wchar_t* ToolsBuild = L"&Build";
inline constexpr const wchar_t* ToolsRun = L"&Run";
inline constexpr const wchar_t* ToolsStopBuild = L"S&top Build";
inline constexpr const wchar_t* ToolsNextError = L"Next &Error";
inline constexpr const wchar_t* ToolsPreviousError = L"&Previous Error";
inline constexpr const wchar_t* ShortcutBuild = L"F7";
inline constexpr const wchar_t* ShortcutRun = L"Ctrl+F5";
inline constexpr const wchar_t* ShortcutStopBuild = L"Ctrl+Break";
inline constexpr const wchar_t* ShortcutNextError = L"F4";
inline constexpr const wchar_t* ShortcutPreviousError = L"Shift+F4";
inline constexpr const wchar_t* ViewOutput = L"&Output";
inline constexpr const wchar_t* BuildAlreadyRunning = L"A build is running. Wait for it to finish, or stop it first.";
inline constexpr const wchar_t* BuildStarting = L"Building ";
// "Build finished: exit code N (T s)"
inline constexpr const wchar_t* BuildFinished = L"Build finished: exit code ";
inline constexpr const wchar_t* BuildStopped = L"Build stopped.";
inline constexpr const wchar_t* NothingToRun = L"There is nothing to run yet: build the program first (Tools > Build).";
inline constexpr const wchar_t* RunCannotStart = L"Cannot start the program\n";
// Ends an output line cut short because it was too long to keep.
inline constexpr const wchar_t* BuildLineCut = L" [... line cut: too long]";
// Status bar, when F4 or a double-click names a file that is not there: the path follows.
inline constexpr const wchar_t* PlaceFileMissing = L"File not found: ";

// Edit > Go To...
inline constexpr const wchar_t* GoToCaption = L"Go To Line";
inline constexpr const wchar_t* GoToLineNumber = L"Line number:";
inline constexpr const wchar_t* OKButton = L"OK";

// Edit > Replace...
inline constexpr const wchar_t* ReplaceCaption = L"Replace";
inline constexpr const wchar_t* ReplaceFindWhat = L"Find what:";
inline constexpr const wchar_t* ReplaceWith = L"Replace with:";
inline constexpr const wchar_t* ReplaceMatchCase = L"Match &case";
inline constexpr const wchar_t* ReplaceWholeWord = L"Match &whole word";
inline constexpr const wchar_t* ReplaceFindNext = L"&Find Next";
inline constexpr const wchar_t* ReplaceOne = L"&Replace";
inline constexpr const wchar_t* ReplaceAll = L"Replace &All";
inline constexpr const wchar_t* ReplaceWrapped = L"Reached the end of the text; went on from the start.";
// The search text and its closing quote go around.
inline constexpr const wchar_t* ReplaceNotFound = L"Cannot find \"";
// After the count: "N replacements."
inline constexpr const wchar_t* ReplaceCount = L" replacements.";

// Options dialog.
inline constexpr const wchar_t* OptionsCaption = L"Options";
inline constexpr const wchar_t* OptionsFrame = L"Configuration";
inline constexpr const wchar_t* OptionsCodeFolder = L"Default Code Folder";
inline constexpr const wchar_t* OptionsCodeFolderDesign = L"initial dir";
inline constexpr const wchar_t* OptionsBrowse = L"...";
inline constexpr const wchar_t* OptionsFileType = L"Default File Type";
inline constexpr const wchar_t* OptionsOK = L"OK";
inline constexpr const wchar_t* OptionsCancel = L"Cancel";
inline constexpr const wchar_t* OptionsApply = L"&Apply";
inline constexpr const wchar_t* OptionsBrowseTitle = L"Choose the default code folder:";
inline constexpr const wchar_t* OptionsLargeFile = L"Large File Size";
inline constexpr const wchar_t* OptionsLargeFileUnit = L"KB: ask first (0 = never)";
inline constexpr const wchar_t* OptionsTabWidth = L"Tab width";
inline constexpr const wchar_t* OptionsTabWidthUnit = L"columns (1 to 16)";
inline constexpr const wchar_t* OptionsTabWidthInvalid = L"The tab width must be a whole number from 1 to 16.";
inline constexpr const wchar_t* OptionsLargeFileInvalid =
    L"The size for large files must be a whole number of kilobytes, 0 or more.";
// The Default File Type list: the descriptions of the file type lists, in the same order.
inline constexpr const wchar_t* FileTypes[] = {
    L"C++ Files (*.cpp)",         L"C/C++ Headers (*.h)",           L"HTML Files (*.htm ,*.html)",
    L"Java Script (*.js)",        L"VB Script(.vbs)",               L"Cascading Style Sheets (*.css)",
    L"Active Server Pages (*.asp)", L"Java Files (*.java)",         L"Text (*.txt)",
    L"All Files (*.*)"};

// Tools > compile: the batch file's path follows.
inline constexpr const wchar_t* CompileBatchMissing = L"The compiler batch file was not found:\n";
inline constexpr const wchar_t* CompileCannotStart = L"Cannot start the compiler batch file\n";
// Build: the program that could not be started follows, then the reason.
inline constexpr const wchar_t* BuildCannotStart = L"Cannot start the build:\n";

// File type lists of the file dialogs (description, pattern), "|"-joined as the dialogs take them.
inline constexpr const wchar_t* OpenFilter =
    L"C++ Files (*.cpp)|*.cpp|C/C++ Headers (*.h)|*.h|HTML Files (*.htm ,*.html)|*.htm*|"
    L"Java Script (*.js)|*.js|VB Script(.vbs)|*.vbs|Cascading Style Sheets (*.css)|*.css|"
    L"Active Server Pages (*.asp)|*.asp|Java Files (*.java)|*.java|Text (*.txt)|*.txt|All Files (*.*)|*.*";
inline constexpr const wchar_t* SaveFilter =
    L"C++ Files (*.cpp)|*.cpp|C/C++ Headers (*.h)|*.h|HTML Files (*.htm ,*.html)|*.htm|"
    L"Java Script (*.js)|*.js|VB Script(.vbs)|*.vbs|Cascading Style Sheets (*.css)|*.css|"
    L"Active Server Pages (*.asp)|*.asp|Java Files (*.java)|*.java|Text (*.txt)|*.txt|All Files (*.*)|*.*";

// A file changed or deleted by another program: the file's name comes first.
inline constexpr const wchar_t* ChangedOutside = L" was changed by another program.\n\nReload it?";
inline constexpr const wchar_t* ChangedOutsideModified =
    L" was changed by another program, and it has changes here that are not saved.\n\n"
    L"Reload it and lose the changes here?";
inline constexpr const wchar_t* SaveOverOutsideChange =
    L" was changed by another program since it was opened.\n\nSave anyway and replace those changes?";
inline constexpr const wchar_t* GoneFromDisk = L" no longer exists on disk";

// The document's line ends in the status bar, in the order of textformat::Ends.
inline constexpr const wchar_t* LineEndNames[] = {L"CR LF", L"LF", L"CR", L"Mixed"};
inline constexpr const wchar_t* FormatLineEnds = L"Line &Ends";
inline constexpr const wchar_t* LineEndItems[] = {L"&Windows (CR LF)", L"&Unix (LF)", L"Classic &Mac (CR)"};
inline constexpr const wchar_t* FileReopenEncoding = L"Reopen with &Encoding";
inline constexpr const wchar_t* ReopenItems[] = {L"&ANSI", L"UTF-&8", L"UTF-16 &LE", L"UTF-16 &BE", L"&OEM (console)"};
// View > Word Wrap and View > Zoom.
inline constexpr const wchar_t* ViewWordWrap = L"&Word Wrap";
inline constexpr const wchar_t* ViewZoom = L"&Zoom";
// View > Word Wrap turned on for a text over editarea::kWrapLimit.
inline constexpr const wchar_t* WordWrapHeldBack =
    L"This text is over 16 MB, so it is shown unwrapped: wrapping it would keep every key waiting.\n\n"
    L"Word Wrap stays on for smaller texts.";
inline constexpr const wchar_t* ZoomItems[] = {L"Zoom &In\tCtrl+Plus", L"Zoom &Out\tCtrl+Minus",
                                               L"&Restore Default Zoom\tCtrl+0"};
// File > Recent Files; a listed file that is gone: its path comes first.
inline constexpr const wchar_t* FileRecentFiles = L"Recent &Files";
inline constexpr const wchar_t* FileClearRecent = L"&Clear Recent Files";
inline constexpr const wchar_t* RecentMissing = L" cannot be found.\n\nRemove it from the list?";
inline constexpr const wchar_t* SaveAsEncodingLabel = L"&Encoding:";
inline constexpr const wchar_t* SaveAsEncodings[] = {L"ANSI", L"UTF-8", L"UTF-8 with BOM", L"UTF-16 LE", L"UTF-16 BE"};

// Searching: the pattern's errors, Find in Files and folding.

inline constexpr const wchar_t* SearchRegex = L"Regular e&xpression";
// "The pattern is not valid: " + one of the reasons below + " (at N)".
inline constexpr const wchar_t* PatternInvalid = L"The pattern is not valid: ";
inline constexpr const wchar_t* PatternAt = L" (at ";
inline constexpr const wchar_t* PatternParen = L"a ( or ) without its partner";
inline constexpr const wchar_t* PatternBracket = L"a [ without its ]";
inline constexpr const wchar_t* PatternBrace = L"a { without its }";
inline constexpr const wchar_t* PatternBadBrace = L"a count in { } that is not a number or is out of order";
inline constexpr const wchar_t* PatternEscape = L"a \\ that escapes nothing or is not known";
inline constexpr const wchar_t* PatternBackref = L"a back-reference to a group that does not exist";
inline constexpr const wchar_t* PatternRepeat = L"a *, +, ? or { } with nothing to repeat";
inline constexpr const wchar_t* PatternRange = L"a range in [ ] whose end comes before its start";
inline constexpr const wchar_t* PatternClass = L"an unknown [: :] class name";
inline constexpr const wchar_t* PatternOther = L"the syntax is not understood";
// The engine gave up on a text.
inline constexpr const wchar_t* PatternTooMuchMemory =
    L"The search stopped: the pattern needs more memory than a search may take on this text.";
inline constexpr const wchar_t* PatternTooManySteps =
    L"The search stopped: the pattern tries too many ways on this text. Make its choices unambiguous.";
// A search running on after two seconds.
inline constexpr const wchar_t* SearchRunning = L"Searching... press Esc to stop.";
inline constexpr const wchar_t* SearchStopped = L"The search was stopped.";
// The caption while a big file is read, after a second.
inline constexpr const wchar_t* ReadingFile = L"Opening... press Esc to stop.";

// Find in Files: its summary line, "N matches in M files of K searched (T s)" and what was skipped.
inline constexpr const wchar_t* FindInFilesMatchesIn = L" matches in ";
inline constexpr const wchar_t* FindInFilesFilesOf = L" files of ";
inline constexpr const wchar_t* FindInFilesSearched = L" searched (";
inline constexpr const wchar_t* FindInFilesSkipped = L"; skipped: ";
inline constexpr const wchar_t* FindInFilesBinary = L" binary";
inline constexpr const wchar_t* FindInFilesUnreadable = L" unreadable";
inline constexpr const wchar_t* FindInFilesNoAccess = L" folders without access";
inline constexpr const wchar_t* FindInFilesLoops = L" folders reached again through a junction";
inline constexpr const wchar_t* FindInFilesStopped = L"; stopped.";

// Edit > Find in Files... and its dialog.
inline constexpr const wchar_t* EditFindInFiles = L"Find in &Files...";
inline constexpr const wchar_t* ShortcutFindInFiles = L"Ctrl+Shift+F";
inline constexpr const wchar_t* FindInFilesCaption = L"Find in Files";
inline constexpr const wchar_t* FindInFilesWhat = L"Find what:";
inline constexpr const wchar_t* FindInFilesFolder = L"In folder:";
inline constexpr const wchar_t* FindInFilesBrowse = L"...";
inline constexpr const wchar_t* FindInFilesTypes = L"File types:";
inline constexpr const wchar_t* FindInFilesMatchCase = L"Match &case";
inline constexpr const wchar_t* FindInFilesWholeWord = L"&Whole word";
inline constexpr const wchar_t* FindInFilesSubfolders = L"Include &subfolders";
inline constexpr const wchar_t* FindInFilesFind = L"&Find";
inline constexpr const wchar_t* FindInFilesChooseFolder = L"The folder to search:";
inline constexpr const wchar_t* FindInFilesNoFolder = L"This folder cannot be found:\n";
inline constexpr const wchar_t* FindInFilesNothing = L"Type the text to find.";
inline constexpr const wchar_t* FindInFilesStarting = L"Finding \"";
inline constexpr const wchar_t* FindInFilesIn = L"\" in ";

// View > Folding.
inline constexpr const wchar_t* ViewFolding = L"&Folding";

// Status bar, the caret's place: "Ln 12, Col 5".
inline constexpr const wchar_t* CaretLine = L"Ln ";
inline constexpr const wchar_t* CaretColumn = L", Col ";

// Toolbar tooltips.
inline constexpr const wchar_t* TipNew = L"New";
inline constexpr const wchar_t* TipOpen = L"Open";
inline constexpr const wchar_t* TipSave = L"Save";
inline constexpr const wchar_t* TipPrint = L"Print";
inline constexpr const wchar_t* TipCut = L"Cut";
inline constexpr const wchar_t* TipCopy = L"Copy";
inline constexpr const wchar_t* TipPaste = L"Paste";
inline constexpr const wchar_t* TipFind = L"Find";
inline constexpr const wchar_t* TipRedo = L"Redo";
inline constexpr const wchar_t* TipUndo = L"Undo";

// Web update window. The label's blank before the full stop and its trailing blank are kept.
inline constexpr const wchar_t* WebUpdateCaption = L"Web Update";
inline constexpr const wchar_t* WebUpdateCheck = L"Check For Update";
inline constexpr const wchar_t* WebUpdateLabel =
    L"Press the check button to Check for the Latest Version . For the test to fully work, "
    L"you should be connected to the internet. ";
inline constexpr const wchar_t* WebUpdateClose = L"C&lose";
inline constexpr const wchar_t* WebUpdateCurrentVersion = L"Current Version ";
inline constexpr const wchar_t* WebUpdateCannotConnect = L"Could not connect to web site or file not found";
inline constexpr const wchar_t* WebUpdateUpToDateTitle = L"You Have the most recent version";

inline std::wstring WebUpdateNewVersionTitle(const std::wstring& appTitle) {
    return L"A new version of " + appTitle + L" has been found";
}

inline std::wstring WebUpdateNewVersionText(const std::wstring& appTitle, const std::wstring& available,
                                            const std::wstring& current, const std::wstring& download,
                                            const std::wstring& information) {
    return appTitle + L" Version available is :" + available + L"\n" + appTitle + L" CurrentVersion is : " +
           current + L"\n\nDownload URL : " + download + L"\n\nInformation : " + information;
}

inline std::wstring WebUpdateUpToDateText(const std::wstring& current) {
    return L"You have the most recent version available (" + current + L")";
}

}  // namespace texts
