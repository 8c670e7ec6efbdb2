#include "RegistrationRunner.h"

#include <objbase.h>
#include <ole2.h>
#include <oleauto.h>

#include <atomic>
#include <memory>
#include <vector>

#include "Paths.h"
#include "Raii.h"
#include "ResultTexts.h"
#include "SystemLibraries.h"

namespace pellamy {
namespace {

enum RunState : int { kRunning, kFinished, kAbandoned };

// One run, shared by the waiting thread and its worker. Whoever sees the other gone deletes it.
struct WorkerRun {
    std::wstring path;
    std::vector<EntryCall> calls;
    RunHooks hooks;
    TypeLibRun typeLib = TypeLibRun::No;
    // The module's folder in the search of its own loads by name (the process searches only the
    // system folder and added folders). Declared before the module, so it goes after it.
    syslib::DllDirectory folder;
    raii::Module module;
    HRESULT oleError = S_OK;  // a failure: OLE did not start, nothing was loaded
    DWORD loadError = 0;      // nonzero: the module did not load
    bool noEntry = false;
    std::atomic<int> state{kRunning};
    DWORD status = 0;
    bool crashed = false;
    DWORD exceptionCode = 0;
    ULONG_PTR stackTop = 0;  // near the top of the worker's stack, above the entry point's frames
};

// Dependencies come from the module's own folder and the system, never the current folder.
HMODULE LoadRegisteredModule(const std::wstring& path, DWORD& error) {
    HMODULE module =
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)  // a system without the search flags
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    error = module ? 0 : GetLastError();
    if (!module && error == 0) error = ERROR_GEN_FAILURE;
    return module;
}

using EntryFn = HRESULT(STDAPICALLTYPE*)();
using InstallFn = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

// Looks up every entry point first, so a missing one leaves the module's registration as it was.
HRESULT CallEntryPoints(WorkerRun* run) {
    std::vector<FARPROC> entries;
    for (const EntryCall& call : run->calls) {
        const char* name = EntryPointName(call.entry);
        FARPROC entry = name ? GetProcAddress(run->module.get(), name) : nullptr;
        if (!entry) {
            run->noEntry = true;
            return S_OK;
        }
        entries.push_back(entry);
    }
    HRESULT status = S_OK;
    for (size_t i = 0; i < entries.size() && !IsFailureStatus(static_cast<uint32_t>(status)); ++i) {
        const EntryCall& call = run->calls[i];
        void* address = reinterpret_cast<void*>(entries[i]);
        status = call.entry == EntryPoint::Install
                     ? reinterpret_cast<InstallFn>(address)(call.install ? TRUE : FALSE, call.cmdLine.c_str())
                     : reinterpret_cast<EntryFn>(address)();
    }
    return status;
}

// The per-user calls, bound at run time (the headers at hand do not declare them).
using RegisterForUserFn = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnregisterForUserFn = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

HRESULT RegisterTypeLibForUser(ITypeLib* lib, OLECHAR* path, OLECHAR* helpDir) {
    RegisterForUserFn call = nullptr;
    raii::Module oleaut(syslib::LoadSystemLibrary(L"oleaut32.dll"));
    if (!oleaut || !syslib::Bind(oleaut.get(), "RegisterTypeLibForUser", call)) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return call(lib, path, helpDir);
}

HRESULT UnRegisterTypeLibForUser(REFGUID guid, WORD major, WORD minor, LCID lcid, SYSKIND sys) {
    UnregisterForUserFn call = nullptr;
    raii::Module oleaut(syslib::LoadSystemLibrary(L"oleaut32.dll"));
    if (!oleaut || !syslib::Bind(oleaut.get(), "UnRegisterTypeLibForUser", call)) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return call(guid, major, minor, lcid, sys);
}

// A type library: loaded (a file, or a module's resource, as data) to prove it is one, then
// registered from its file or unregistered by its own attributes. DllInstall has no counterpart.
HRESULT CallTypeLibrary(WorkerRun* run) {
    raii::ComPtr<ITypeLib> lib;
    const HRESULT loaded = LoadTypeLibEx(run->path.c_str(), REGKIND_NONE, lib.put());
    if (FAILED(loaded)) {
        run->loadError = static_cast<DWORD>(loaded);
        return S_OK;
    }
    for (const EntryCall& call : run->calls)
        if (call.entry != EntryPoint::Register && call.entry != EntryPoint::Unregister) {
            run->noEntry = true;
            return S_OK;
        }
    const bool user = run->typeLib == TypeLibRun::User;
    HRESULT status = S_OK;
    for (const EntryCall& call : run->calls) {
        if (call.entry == EntryPoint::Register) {
            // What LoadTypeLibEx(REGKIND_REGISTER) does, with the path as given (not one the loader resolved).
            wchar_t* path = const_cast<wchar_t*>(run->path.c_str());
            status = user ? RegisterTypeLibForUser(lib.get(), path, nullptr) : RegisterTypeLib(lib.get(), path, nullptr);
        } else {
            TLIBATTR* a = nullptr;
            status = lib.get()->GetLibAttr(&a);
            if (SUCCEEDED(status)) {
                const TLIBATTR attr = *a;
                lib.get()->ReleaseTLibAttr(a);
                status = user ? UnRegisterTypeLibForUser(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind)
                              : UnRegisterTypeLib(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind);
            }
        }
        if (FAILED(status)) break;
    }
    return status;
}

DWORD g_workerSlot = TLS_OUT_OF_INDEXES;  // the worker's WorkerRun, for the exception filter
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;

// Releases the module here too, so that its clean-up code is under the limit as well. This runs
// in our own code, so the module's code is no longer in use.
DWORD FinishWorker(WorkerRun* run, DWORD status) {
    run->status = status;
    run->module.reset();
    run->folder.reset();
    if (run->hooks.after) run->hooks.after();
    int expected = kRunning;
    if (run->state.compare_exchange_strong(expected, kFinished)) return status;
    delete run;  // the waiting side gave up: nobody else will release it
    return status;
}

[[noreturn]] void WorkerBail() {
    auto* run = static_cast<WorkerRun*>(TlsGetValue(g_workerSlot));
    TlsSetValue(g_workerSlot, nullptr);
    ExitThread(FinishWorker(run, run->exceptionCode));
}

// A fault the module does not handle itself ends only its worker: the worker is sent to WorkerBail
// on the top of its own stack (the entry point's frames are dead, and a stack overflow leaves no
// room below) instead of taking the process down.
LONG WINAPI WorkerExceptionFilter(EXCEPTION_POINTERS* ep) {
    auto* run = g_workerSlot == TLS_OUT_OF_INDEXES ? nullptr : static_cast<WorkerRun*>(TlsGetValue(g_workerSlot));
    if (run && !run->crashed) {
        run->crashed = true;
        run->exceptionCode = ep->ExceptionRecord->ExceptionCode;
        CONTEXT* c = ep->ContextRecord;
#ifdef _WIN64
        c->Rsp = ((run->stackTop - 1024) & ~static_cast<DWORD64>(15)) - 8;
        c->Rip = reinterpret_cast<DWORD64>(&WorkerBail);
#else
        c->Esp = ((run->stackTop - 1024) & ~static_cast<DWORD>(15)) - 4;
        c->Eip = reinterpret_cast<DWORD>(&WorkerBail);
#endif
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return g_previousFilter ? g_previousFilter(ep) : EXCEPTION_CONTINUE_SEARCH;
}

void PrepareWorkers() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    g_workerSlot = TlsAlloc();
    g_previousFilter = SetUnhandledExceptionFilter(&WorkerExceptionFilter);
}

// COM servers expect OLE on the thread that calls their entry points.
DWORD WINAPI RegistrationWorker(void* param) {
    auto* run = static_cast<WorkerRun*>(param);
    volatile char top = 0;
    run->stackTop = reinterpret_cast<ULONG_PTR>(&top);
    TlsSetValue(g_workerSlot, run);
    // A module that cannot load fails with an error, never with the loader's box nobody may answer.
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, nullptr);
    HRESULT status = S_OK;
    {
        raii::ComInit ole(raii::ComInit::Ole);
        if (FAILED(ole.result())) {
            run->oleError = ole.result();
        } else {
            if (run->hooks.before) run->hooks.before();
            if (run->typeLib != TypeLibRun::No) {
                status = CallTypeLibrary(run);
            } else {
                run->folder = syslib::AddSearchFolder(paths::Folder(run->path));
                run->module.reset(LoadRegisteredModule(run->path, run->loadError));
                // A run the waiting side gave up on while the module started does not register late.
                if (run->module && run->state.load() == kRunning) status = CallEntryPoints(run);
            }
        }
    }
    TlsSetValue(g_workerSlot, nullptr);
    return FinishWorker(run, static_cast<DWORD>(status));
}

}  // namespace

RunResult RegistrationRunner::Run(DWORD waitMs) {
    PrepareWorkers();
    auto run = std::make_unique<WorkerRun>();
    run->path = path_;
    run->calls = calls_;
    run->hooks = hooks_;
    run->typeLib = typeLib_;
    DWORD threadId = 0;
    raii::Handle thread(CreateThread(nullptr, 0, &RegistrationWorker, run.get(), 0, &threadId));
    if (!thread) return {RunOutcome::NotStarted, static_cast<uint32_t>(GetLastError())};

    const DWORD wait = WaitForSingleObject(thread.get(), waitMs);
    if (wait != WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeThread(thread.get(), &exitCode);
        int expected = kRunning;
        if (exitCode == STILL_ACTIVE && run->state.compare_exchange_strong(expected, kAbandoned))
            run.release();  // the worker releases the module and the run when it ends
        else
            WaitForSingleObject(thread.get(), INFINITE);  // it ended meanwhile and is past the module's code
        return {RunOutcome::TimedOut, wait};
    }

    if (run->crashed) return {RunOutcome::Crashed, run->exceptionCode};
    // A worker that never came back to us was ended inside the module (ExitThread, or a fault the
    // system handled by ending the thread); its module and folder go with `run`.
    if (run->state.load() == kRunning) {
        DWORD exitCode = 0;
        GetExitCodeThread(thread.get(), &exitCode);
        return {RunOutcome::EndedThread, exitCode};
    }
    if (FAILED(run->oleError)) return {RunOutcome::OleFailed, static_cast<uint32_t>(run->oleError)};
    if (run->loadError) return {RunOutcome::LoadFailed, run->loadError};
    if (run->noEntry) return {RunOutcome::NoEntryPoint, 0};
    if (IsFailureStatus(run->status)) return {RunOutcome::Failed, run->status};
    return {RunOutcome::Completed, run->status};
}

}  // namespace pellamy
