// The web update check's version file: any bytes parse or are refused without harm, and what is
// accepted keeps the file's own rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "VersionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VersionFile v;
    if (!ParseVersionFile(std::string_view(reinterpret_cast<const char*>(data), size), v)) return 0;
    if (!IsVersionText(v.version) || !IsWebAddress(v.download)) std::abort();
    if (CompareVersions(v.version, v.version) != 0) std::abort();
    return 0;
}
