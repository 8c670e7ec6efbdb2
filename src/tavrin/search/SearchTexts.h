// The texts of searching: the pattern's errors, Find in Files and folding.
#pragma once

namespace texts {

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

}  // namespace texts
