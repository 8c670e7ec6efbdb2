// Version blocks in the old single-byte layout: any bytes are walked within their bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "VersionBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly `size` bytes, so a read past the end is caught.
    const std::vector<unsigned char> bytes(data, data + size);
    std::string value;
    for (const std::vector<std::string>& path :
         {std::vector<std::string>{"StringFileInfo", "040704E4", "CompanyName"},
          std::vector<std::string>{"VarFileInfo", "Translation"}})
        if (pellamy::SingleByteValue(bytes.data(), bytes.size(), path, value) && value.size() > bytes.size()) std::abort();
    return 0;
}
