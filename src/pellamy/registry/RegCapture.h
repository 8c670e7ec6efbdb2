// What a module wrote while the registry roots were redirected: the captured keys under their real
// root names, what a per-user run could not place, and the summary of an export.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "RegFile.h"

namespace pellamy {

// Parents before children, siblings in the registry's order (case-insensitive).
void SortKeys(std::vector<RegKeyEntry>& keys);

// Keys under HKEY_LOCAL_MACHINE\Software\Classes are the machine's view of HKEY_CLASSES_ROOT:
// with `foldClasses` they move there, merged with what was written there directly. Then keys
// named in `skeleton` (the ones prepared before the run) go unless they hold values or keys under
// them remain.
std::vector<RegKeyEntry> FoldCapturedKeys(std::vector<RegKeyEntry> keys, const std::vector<std::wstring>& skeleton,
                                          bool foldClasses = true);

// The keys a module wrote somewhere a per-user run could not follow: those holding values, and
// those with nothing under them.
std::vector<std::wstring> WrittenKeyPaths(const std::vector<RegKeyEntry>& keys);

struct RegistrationSummary {
    std::vector<std::wstring> classes;  // each class's name (its default value), or its CLSID without one
    size_t progIds = 0;                 // HKEY_CLASSES_ROOT keys with a CLSID key under them
    size_t typeLibs = 0;
    size_t interfaces = 0;
};
RegistrationSummary Summarize(const std::vector<RegKeyEntry>& keys);
// leftOut: the names the file could not hold, listed after the summary.
std::wstring ExportSummaryText(const RegistrationSummary& summary, const std::wstring& regFile,
                               const std::vector<std::wstring>& leftOut = {});

}  // namespace pellamy
