// The path box's text: the path it holds, and the example line of the hint above it.
#pragma once
#include <string>

namespace pellamy {

// The path as typed, or the text inside one pair of surrounding double quotes ("Copy as path").
std::wstring PathFromBox(const std::wstring& text);
// Second line of the hint before upper-casing: "    e.g. " + folder + "\filename.ocx".
std::wstring HintExample(const std::wstring& systemFolder);

}  // namespace pellamy
