// The record a registration child reports: any bytes are checked within their bounds, and a record
// taken is exactly what its contents encode to.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "RunRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    pellamy::RunRecord record;
    if (pellamy::DecodeRunRecord(bytes, record) && pellamy::EncodeRunRecord(record) != bytes) std::abort();
    return 0;
}
