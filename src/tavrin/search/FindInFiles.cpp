#include "FindInFiles.h"

#include <charconv>
#include <cstdio>
#include <unordered_set>

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

std::wstring ResultLine(const Hit& hit) {
    return *hit.path + L"(" + std::to_wstring(hit.line) + L"," + std::to_wstring(hit.column) + L"): " + *hit.text;
}

std::string ResultLinesUtf8(const std::vector<Hit>& hits) {
    std::string out, path, text;
    const std::wstring *pathOf = nullptr, *textOf = nullptr;
    const auto number = [&out](size_t n) {
        char digits[24];
        out.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    };
    for (size_t i = 0; i < hits.size(); ++i) {
        const Hit& h = hits[i];
        if (h.path.get() != pathOf) path = WideToUtf8(*(pathOf = h.path.get()));
        if (h.text.get() != textOf) text = WideToUtf8(*(textOf = h.text.get()));
        if (i > 0) out += '\n';
        out += path;
        out += '(';
        number(h.line);
        out += ',';
        number(h.column);
        out += "): ";
        out += text;
    }
    return out;
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
    std::vector<std::wstring> below;
    std::string bytes;  // each file's, in the memory of the one before
    std::vector<Hit> hits;
    FileHits matcher(pattern);
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
        below.clear();
        for (const FileSystem::Entry& e : entries) {
            if (stop) {
                t.stopped = true;
                return t;
            }
            if (e.folder) {
                if (request.subfolders) below.push_back(fs.Join(folder, e.name));
                continue;
            }
            if (!NameMatches(e.name, request.types)) continue;
            const std::wstring path = fs.Join(folder, e.name);
            if (!fs.Read(path, bytes)) {
                ++t.unreadable;
                continue;
            }
            hits.clear();
            try {
                if (!matcher.In(path, bytes, hits)) {
                    ++t.binary;
                    continue;
                }
            } catch (const search::PatternTooHard& e) {
                t.failure = e.reason;
                return t;
            }
            ++t.searched;
            if (hits.empty()) continue;
            t.matches += hits.size();
            ++t.filesWithMatches;
            found(std::move(hits));
        }
        // In name order: the first listed comes off the stack first.
        folders.insert(folders.end(), std::make_move_iterator(below.rbegin()), std::make_move_iterator(below.rend()));
    }
    return t;
}

}  // namespace findfiles
