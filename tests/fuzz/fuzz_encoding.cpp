// Decode then encode: whatever the bytes, nothing crashes, and a file whose decoding reports no
// change goes back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FileEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const docfile::Decoded d = docfile::Decode(bytes);
    bool unstorable = false;
    const std::string back = docfile::Encode(d.text, d.format, &unstorable);
    if (!d.changes.Any() && !unstorable && back != bytes) std::abort();
    return 0;
}
