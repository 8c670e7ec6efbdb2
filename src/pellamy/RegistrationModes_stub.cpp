// Stand-ins until the two modes exist: they say so and run nothing.
#include "RegistrationModes.h"

#include "Texts.h"

namespace pellamy {

RunResult RunForCurrentUser(const std::wstring&, EntryPoint) { return {RunOutcome::NoEntryPoint, 0}; }

bool ExportRegistration(const std::wstring&, const std::wstring&, std::wstring& summary, RunResult& result) {
    summary = texts::kModeNotAvailable;
    result = {RunOutcome::NoEntryPoint, 0};
    return false;
}

}  // namespace pellamy
