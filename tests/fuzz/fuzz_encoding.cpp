// Decode then encode: whatever the bytes, nothing crashes, and a file whose decoding reports no
// change goes back byte for byte (a missing final line end is added, as every save does). Read in
// pieces (cut where the first byte says), the bytes decode as the whole does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FileEncoding.h"
#include "../support/DecodeInPieces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const docfile::Decoded d = docfile::Decode(std::string(bytes));
    if (size > 0) {
        const docfile::Decoded p = InPieces(bytes, data[0] % (size + 1), size);
        if (p.text != d.text || !(p.format == d.format) || p.changes.Any() != d.changes.Any() || p.binary != d.binary)
            std::abort();
    }
    bool unstorable = false;
    const std::string back = docfile::Encode(d.text, d.format, &unstorable);
    if (d.changes.Any() || unstorable || back == bytes) return 0;
    // Only a final line end may have been added.
    if (back.compare(0, bytes.size(), bytes) != 0) std::abort();
    const std::string& text = d.text;
    if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) std::abort();
    if (docfile::Decode(back).text != docfile::WithFinalLineEnd(text, d.format.lineEnd)) std::abort();
    return 0;
}
