#include "RegCapture.h"

#include <algorithm>
#include <cwctype>

#include "Texts.h"

namespace pellamy {
namespace {

constexpr const wchar_t* kClassesRoot = L"HKEY_CLASSES_ROOT";
constexpr const wchar_t* kMachineClasses = L"HKEY_LOCAL_MACHINE\\Software\\Classes";

wchar_t Fold(wchar_t c) { return c == L'\\' ? L'\0' : static_cast<wchar_t>(std::towupper(c)); }

bool PathLess(const std::wstring& a, const std::wstring& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return Fold(x) < Fold(y); });
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return !PathLess(a, b) && !PathLess(b, a); }

// `path` is `parent` or lies under it; `rest` gets what follows "parent\".
bool Under(const std::wstring& path, const std::wstring& parent, std::wstring& rest) {
    if (path.size() < parent.size() || !SamePath(path.substr(0, parent.size()), parent)) return false;
    if (path.size() == parent.size()) {
        rest.clear();
        return true;
    }
    if (path[parent.size()] != L'\\') return false;
    rest = path.substr(parent.size() + 1);
    return true;
}

std::vector<std::wstring> Split(const std::wstring& path) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find(L'\\', start);
        parts.push_back(path.substr(start, slash - start));
        if (slash == std::wstring::npos) return parts;
        start = slash + 1;
    }
}

std::wstring DefaultText(const RegKeyEntry& k) {
    for (const RegValue& v : k.values) {
        if (!v.name.empty() || (v.type != regtype::Sz && v.type != regtype::ExpandSz)) continue;
        std::wstring s;
        for (size_t i = 0; i + 1 < v.data.size(); i += 2) {
            const wchar_t c = static_cast<wchar_t>(v.data[i] | (v.data[i + 1] << 8));
            if (c == L'\0') break;
            s += c;
        }
        return s;
    }
    return {};
}

}  // namespace

void SortKeys(std::vector<RegKeyEntry>& keys) {
    std::stable_sort(keys.begin(), keys.end(),
                     [](const RegKeyEntry& a, const RegKeyEntry& b) { return PathLess(a.path, b.path); });
}

std::vector<RegKeyEntry> FoldCapturedKeys(std::vector<RegKeyEntry> keys, const std::vector<std::wstring>& skeleton,
                                          bool foldClasses) {
    std::vector<RegKeyEntry> out;
    for (RegKeyEntry& k : keys) {
        std::wstring rest;
        if (foldClasses && Under(k.path, kMachineClasses, rest)) {
            if (rest.empty()) continue;  // the root itself is no key of the file
            k.path = std::wstring(kClassesRoot) + L"\\" + rest;
        }
        auto same = std::find_if(out.begin(), out.end(), [&](const RegKeyEntry& o) { return SamePath(o.path, k.path); });
        if (same == out.end()) {
            out.push_back(std::move(k));
            continue;
        }
        for (RegValue& v : k.values) {
            auto old = std::find_if(same->values.begin(), same->values.end(),
                                    [&](const RegValue& o) { return SamePath(o.name, v.name); });
            if (old == same->values.end())
                same->values.push_back(std::move(v));
            else
                *old = std::move(v);
        }
    }
    // Prepared keys the module left empty go, deepest first, so an emptied parent can go too.
    std::vector<std::wstring> prepared = skeleton;
    std::sort(prepared.begin(), prepared.end(), [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
    for (const std::wstring& p : prepared) {
        auto it = std::find_if(out.begin(), out.end(), [&](const RegKeyEntry& o) { return SamePath(o.path, p); });
        if (it == out.end() || !it->values.empty()) continue;
        std::wstring rest;
        const bool hasChildren = std::any_of(out.begin(), out.end(), [&](const RegKeyEntry& o) {
            return Under(o.path, p, rest) && !rest.empty();
        });
        if (!hasChildren) out.erase(it);
    }
    SortKeys(out);
    return out;
}

std::vector<std::wstring> WrittenKeyPaths(const std::vector<RegKeyEntry>& keys) {
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < keys.size(); ++i) {
        std::wstring rest;
        const bool leaf = std::none_of(keys.begin(), keys.end(), [&](const RegKeyEntry& o) {
            return Under(o.path, keys[i].path, rest) && !rest.empty();
        });
        if (leaf || !keys[i].values.empty()) paths.push_back(keys[i].path);
    }
    return paths;
}

RegistrationSummary Summarize(const std::vector<RegKeyEntry>& keys) {
    RegistrationSummary s;
    for (const RegKeyEntry& k : keys) {
        std::wstring rest;
        if (!Under(k.path, kClassesRoot, rest) || rest.empty()) continue;
        const std::vector<std::wstring> parts = Split(rest);
        if (parts.size() == 2 && SamePath(parts[0], L"CLSID")) {
            const std::wstring name = DefaultText(k);
            s.classes.push_back(name.empty() ? parts[1] : name);
        } else if (parts.size() == 2 && SamePath(parts[0], L"TypeLib")) {
            ++s.typeLibs;
        } else if (parts.size() == 2 && SamePath(parts[0], L"Interface")) {
            ++s.interfaces;
        } else if (parts.size() == 2 && SamePath(parts[1], L"CLSID") && !SamePath(parts[0], L"CLSID") &&
                   !SamePath(parts[0], L"Interface") && !SamePath(parts[0], L"TypeLib")) {
            ++s.progIds;
        }
    }
    return s;
}

std::wstring ExportSummaryText(const RegistrationSummary& s, const std::wstring& regFile,
                               const std::vector<std::wstring>& leftOut) {
    std::wstring t = std::wstring(texts::ExportDone) + regFile + L"\r\n\r\n" + texts::ExportClasses +
                     std::to_wstring(s.classes.size());
    for (const std::wstring& c : s.classes) t += L"\r\n    " + c;
    t += std::wstring(L"\r\n") + texts::ExportProgIds + std::to_wstring(s.progIds);
    t += std::wstring(L"\r\n") + texts::ExportTypeLibs + std::to_wstring(s.typeLibs);
    t += std::wstring(L"\r\n") + texts::ExportInterfaces + std::to_wstring(s.interfaces);
    if (!leftOut.empty()) {
        t += std::wstring(L"\r\n\r\n") + texts::ExportLeftOut;
        for (const std::wstring& name : leftOut) t += L"\r\n    " + name;
    }
    return t + L"\r\n\r\n" + texts::ExportCapturedOnly;
}

}  // namespace pellamy
