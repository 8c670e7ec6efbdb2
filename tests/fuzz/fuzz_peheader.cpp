// The module header probe: any file start is read within its bounds, and the bytes it asks for
// are enough to decide.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "PeHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly `size` bytes, so a read past the end is caught.
    const std::vector<unsigned char> bytes(data, data + size);
    const pellamy::Bitness b = pellamy::PeBitness(bytes.data(), bytes.size());
    const size_t needed = pellamy::PeHeaderBytesNeeded(bytes.data(), bytes.size());
    if (needed <= bytes.size() && needed > 0) {
        const std::vector<unsigned char> head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(needed));
        if (pellamy::PeBitness(head.data(), head.size()) != b) std::abort();
    }
    return 0;
}
