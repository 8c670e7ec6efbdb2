// Whether the file on disk is still the one the document was read from or last wrote: its identity
// then and now, and what a difference asks of the user.
#pragma once
#include <functional>
#include <string>

namespace filewatch {

// Volume and file index tell a file replaced under the same name (a checkout, an editor that saves
// by renaming); size and last-write time tell one written in place.
struct Identity {
    bool exists = false;
    unsigned long long volume = 0, index = 0, size = 0, writeTime = 0;
    bool operator==(const Identity&) const = default;
};

enum class Verdict {
    Same,                    // nothing to do
    AskReload,               // changed, nothing typed here: reload it?
    AskReloadLosingChanges,  // changed, and the text here is modified: reload and lose it?
    Gone,                    // deleted or renamed away: the text stays, marked modified
};

// `known`: the identity at the last load or save; `asked`: the last one already asked or told about,
// so a change is raised once however often it is seen. `modified` is asked only when its answer
// decides the verdict: it may compare the whole text, and a busy folder reports often.
Verdict Decide(const Identity& known, const Identity& now, const Identity& asked, const std::function<bool()>& modified);
// Save over a file that another program changed since it was read asks first.
bool SaveAsks(const Identity& known, const Identity& now);
// The question for a verdict that asks, or Save's question, about the file `name`.
std::wstring Question(Verdict verdict, const std::wstring& name);
std::wstring SaveQuestion(const std::wstring& name);

// The file's identity now (Windows only: FileWatch_win.cpp); not there when it cannot be opened.
Identity IdentityOf(const std::wstring& path);

}  // namespace filewatch
