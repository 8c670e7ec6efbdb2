// Program-wide values of the editor and its persisted settings.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// The program's folder followed by "\Code"; the default of InitDir.
extern std::wstring DefaultCodeFolder;

namespace settings {

inline constexpr const wchar_t* Section = L"Settings";
inline constexpr const wchar_t* KeyInitDir = L"InitDir";
inline constexpr const wchar_t* KeyDefaultFileType = L"DefaultFileType";
inline constexpr const wchar_t* KeyMainLeft = L"MainLeft";
inline constexpr const wchar_t* KeyMainTop = L"MainTop";
inline constexpr const wchar_t* KeyMainWidth = L"MainWidth";
inline constexpr const wchar_t* KeyMainHeight = L"MainHeight";

inline constexpr const wchar_t* KeyLargeFileKB = L"LargeFileKB";
inline constexpr const wchar_t* KeyTabWidth = L"TabWidth";
inline constexpr int DefaultTabWidth = 4, MinTabWidth = 1, MaxTabWidth = 16;
inline constexpr const wchar_t* KeyFolding = L"Folding";  // "1" or "0"

// Asks before loads of about two seconds or more under Wine (the 32-bit build takes at most 4 MB).
inline constexpr int DefaultLargeFileKB = sizeof(void*) == 8 ? 8192 : 2048;

inline constexpr int DefaultLeft = 1000;
inline constexpr int DefaultTop = 1000;
inline constexpr int DefaultWidth = 6500;
inline constexpr int DefaultHeight = 6500;
inline constexpr int FileTypeCount = 10;

// Where values are kept: text values by key in one section.
class Store {
public:
    virtual ~Store() = default;
    // The value, or nothing when the key is absent.
    virtual std::optional<std::wstring> Read(const wchar_t* key) = 0;
    virtual void Write(const wchar_t* key, const std::wstring& value) = 0;
};

// The six values; placements in twips, outer window size. Then the ones kept apart.
struct Values {
    std::wstring initDir;     // the folder the file dialogs start in
    int defaultFileType = 0;  // index into the file type list (0 = C++ files)
    int left = DefaultLeft, top = DefaultTop, width = DefaultWidth, height = DefaultHeight;
    int largeFileKB = DefaultLargeFileKB;  // bigger files ask before loading (0: never ask)
    int tabWidth = DefaultTabWidth;        // columns between tab stops, in the editing area and in print
    bool folding = true;
};

// A whole decimal number ("1000", " -15 "); anything else gives `fallback`.
int ParseNumber(const std::optional<std::wstring>& text, int fallback);

// Reads every value with its default (a missing key or one that is not a number).
Values Read(Store& store, const std::wstring& defaultCodeFolder);
// Writes the six keys in the order InitDir, DefaultFileType, MainLeft, MainTop, MainWidth, MainHeight.
void Write(Store& store, const Values& v);

// LargeFileKB: a whole number of KB from 0 up; anything else gives the default.
int ReadLargeFileKB(Store& store);
void WriteLargeFileKB(Store& store, int kb);
// TabWidth: a whole number from 1 to 16; anything else gives the default.
int ReadTabWidth(Store& store);
void WriteTabWidth(Store& store, int columns);
// True when a file of `bytes` is above the threshold of `kb` KB (0: never).
bool IsLargeFile(unsigned long long bytes, int kb);

// "<folder>\Code" for a program folder (trailing separators ignored).
std::wstring CodeFolderOf(const std::wstring& programFolder);

// Registry path under HKEY_CURRENT_USER that holds the values; tests point it at a scratch key.
extern std::wstring KeyPath;

// The registry key at KeyPath, REG_SZ values; a failing write raises an error.
class RegistryStore : public Store {
public:
    std::optional<std::wstring> Read(const wchar_t* key) override;
    void Write(const wchar_t* key, const std::wstring& value) override;
};

}  // namespace settings

// The file named on a raw command line (program name first): the rest of the line as typed,
// quotes removed and blanks at either end dropped, so "a  b.txt" keeps both blanks.
std::wstring FileFromCommandLine(std::wstring_view commandLine);

// The system's text for an error code, or "Error <code>" where it has none.
std::wstring ReasonText(unsigned long code);

// Reads the six values, LargeFileKB and TabWidth from the registry, each with its default.
settings::Values LoadSettings();
// Writes the six values, then LargeFileKB and TabWidth; a failing write raises an error.
void SaveSettings(const settings::Values& values);
