// The face the editing area draws source text in. The component creates fonts by face name alone,
// and the system maps a missing face to a proportional one, so columns would no longer line up.
#pragma once
#include <string>

namespace fixedface {

// `preferred` when it is installed; otherwise the first installed of a list of common fixed-pitch
// faces, or any installed fixed-pitch face.
std::wstring Installed(const std::wstring& preferred);

}  // namespace fixedface
