// The messages a registration run ends with.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "FileKind.h"
#include "PeHeader.h"

namespace pellamy {

std::wstring HexCode(uint32_t code);  // "0x80070005"
bool IsFailureStatus(uint32_t status);
// The message for an entry point that returned a failure status (a local server: that ended with
// a nonzero exit code); systemText may be empty.
std::wstring EntryFailedText(uint32_t status, const std::wstring& systemText, FileKind kind = FileKind::Module);
std::wstring EntryCrashedText(uint32_t exceptionCode);
// The worker thread ended without coming back from the entry point.
std::wstring EntryEndedThreadText(uint32_t exitCode, bool process = false);  // process: the child ended
// OLE did not start on the worker, so no entry point ran.
std::wstring OleFailedText(uint32_t status);
// The registry could not be redirected for a per-user run or an export, so nothing ran: `busy` when
// an earlier run that timed out still holds the redirection, else the reason (system text, or
// "Error n" without one).
std::wstring NotRedirectedText(bool busy, uint32_t error, const std::wstring& systemText);
// The worker thread could not be started, so nothing was loaded: the reason (system text, or "Error n").
std::wstring WorkerNotStartedText(uint32_t error, const std::wstring& systemText);
// "Failure loading control DLL" (or what failed for a server or a type library) + CR LF + the
// reason (system text, or "Error n" without one).
std::wstring LoadFailedText(uint32_t error, const std::wstring& systemText, FileKind kind = FileKind::Module);
// The load-failure message for a module whose bitness's build is missing beside this one.
std::wstring OtherBitnessText(Bitness module);
// The load-failure message for a module built for another processor.
std::wstring OtherProcessorText(uint16_t machine);

// A run for the current user: the run's message, then (when it completed) where the registration
// went and that elevated programs do not see it, then the keys that could not be written.
std::wstring CurrentUserText(const std::wstring& runMessage, bool completed, bool unregister,
                             const std::vector<std::wstring>& notWritten);

}  // namespace pellamy
