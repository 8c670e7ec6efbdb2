// Where recovery files live and who owns them: %LOCALAPPDATA%\Tavrin\Recovery holds one file per
// running window, each beside a lock file the window holds open (deleted when its handle goes, also
// when the process is killed), so a recovery file without a held lock is one left behind. Writes
// go through the safe save on a worker thread, so typing never waits for them. Windows only.
#pragma once
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Raii.h"
#include "Recovery.h"

namespace recovery {

// The folder (created when missing); empty when there is no such folder to be had.
std::wstring Folder();

// Recovery files in the folder whose window is gone, newest first.
std::vector<std::wstring> LeftBehind();
// Reads and checks one.
Parsed Load(const std::wstring& file);
// Puts a damaged file aside (".damaged" added); the new name, or empty when it could not be moved.
std::wstring PutAside(const std::wstring& file);
void Delete(const std::wstring& file);

// This window's recovery file.
class Keeper {
public:
    Keeper() = default;
    ~Keeper();
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // Queued for the worker; a newer record replaces one not yet written.
    void Write(Record record);
    // The memory of a text already written, for the next record's copy (no fresh pages to touch).
    std::string TakeSpare();
    // Has the worker make that memory ready for a text of about `bytes`, ahead of the first write.
    void Reserve(size_t bytes);
    // The file goes (after any write under way); a queued write is dropped.
    void Remove();
    // Waits until the worker has nothing left to do (tests, measurements), or tells whether it has.
    void WaitIdle();
    bool Idle();
    // The file's path, once the first write named it.
    std::wstring Path();

private:
    bool Claim();  // the lock and the file's name, at the first write
    void Run();

    std::mutex m_;
    std::condition_variable cv_;
    std::optional<Record> pending_;
    bool remove_ = false, busy_ = false, stop_ = false;
    size_t reserve_ = 0;
    std::wstring path_;
    std::string spare_;
    raii::File lock_;
    std::thread worker_;
};

}  // namespace recovery
