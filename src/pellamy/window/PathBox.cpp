#include "PathBox.h"

#include "TextConv.h"
#include "Texts.h"

namespace pellamy {

std::wstring PathFromBox(const std::wstring& text) {
    std::wstring t = TrimBlanks(text);
    if (t.size() >= 2 && t.front() == L'"' && t.back() == L'"') {
        std::wstring inner = t.substr(1, t.size() - 2);
        if (inner.find(L'"') == std::wstring::npos) return inner;
    }
    return text;
}

std::wstring HintExample(const std::wstring& systemFolder) {
    return std::wstring(texts::HintExamplePrefix) + systemFolder + texts::HintExampleFile;
}

}  // namespace pellamy
