#include "basTavrin.h"

#include "AppInfo.h"
#include "Texts.h"

std::wstring ReasonText(unsigned long code) {
    std::wstring t = SystemErrorText(code);
    return t.empty() ? texts::ErrorCode + std::to_wstring(code) : t;
}
