// Reads the company name and product version from a module's version block.
#pragma once
#include <string>

namespace pellamy {

struct ModuleVersion {
    bool hasBlock = false;  // the file has a version block (its size could be read)
    bool read = false;      // and the block was read
    std::wstring company;   // each value from the first translation that has it; empty when none has
    std::wstring product;
};

ModuleVersion ReadModuleVersion(const std::wstring& fullPath);

}  // namespace pellamy
