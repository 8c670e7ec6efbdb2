#include "FileWatch.h"

#include "Texts.h"

namespace filewatch {

Verdict Decide(const Identity& known, const Identity& now, const Identity& asked, const std::function<bool()>& modified) {
    // A text never read from disk (new, recovered) has nothing to compare with.
    if (!known.exists || now == known || now == asked) return Verdict::Same;
    if (!now.exists) return Verdict::Gone;
    return modified() ? Verdict::AskReloadLosingChanges : Verdict::AskReload;
}

bool SaveAsks(const Identity& known, const Identity& now) { return known.exists && now.exists && !(now == known); }

std::wstring Question(Verdict verdict, const std::wstring& name) {
    return name + (verdict == Verdict::AskReloadLosingChanges ? texts::ChangedOutsideModified : texts::ChangedOutside);
}

std::wstring SaveQuestion(const std::wstring& name) { return name + texts::SaveOverOutsideChange; }

}  // namespace filewatch
