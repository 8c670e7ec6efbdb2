// Find in Files without a window: the walk through a folder (file types, subfolders, binary files,
// folders reached twice through junctions), the search of each file (FileHits.h), and the result
// lines the output pane shows.
#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FileHits.h"
#include "SearchPattern.h"

namespace findfiles {

// The default of the dialog's "File types".
inline constexpr const wchar_t* kDefaultTypes =
    L"*.c;*.cpp;*.cxx;*.h;*.hpp;*.java;*.js;*.htm;*.html;*.css;*.asp;*.vbs;*.bat;*.txt";

// The file system as the walk sees it (the system's in FindInFiles_win.cpp and _host.cpp).
class FileSystem {
public:
    struct Entry {
        std::wstring name;
        bool folder = false;
    };
    virtual ~FileSystem() = default;
    virtual std::wstring Join(const std::wstring& folder, const std::wstring& name) const = 0;
    // The entries of a folder (without . and ..); false when it cannot be listed.
    virtual bool List(const std::wstring& folder, std::vector<Entry>& entries) = 0;
    // The same text for every path that reaches one folder (through a junction or a link too).
    virtual std::string FolderId(const std::wstring& folder) = 0;
    // The whole file; false when it cannot be read.
    virtual bool Read(const std::wstring& path, std::string& bytes) = 0;
};
std::unique_ptr<FileSystem> SystemFileSystem();

// "*.c; *.cpp" -> {"*.c", "*.cpp"}; a name matches one of them, without case (* and ? as wildcards).
std::vector<std::wstring> SplitTypes(std::wstring_view types);
bool NameMatches(std::wstring_view name, const std::vector<std::wstring>& types);

// "path(line,column): text"
std::wstring ResultLine(const Hit& hit);
// The hits' result lines in UTF-8, joined by '\n' (for the output pane): each path and line text is
// converted once, however many hits share it.
std::string ResultLinesUtf8(const std::vector<Hit>& hits);

struct Totals {
    size_t matches = 0, filesWithMatches = 0, searched = 0;
    size_t binary = 0, unreadable = 0, noAccess = 0, loops = 0;
    bool stopped = false;
    std::wstring failure;  // the engine's reason when it gave up on a file
};
// "N matches in M files of K searched (T s)", then what was skipped, if anything.
std::wstring SummaryLine(const Totals& totals, double seconds);

struct Request {
    std::wstring folder;
    std::vector<std::wstring> types;
    bool subfolders = true;
};
// Walks and searches, handing each file's hits over as found; `stop` ends the walk between files.
Totals Search(FileSystem& fs, const Request& request, const search::Pattern& pattern,
              const std::function<void(std::vector<Hit>&&)>& found, const std::atomic<bool>& stop);

}  // namespace findfiles
