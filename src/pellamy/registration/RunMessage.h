// The message a registration run ends with, as the window and the command line show it.
#pragma once
#include <string>

#include "FileKind.h"
#include "RunResult.h"

namespace pellamy {

// fullPath: the module, named by the system's texts where they have a place for it.
std::wstring RunMessage(const RunResult& result, const std::wstring& fullPath, FileKind kind = FileKind::Module);

}  // namespace pellamy
