// Prints "type|name" for every resource of the modules given, as cResources lists them,
// for comparison with other tools (numbers in decimal, names as stored).
#include <windows.h>

#include <cstdio>

#include "ErrRecord.h"
#include "TextConv.h"
#include "cResources.h"

namespace {
std::string Text(const pellamy::ResValue& v) {
    return std::holds_alternative<int32_t>(v) ? std::to_string(std::get<int32_t>(v))
                                              : WideToUtf8(std::get<std::wstring>(v));
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        try {
            cResources r;
            r.file(argv[i]);
            r.GetResourceTypes();
            for (int32_t t = 1; t <= r.ResourceTypeCount(); ++t) {
                r.GetResourceNames(t);
                for (int32_t n = 1; n <= r.ResourceNameCount(t); ++n)
                    std::printf("%s|%s\n", Text(r.ResourceType(t)).c_str(), Text(r.ResourceName(t, n)).c_str());
            }
        } catch (const VbError& e) {
            std::printf("error %ld\n", static_cast<long>(e.Number()));
            status = 1;
        }
    }
    return status;
}
