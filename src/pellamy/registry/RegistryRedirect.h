// Redirects the registry's predefined root keys for one registration run. The redirection is
// process-wide: it is applied on the worker just before the module loads and undone there once the
// module is released, so a worker that outlives the wait keeps it until it ends.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "Raii.h"
#include "RegFile.h"

namespace pellamy {

class RegistryRedirect {
public:
    enum class Mode {
        CurrentUser,  // HKEY_CLASSES_ROOT -> HKCU\Software\Classes; the machine's roots into a scratch key
        Capture,      // all four roots into a scratch key
    };
    // Creates the scratch key (HKCU\Software\Pellamy\Scratch\<pid>-<tick>); redirects nothing yet.
    explicit RegistryRedirect(Mode mode);
    // Undoes the redirection if still in place and deletes the scratch key.
    ~RegistryRedirect();
    RegistryRedirect(const RegistryRedirect&) = delete;
    RegistryRedirect& operator=(const RegistryRedirect&) = delete;

    // Nonzero: the scratch key could not be prepared (a system error code).
    DWORD Error() const { return error_; }
    void Apply();
    void Restore();  // safe to call again
    // What landed in the scratch key, under the real roots' names, HKLM\Software\Classes folded
    // into HKEY_CLASSES_ROOT and the keys prepared here left out when nothing was written to them.
    std::vector<RegKeyEntry> Captured() const;

private:
    struct Target {
        HKEY root;
        const wchar_t* scratchName;  // the subkey of the scratch key, or null: not in the scratch
        const wchar_t* rootName;
        raii::RegKey key;
    };
    Mode mode_;
    DWORD error_ = 0;
    std::wstring scratchPath_;  // under the real HKEY_CURRENT_USER
    std::vector<Target> targets_;
    std::atomic<bool> applied_{false};
};

// Deletes the scratch keys whose process has ended (a child ended by its job leaves its key behind).
void RemoveStaleScratchKeys();

// Type libraries registered while HKEY_CLASSES_ROOT is redirected go to the user's classes
// (process-wide, cannot be undone); false where the system lacks the call.
bool EnablePerUserTypeLibraries();

}  // namespace pellamy
