#include "FindInFiles.h"

#include <cstdio>
#include <unordered_set>

#include "FileEncoding.h"
#include "Texts.h"
#include "TextConv.h"

namespace findfiles {

namespace {

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

// Wildcards without case (ASCII letters folded; others as they are).
bool Wild(std::wstring_view name, std::wstring_view pattern) {
    size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++n, ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++, starN = n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1, n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool IsLineEnd(wchar_t c) { return c == L'\r' || c == L'\n'; }

}  // namespace

std::vector<std::wstring> SplitTypes(std::wstring_view types) {
    std::vector<std::wstring> out;
    for (size_t at = 0; at <= types.size();) {
        size_t end = types.find_first_of(L";,", at);
        if (end == std::wstring_view::npos) end = types.size();
        std::wstring one = TrimBlanks(types.substr(at, end - at));
        if (!one.empty()) out.push_back(std::move(one));
        at = end + 1;
    }
    return out;
}

bool NameMatches(std::wstring_view name, const std::vector<std::wstring>& types) {
    if (types.empty()) return true;
    for (const std::wstring& t : types)
        if (Wild(name, t)) return true;
    return false;
}

bool DecodeFile(std::string bytes, std::wstring& text) {
    const std::string_view head = std::string_view(bytes).substr(0, 8192);
    const bool utf16Mark = head.size() >= 2 && ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF'));
    if (!utf16Mark && head.find('\0') != std::string_view::npos) return false;
    text = Utf8ToWide(docfile::Decode(std::move(bytes)).text);
    return true;
}

std::vector<Hit> HitsIn(const std::wstring& path, std::wstring_view text, const search::Pattern& pattern) {
    std::vector<Hit> hits;
    size_t line = 1, lineStart = 0, counted = 0;  // line ends are counted up to `counted`
    for (const search::Match& m : pattern.FindAll(text, 0, text.size())) {
        for (; counted < m.pos; ++counted) {
            const wchar_t c = text[counted];
            if (c == L'\n' || (c == L'\r' && (counted + 1 == text.size() || text[counted + 1] != L'\n'))) {
                ++line;
                lineStart = counted + 1;
            }
        }
        size_t lineEnd = m.pos;
        while (lineEnd < text.size() && !IsLineEnd(text[lineEnd])) ++lineEnd;
        hits.push_back({path, line, m.pos - lineStart + 1, std::wstring(text.substr(lineStart, lineEnd - lineStart))});
    }
    return hits;
}

std::wstring ResultLine(const Hit& hit) {
    return hit.path + L"(" + std::to_wstring(hit.line) + L"," + std::to_wstring(hit.column) + L"): " + hit.text;
}

std::wstring SummaryLine(const Totals& t, double seconds) {
    wchar_t time[32];
    std::swprintf(time, 32, L"%.2f", seconds);
    std::wstring s = std::to_wstring(t.matches) + texts::FindInFilesMatchesIn + std::to_wstring(t.filesWithMatches) +
                     texts::FindInFilesFilesOf + std::to_wstring(t.searched) + texts::FindInFilesSearched + time +
                     L" s)";
    const std::pair<size_t, const wchar_t*> skipped[] = {{t.binary, texts::FindInFilesBinary},
                                                         {t.unreadable, texts::FindInFilesUnreadable},
                                                         {t.noAccess, texts::FindInFilesNoAccess},
                                                         {t.loops, texts::FindInFilesLoops}};
    std::wstring parts;
    for (const auto& [count, what] : skipped)
        if (count) parts += (parts.empty() ? L"" : L", ") + std::to_wstring(count) + what;
    if (!parts.empty()) s += texts::FindInFilesSkipped + parts;
    if (t.stopped) s += texts::FindInFilesStopped;
    if (!t.failure.empty()) s += L" " + t.failure;
    return s;
}

Totals Search(FileSystem& fs, const Request& request, const search::Pattern& pattern,
              const std::function<void(std::vector<Hit>&&)>& found, const std::atomic<bool>& stop) {
    Totals t;
    std::unordered_set<std::string> seen;  // folders already walked: a junction back up is a loop
    std::vector<std::wstring> folders{request.folder};
    std::vector<FileSystem::Entry> entries;
    std::string bytes;
    std::wstring text;
    while (!folders.empty()) {
        const std::wstring folder = std::move(folders.back());
        folders.pop_back();
        if (const std::string id = fs.FolderId(folder); !id.empty() && !seen.insert(id).second) {
            ++t.loops;
            continue;
        }
        entries.clear();
        if (!fs.List(folder, entries)) {
            ++t.noAccess;
            continue;
        }
        std::vector<std::wstring> below;
        for (const FileSystem::Entry& e : entries) {
            if (stop) {
                t.stopped = true;
                return t;
            }
            const std::wstring path = fs.Join(folder, e.name);
            if (e.folder) {
                if (request.subfolders) below.push_back(path);
                continue;
            }
            if (!NameMatches(e.name, request.types)) continue;
            if (!fs.Read(path, bytes)) {
                ++t.unreadable;
                continue;
            }
            if (!DecodeFile(std::move(bytes), text)) {
                ++t.binary;
                continue;
            }
            ++t.searched;
            std::vector<Hit> hits;
            try {
                hits = HitsIn(path, text, pattern);
            } catch (const search::PatternTooHard& e) {
                t.failure = e.reason;
                return t;
            }
            if (hits.empty()) continue;
            t.matches += hits.size();
            ++t.filesWithMatches;
            found(std::move(hits));
        }
        // In name order: the first listed comes off the stack first.
        folders.insert(folders.end(), below.rbegin(), below.rend());
    }
    return t;
}

}  // namespace findfiles
